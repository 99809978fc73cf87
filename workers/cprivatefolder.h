#pragma once

#include <QString>
#include <QStringList>

// Marrowby's private folders inside an output folder (see cTemporaryOutput)
// tell whose they are and whether their run is alive, so that what a killed
// run left is cleared by a later one: each holds a lock file with an owner
// line, locked for as long as the folder is in use. The system lets the lock
// go when the process ends, however it ends. Nothing is marked or cleared on
// systems without such locks.
class cPrivateFolder
{
public:
    cPrivateFolder() = delete;

    // The name of a private folder for QTemporaryDir, XXXXXX for the random part.
    static QString nameTemplate();
    // Marks a private folder just made as this run's: the descriptor that
    // holds its lock, to be closed once the folder is gone; -1 when it can't
    // be marked (no descriptor left, no locks there), and the folder is then
    // never taken for a leftover.
    static int mark(const QString &folder);
    static void unmark(int lock);
    // Removes the private folders in dir whose run has ended, and returns
    // them. Only what it can prove is a leftover of Marrowby's own: a folder
    // of a private folder's name, not a link, this user's and open to this
    // user alone, holding nothing but this user's regular files, among them
    // a complete owner line whose lock nobody holds. Anything else is left alone.
    static QStringList clearLeftovers(const QString &dir);
};
