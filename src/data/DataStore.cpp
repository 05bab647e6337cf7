#include "DataStore.h"

#include "FileKind.h"
#include "LoginPassword.h"
#include "OwnerOnly.h"

#include <sqlcipher/sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <future>
#include <memory>
#include <optional>

#include <sys/stat.h>

namespace qelvaro {
namespace {

QString displayName(const QString& path)
{
    return QStringLiteral("“档案数据库/") + QFileInfo(path).fileName() + QStringLiteral("”");
}

QStringList columnsOf(sqlite3* db, const QString& table)
{
    QStringList names;
    QString quoted = table;
    quoted.replace(u'"', QStringLiteral("\"\""));
    const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(quoted).toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    }
    sqlite3_finalize(st);
    return names;
}

// The program's schema text run in a throw-away database in memory, so the checks and upgrades at
// start can never drift from the schema the templates are built from. Null when it cannot be run.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> schemaInMemory(const QString& schemaResource)
{
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> memory(nullptr, sqlite3_close);
    QFile file(schemaResource);
    sqlite3* db = nullptr;
    const bool opened = sqlite3_open(":memory:", &db) == SQLITE_OK;
    memory.reset(db);
    if (!opened || !file.open(QIODevice::ReadOnly)
        || sqlite3_exec(db, file.readAll().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        memory.reset();
    return memory;
}

// Every table the schema creates, with its columns.
QList<std::pair<QString, QStringList>> expectedTables(const QString& schemaResource)
{
    QList<std::pair<QString, QStringList>> tables;
    const auto memory = schemaInMemory(schemaResource);
    if (!memory)
        return tables;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(memory.get(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1, &st,
                       nullptr);
    QStringList names;
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    for (const QString& name : names)
        tables.append({name, columnsOf(memory.get(), name)});
    return tables;
}

// A file lacking a table or a column the program writes would fail every save of that kind, or
// be read as defaults without a word; it is treated like a damaged file. Columns the program
// does not know are left alone.
bool hasEveryColumn(const Database& db, const QString& schemaResource)
{
    const auto expected = expectedTables(schemaResource);
    if (expected.isEmpty())
        return false;
    for (const auto& [table, columns] : expected) {
        const QStringList present = columnsOf(db.handle(), table);
        for (const QString& column : columns)
            if (!present.contains(column))
                return false;
    }
    return true;
}

// What tells a changed file: SQLite rolling back an interrupted save rewrites pages in place.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 seconds = 0;
    qint64 nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, qint64(st.st_size), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
}

}  // namespace

bool writeTemplateFile(const QString& templateResource, const QString& target, QString* reason)
{
    QFile source(templateResource);
    if (!source.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("程序缺少数据模板");
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *reason = QStringLiteral("文件夹不可写入");
        return false;
    }
    // Readable by the doctor only, whatever the umask; the rename keeps the mode.
    if (::fchmod(out.handle(), 0600) != 0) {
        out.cancelWriting();
        *reason = QStringLiteral("无法设置文件权限");
        return false;
    }
    const QByteArray bytes = source.readAll();
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        *reason = QStringLiteral("写入失败（磁盘已满或不可写入）");
        return false;
    }
    return true;
}

DataStore::DataStore(AppPaths paths) : m_paths(std::move(paths)), m_lock(m_paths.dataDir()) {}

DataStore::~DataStore() { close(); }

namespace {

struct PreparedFile {
    std::unique_ptr<Database> db;
    QString problem;
    QStringList warnings;
    bool rolledBack = false;  // SQLite's roll-back of an interrupted save changed the file
};

// Writes the file from its template when it is missing, then opens and checks it. Safe to run on
// another thread: it touches nothing but its own file and connection.
PreparedFile prepareFile(const QString& path, const QString& templateResource, const QByteArray& key,
                         const QString& schemaResource)
{
    PreparedFile result;
    // Opening a folder would be refused as if the file could not be read; a pipe would never answer.
    if (const QString kind = notAPlainFile(path, true); !kind.isEmpty()) {
        result.problem = QStringLiteral("数据文件的位置“%1”上是一个%2，不是数据文件，无法打开：请将它移到别处后再启动程序。")
                             .arg(QDir::toNativeSeparators(path), kind);
        return result;
    }
    const QFileInfo info(path);
    // A dangling link counts as present: following it to write the template is not ours to do.
    if (!info.exists() && !info.isSymLink()) {
        QString reason;
        if (!writeTemplateFile(templateResource, path, &reason)) {
            result.problem = QStringLiteral("无法创建数据文件%1：%2。").arg(displayName(path), reason);
            return result;
        }
    }
    const QString damaged = QStringLiteral("数据文件%1无法打开：文件已损坏，或不是本程序的数据文件。").arg(displayName(path));
    // A save that a crash interrupted leaves its journal beside the file; opening the file makes
    // SQLite restore the pages the save had changed. That is a change, and it is told as one.
    const bool journalWaiting = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
    const FileStamp before = stampOf(path);
    Database::OpenError error = Database::OpenError::None;
    result.db = Database::open(path, key, &error);
    const bool changed = journalWaiting && !(stampOf(path) == before);
    result.rolledBack = changed;
    switch (error) {
    case Database::OpenError::None:
        // An empty or foreign file opens as a database without our tables; it must not be
        // written into as if it were ours.
        if (!hasEveryColumn(*result.db, schemaResource)) {
            result.problem = damaged;
            result.db.reset();
        } else if (changed) {
            result.warnings << QStringLiteral("数据文件%1中有一次保存因程序意外中断而未完成，已撤销；该次保存的内容未能存入。")
                                 .arg(displayName(path));
        }
        break;
    case Database::OpenError::NoEncryption:
        result.problem = QStringLiteral("数据库组件不支持加密，无法打开数据文件%1。").arg(displayName(path));
        break;
    case Database::OpenError::NotADatabase:
        result.problem = damaged;
        break;
    case Database::OpenError::Missing:
    case Database::OpenError::Unreadable:
        result.problem = QStringLiteral("数据文件%1无法读取：请检查文件是否存在及读写权限。").arg(displayName(path));
        break;
    case Database::OpenError::CannotOpen:
        if (changed) {
            result.problem = QStringLiteral("数据文件%1中有一次因程序意外中断而未完成的保存；撤销这次保存时文件已有改动，但撤销未能全部完成：请检查数据文件夹的写入权限。")
                                 .arg(displayName(path));
        } else if (journalWaiting) {
            result.problem = QStringLiteral("数据文件%1中有一次未完成的保存需要撤销，但文件或数据文件夹不能写入：请检查读写权限。")
                                 .arg(displayName(path));
        } else {
            result.problem = QStringLiteral("数据文件%1无法打开：请检查文件及数据文件夹的读写权限。").arg(displayName(path));
        }
        break;
    }
    return result;
}

// Index name -> its CREATE statement, for the indexes written out in a schema.
QHash<QString, QString> indexesOf(sqlite3* db)
{
    QHash<QString, QString> indexes;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        indexes.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))));
    sqlite3_finalize(st);
    return indexes;
}

