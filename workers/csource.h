#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One listed source file, as one value from the listing to its result: its
// path, the named folder it was found in, and its place in the list it was
// handed over in, by which its result finds its way back. A file listed
// twice is two sources.
struct cSource
{
    QString path;
    // The named folder it was found in; empty for a file named itself.
    QString root;
    // Its place in the list it came in.
    qsizetype index = -1;

    // The sources of the paths in their order, none found in a folder.
    static QList<cSource> of(const QList<QString> &paths)
    {
        QList<cSource> sources;
        sources.reserve(paths.size());
        for (const QString &path : paths)
            sources.append({path, QString(), sources.size()});
        return sources;
    }
};

Q_DECLARE_METATYPE(cSource)
