#pragma once

#include <QSet>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// One output written under a temporary name and put in place whole, or not
// at all. The temporary file lies in a private folder made in the output
// folder: hidden, new and open to its owner only, so that nobody can have put
// a link in its way, and on the output's file system, so that the finished
// file takes the output's name in one step. It keeps the output's file name,
// whose ending tells the converter program the format. The folder is marked
// as this run's while it exists (see cPrivateFolder). Knows nothing of the
// program that writes it, nor of the batch.
class cTemporaryOutput
{
public:
    enum class Commit
    {
        Written,
        // The output name was taken and was not to be replaced.
        Exists,
        Failed,
    };

    explicit cTemporaryOutput(const QString &outPath);
    // Discards whatever is still temporary.
    ~cTemporaryOutput();
    Q_DISABLE_COPY_MOVE(cTemporaryOutput)

    // Makes the private folder; false, with errorString(), when it can't be
    // made. clearedFolders: the folders already cleared of what killed runs
    // left (see cPrivateFolder); the output's folder is cleared first, and
    // added, when it is not among them.
    bool create(QSet<QString> *clearedFolders = nullptr);
    QString outPath() const { return output; }
    // Where the program writes; empty unless create() succeeded.
    QString path() const;
    // Gives the temporary file the output's name, replacing a file of that
    // name or refusing to (however late that file appeared); the private
    // folder goes once the file is in place.
    Commit commit(bool replace);
    // Removes the private folder with whatever is in it; true when the
    // temporary file had been written.
    bool discard();
    // The system's reason for the last failure.
    QString errorString() const { return error; }

private:
    // Removes the private folder, then lets its mark go.
    void release();

    const QString output;
    std::unique_ptr<QTemporaryDir> folder;
    // The descriptor that holds the folder's lock, -1 for none.
    int lock = -1;
    QString error;
};