// Files written by earlier versions keep the indexes of their day: one in the GBK name order, a
// collation only this program has (stock SQLCipher tools then cannot check, vacuum or write the
// file), and none of those that later versions search by. The indexes are brought to the
// schema's: one on the program's own collation or differing from the schema's of its name is
// dropped, a missing one is made. No row changes; other indexes are left alone. On a large file
// this takes a few seconds, once.
void bringIndexesToSchema(Database& db, const QString& schemaResource)
{
    if (db.isReadOnly())
        return;
    const auto memory = schemaInMemory(schemaResource);
    if (!memory)
        return;
    const QHash<QString, QString> expected = indexesOf(memory.get());
    const QHash<QString, QString> present = indexesOf(db.handle());
    QStringList drop;
    QStringList create;
    for (auto it = present.begin(); it != present.end(); ++it) {
        const auto wanted = expected.find(it.key());
        if (it.value().contains(QStringLiteral("COLLATE GBK")) || (wanted != expected.end() && *wanted != it.value()))
            drop << it.key();
    }
    for (auto it = expected.begin(); it != expected.end(); ++it)
        if (!present.contains(it.key()) || drop.contains(it.key()))
            create << it.value();
    if (drop.isEmpty() && create.isEmpty())
        return;
    Transaction transaction(db);
    for (QString name : drop) {
        name.replace(u'"', QStringLiteral("\"\""));
        if (!db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(name).toStdString()))
            return;
    }
    for (const QString& sql : create)
        if (!db.exec(sql.toStdString()))
            return;
    transaction.commit();
}

}  // namespace

bool DataStore::open()
{
    forgetEarlierStart();
    bool folderExisted = false;
    if (!makeDataFolder(&folderExisted))
        return false;
    // The lock is taken before any file is looked at, so two copies started together never both
    // write a template.
    if (!takeLock())
        return false;
    if (folderExisted)
        restrictFolderToOwner();
    openFiles();
    readPassword();
    // Fail closed: with any part of the data unusable nobody is admitted, and nothing is written.
    if (!m_problems.isEmpty()) {
        m_loginPassword.reset();
        return false;
    }
    restrictFilesToOwner();
    bringIndexesUpToDate();
    return true;
}

