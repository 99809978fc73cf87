#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>

// Turns the files and folders a user names (on the command line, by a drop,
// through "Open with") into the list of source files to convert.
class cSourceList
{
    Q_DECLARE_TR_FUNCTIONS(cSourceList)

public:
    struct Result
    {
        QStringList files;   // absolute paths, in the order named; a folder's files sorted by path
        QStringList missing; // named paths that do not exist, as named
    };

    // A named file is always listed, whatever its name; a folder brings the
    // sound files inside it, sub-folders included, leaving out hidden entries,
    // other files, folders it can't read and links to folders (so a link loop
    // ends nothing). Relative paths are taken against base. A file is listed
    // once when both it and a folder holding it are named; a file named twice
    // is listed twice. Missing paths and unreadable folders are logged.
    static Result collect(const QStringList &paths, const QString &base = QDir::currentPath());

    // Whether the name ends in the extension of a sound format the converter
    // program reads (any letter case).
    static bool isSoundFile(const QString &name);
};
