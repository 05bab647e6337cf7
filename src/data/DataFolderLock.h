#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace qelvaro {

// One writer per data folder: a second copy would issue the same record keys and overwrite the
// first one's saves. The lock is a file beside the data naming the copy that holds it (process
// number, program name, machine name, machine id, boot id); the lock of a copy that has ended is
// taken over. Whatever else stands at its place is left as it is and told.
class DataFolderLock {
public:
    static inline const QString kFileName = QStringLiteral(".qelvaro.lock");

    // What take() found.
    enum class Outcome {
        Taken,           // this copy holds the folder now
        FolderReadOnly,  // no lock can be made in a folder nobody may write; nor can any copy write the files
        RunningHere,     // another copy of the program on this machine holds it
        NotALock,        // something at the lock's place that is no lock of this program
        OtherMachine,    // the lock of a copy on another machine
        StaleLockStuck,  // the lock of a copy that has ended, which cannot be removed
    };
    struct Result {
        Outcome outcome = Outcome::Taken;
        // For NotALock, OtherMachine and StaleLockStuck: what is in the way, where, and what to do.
        QString obstacle;
        // Taken or FolderReadOnly: the start may go on.
        bool mayGoOn() const { return outcome == Outcome::Taken || outcome == Outcome::FolderReadOnly; }
    };

    explicit DataFolderLock(QString folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Tries once, without waiting. Touches nothing but its own lock file.
    Result take();
    bool isHeld() const { return m_file != nullptr; }
    // Gives the folder up (nothing when it is not held).
    void release();

    QString path() const;

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_file;
};

}  // namespace qelvaro
