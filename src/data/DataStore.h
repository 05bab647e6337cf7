#pragma once

#include "AppPaths.h"
#include "DataFolderLock.h"
#include "Database.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace qelvaro {

// The program's two database files beside the executable and the start-up that makes them ready:
// the data folder is created and locked for this copy of the program, a missing file is written
// from the template the program carries, both files are opened once for the run, their tables
// and columns are checked and the login password is read. A file that exists is not written by
// the start-up, with two exceptions it reports or that change no data: SQLite rolling back a save
// that was interrupted, and an index of an earlier version that stock SQLCipher tools cannot
// read being dropped.
class DataStore {
public:
    static inline const QByteArray kRecordsKey = QByteArrayLiteral("kq473vtz");
    static inline const QByteArray kSettingsKey = QByteArrayLiteral("hr4517");
    static inline const QString kRecordsTemplate = QStringLiteral(":/templates/records.dat");
    static inline const QString kSettingsTemplate = QStringLiteral(":/templates/settings.dat");
    static inline const QString kRecordsSchema = QStringLiteral(":/schema/records_schema.sql");
    static inline const QString kSettingsSchema = QStringLiteral(":/schema/settings_schema.sql");
    // Beside the data: whoever holds it is the one program writing this folder's files.
    static inline const QString& kLockFileName = DataFolderLock::kFileName;

    explicit DataStore(AppPaths paths);
    ~DataStore();
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // Runs the start-up steps. Returns true when both files are open and the password was read.
    bool open();

    // True when open() found another copy of the program running on this machine with this
    // folder's data; it then touched nothing, opened nothing and has nothing to say beyond that.
    bool isInUseElsewhere() const { return m_inUseElsewhere; }

    // Set when open() found in the lock's place something it cannot take over: no lock file (a
    // folder, a link, a file that is no lock), the lock of another machine, or the lock of a copy
    // that has ended which cannot be removed from a folder that can be written. It touched
    // nothing and opened nothing; the text says what is in the way, where, and what to do.
    const QString& lockObstacle() const { return m_lockObstacle; }

    // One message for the doctor naming everything that went wrong at start-up; empty when all
    // went well. Problems keep everybody out; warnings (files that can only be read) do not.
    QString startupMessage() const;

    Database* records() const { return m_records.get(); }
    Database* settings() const { return m_settings.get(); }

    // The stored login password. Empty (no value) when anything at start-up failed: the login then
    // admits nobody rather than an empty entry.
    const std::optional<QString>& loginPassword() const { return m_loginPassword; }

    const AppPaths& paths() const { return m_paths; }

    // Closes both connections (after the close-time backup); records() and settings() stay valid
    // and refuse every statement from then on. The folder's lock goes with them.
    void close();

private:
    // The steps of open(), in their order.
    void forgetEarlierStart();
    bool makeDataFolder(bool* existed);
    bool takeLock();
    void restrictFolderToOwner();
    void openFiles();
    void readPassword();
    void restrictFilesToOwner();
    void bringIndexesUpToDate();

    AppPaths m_paths;
    std::unique_ptr<Database> m_records;
    std::unique_ptr<Database> m_settings;
    std::optional<QString> m_loginPassword;
    DataFolderLock m_lock;
    QStringList m_problems;
    QStringList m_warnings;
    bool m_inUseElsewhere = false;
    QString m_lockObstacle;
    bool m_rolledBack = false;  // SQLite undid an interrupted save in one of the files
};

// Writes a template (a Qt resource) to target through a temporary file renamed when complete, so
// a crash never leaves a half-written database. Returns false with a reason on failure.
bool writeTemplateFile(const QString& templateResource, const QString& target, QString* reason);

}  // namespace qelvaro