void DataStore::forgetEarlierStart()
{
    m_records.reset();
    m_settings.reset();
    m_problems.clear();
    m_warnings.clear();
    m_loginPassword.reset();
    m_inUseElsewhere = false;
    m_lockObstacle.clear();
    m_rolledBack = false;
}

bool DataStore::makeDataFolder(bool* existed)
{
    const QString folder = m_paths.dataDir();
    *existed = QFileInfo(folder).isDir();
    if (!*existed && !makeOwnerOnlyDir(folder)) {
        m_problems << QStringLiteral("无法创建数据文件夹“%1”。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}

// A lock still held from an earlier open() of this store is kept.
bool DataStore::takeLock()
{
    if (m_lock.isHeld())
        return true;
    const DataFolderLock::Result result = m_lock.take();
    if (result.outcome == DataFolderLock::Outcome::RunningHere)
        m_inUseElsewhere = true;
    m_lockObstacle = result.obstacle;
    // In a folder nobody may write the start goes on without the lock: the files are then
    // reported as read-only.
    return result.mayGoOn();
}

void DataStore::restrictFolderToOwner()
{
    const QString folder = m_paths.dataDir();
    if (!restrictToOwner(folder))
        m_warnings << QStringLiteral("数据文件夹“%1”其他用户也能访问，且无法改为仅本人可用：请检查文件夹的所有者。")
                          .arg(QDir::toNativeSeparators(folder));
}

// Each file is written from its template when missing, opened and checked against the schema.
void DataStore::openFiles()
{
    // The key derivation takes most of the start-up time, so the settings file is opened beside
    // the records file; start-up waits for both before it goes on.
    auto settings = std::async(std::launch::async, prepareFile, m_paths.settingsFile(), kSettingsTemplate,
                               kSettingsKey, kSettingsSchema);
    PreparedFile records = prepareFile(m_paths.recordsFile(), kRecordsTemplate, kRecordsKey, kRecordsSchema);
    PreparedFile settingsFile = settings.get();
    for (const PreparedFile* file : {&records, &settingsFile}) {
        if (!file->problem.isEmpty())
            m_problems << file->problem;
        m_warnings << file->warnings;
        m_rolledBack = m_rolledBack || file->rolledBack;
    }
    // The files open for reading when they cannot be written (permissions): the doctor can
    // look, but every save would fail, so it is said now rather than at the first save.
    const bool folderWritable = QFileInfo(m_paths.dataDir()).isWritable();
    for (const PreparedFile* file : {&records, &settingsFile}) {
        if (file->db && (file->db->isReadOnly() || !folderWritable))
            m_warnings << QStringLiteral("数据文件%1不能写入：处方、设置和密码将无法保存。")
                              .arg(displayName(file->db->path()));
    }
    m_records = std::move(records.db);
    m_settings = std::move(settingsFile.db);
}

void DataStore::readPassword()
{
    if (!m_records)
        return;
    if (const std::optional<StoredPassword> stored = readLoginPassword(*m_records))
        m_loginPassword = stored->text;
    else
        m_problems << QStringLiteral("无法读取登录密码。");
}

void DataStore::restrictFilesToOwner()
{
    for (Database* db : {m_records.get(), m_settings.get()}) {
        if (!restrictToOwner(db->path()))
            m_warnings << QStringLiteral("数据文件%1其他用户也能读取，且无法改为仅本人可读写：请检查文件的所有者。")
                              .arg(displayName(db->path()));
    }
}

void DataStore::bringIndexesUpToDate()
{
    bringIndexesToSchema(*m_records, kRecordsSchema);
    bringIndexesToSchema(*m_settings, kSettingsSchema);
}

QString DataStore::startupMessage() const
{
    if (m_problems.isEmpty() && m_warnings.isEmpty())
        return QString();
    QString text = QStringLiteral("启动时发现以下问题：\n\n") + (m_problems + m_warnings).join(u'\n');
    if (!m_problems.isEmpty())
        text += m_rolledBack ? QStringLiteral("\n\n除撤销那次未完成的保存外，数据文件未作其他改动。问题解决之前，程序不能登录。")
                             : QStringLiteral("\n\n数据文件保持原样，未作任何改动。问题解决之前，程序不能登录。");
    return text;
}

void DataStore::close()
{
    // The connections close, the objects stay: windows that still hold them get a clean refusal
    // ("database is closed") instead of a dangling pointer.
    if (m_records)
        m_records->close();
    if (m_settings)
        m_settings->close();
    // Nothing is written through this store any more: another copy may have the folder.
    m_lock.release();
}

}  // namespace qelvaro
