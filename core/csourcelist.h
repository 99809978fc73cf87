#pragma once

#include "workers/csource.h"

#include <QDir>
#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

// Turns the files and folders a user names (on the command line, by a drop,
// through "Open with") into the list of source files to convert, on a thread
// of its own so that no front end waits for a large tree.
//
// A named file is always listed, whatever its name; a folder brings the sound
// files inside it, sub-folders included, leaving out hidden entries, other
// files and links to folders (so a link loop ends nothing). Relative paths are
// taken against base. A file is listed once when both it and a folder holding
// it are named; a file named twice is listed twice. What can't be listed is a
// failure with its reason: a missing named path, a path or folder that can't
// be read, a sound file whose path is not valid UTF-8 (Qt could not name it to
// the converter). Failures are logged.
class cSourceList : public QThread
{
    Q_OBJECT

public:
    struct Failure
    {
        // The path as named for a named path, else the absolute path; bytes
        // that are not UTF-8 are written as \xNN.
        QString path;
        QString reason; // for people, translated
        friend bool operator==(const Failure &a, const Failure &b) { return a.path == b.path && a.reason == b.reason; }
    };

    struct Result
    {
        // Absolute paths, in the order named, a folder's files sorted by path;
        // each with the absolute path of the named folder it was found in
        // (none for a file named itself) and its place in this list.
        QList<cSource> sources;
        // Missing named paths first, in the order named, then the others in
        // the order named, each folder's sorted by path.
        QList<Failure> failures;
        QStringList missing; // the missing named paths alone, as named

        QStringList paths() const;
    };

    explicit cSourceList(QObject *parent = nullptr);
    ~cSourceList() override;

    // Starts listing; progress() follows while it runs, then listed() or, after
    // cancel(), cancelled(). Both come through the event loop of the thread
    // this object lives in, once the listing thread has ended. Returns false
    // and starts nothing while a listing is under way (until its last signal).
    bool list(const QStringList &paths, const QString &base = QDir::currentPath());
    // Stops the listing within one folder entry; cancelled() follows and
    // listed() never does. Safe from any thread; does nothing when idle.
    void cancel();
    bool isListing() const { return listing; }

    // The same listing on the calling thread, for tests and benchmarks.
    static Result collect(const QStringList &paths, const QString &base = QDir::currentPath());

    // Whether the name ends in the extension of a sound format the converter
    // program reads (any letter case).
    static bool isSoundFile(const QString &name);
    // Those extensions, lower case, the most common first.
    static QStringList soundExtensions();

signals:
    // How many files were listed so far: at the first, then a few times a second.
    void progress(int found);
    void listed(const cSourceList::Result &result);
    void cancelled();

protected:
    void run() override;

private:
    void ended();

    QMutex mutex; // guards the inputs and the result
    QStringList namedPaths;
    QString baseDir;
    Result walked;
    std::atomic_bool cancelRequested{false};
    // From list() to the last signal; the thread alone may have ended sooner.
    std::atomic_bool listing{false};
};

Q_DECLARE_METATYPE(cSourceList::Result)
