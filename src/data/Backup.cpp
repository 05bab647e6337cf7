#include "Backup.h"

#include "DataStore.h"
#include "Database.h"
#include "OwnerOnly.h"

#include <sqlcipher/sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace qelvaro {
namespace {

const QStringList kLeftoverPatterns{QStringLiteral(".*.part"), QStringLiteral(".*.part-journal")};

QString temporaryName(const QString& target)
{
    return QFileInfo(target).absolutePath() + QStringLiteral("/.") + QFileInfo(target).fileName()
           + QStringLiteral(".part");
}

// A backup that was cut short (power, kill) leaves its temporary files; the next backup, of any
// day, clears them all.
void removeLeftovers(const QString& backupRoot)
{
    const QDir root(backupRoot);
    for (const QString& day : root.entryList({QStringLiteral("*日")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString& folder : {root.filePath(day), root.filePath(day) + QStringLiteral("/档案数据库")}) {
            const QDir dir(folder);
            for (const QString& name : dir.entryList(kLeftoverPatterns, QDir::Files | QDir::Hidden | QDir::System))
                QFile::remove(dir.filePath(name));
        }
    }
}

// Every page and every index entry is read: quick_check would pass a copy whose indexes disagree
// with its rows.
bool passesIntegrityCheck(const Database& db)
{
    Statement check = db.prepare("PRAGMA integrity_check");
    return check.next() && check.text(0) == QLatin1String("ok") && !check.next();
}

bool databaseIsSound(const QString& path, const QByteArray& key)
{
    auto db = Database::open(path, key);
    return db && passesIntegrityCheck(*db);
}

// The newest backup copy of a file (its path within a day's folder) in any day's folder: every
// copy was checked before it was put in place, so it is the one to take back. Empty when there is
// none.
QString newestBackupCopy(const QString& backupRoot, const QString& pathInDay)
{
    const QDir root(backupRoot);
    QFileInfo newest;
    for (const QString& day : root.entryList({QStringLiteral("*日")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QFileInfo copy(root.filePath(day) + u'/' + pathInDay);
        if (copy.isFile() && (!newest.exists() || copy.lastModified() > newest.lastModified()))
            newest = copy;
    }
    return newest.exists() ? newest.absoluteFilePath() : QString();
}

// What a copy that was not put in place leaves: the earlier backups as they were, or none at all.
QString keptBackups(const QString& backupRoot, const QString& pathInDay)
{
    return newestBackupCopy(backupRoot, pathInDay).isEmpty() ? QStringLiteral("它还没有备份副本")
                                                              : QStringLiteral("原有备份保持不变");
}

const QString kDataFolderInDay = QStringLiteral("档案数据库/");

// A copy taken page by page with the backup API holds what the data file holds: when the copy
// fails its check and the data file fails it too, the damage is in the data file, which the
// doctor has to learn about (the program went on saving into it) along with the copy to take back.
QString damagedDataFile(const Database& source, const QString& backupRoot)
{
    const QString name = QFileInfo(source.path()).fileName();
    QString text = QStringLiteral("%1：数据文件“%2”已损坏（未通过完整性校验），本次没有备份它。")
                       .arg(name, QDir::toNativeSeparators(source.path()));
    const QString copy = newestBackupCopy(backupRoot, kDataFolderInDay + name);
    if (copy.isEmpty())
        return text + QStringLiteral("它还没有备份副本：请保留这个数据文件，不要删除。");
    return text + QStringLiteral("原有备份保持不变，最近的一份备份副本在“%1”（%2 备份）；"
                                 "程序关闭后可用它替换损坏的数据文件，该次备份之后保存的内容不在其中。")
                      .arg(QDir::toNativeSeparators(copy),
                           QFileInfo(copy).lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
}

// Flushes a file (or a folder's entries) to the disk, so a power cut after the rename leaves the
// complete copy, not a torn one in place of the older backup.
bool syncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// SQLite's online backup from the open connection: the copy is one consistent state of the
// database, never a file caught half-way through a write.
enum class Copied { Yes, NoTarget, Incomplete };

Copied copyDatabase(const Database& source, const QString& partial, const QByteArray& key)
{
    if (!createOwnerOnlyFile(partial))
        return Copied::NoTarget;
    auto target = Database::open(partial, key);
    if (!target)
        return Copied::NoTarget;
    sqlite3_backup* backup = sqlite3_backup_init(target->handle(), "main", source.handle(), "main");
    if (!backup)
        return Copied::Incomplete;
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    return stepped == SQLITE_DONE && finished == SQLITE_OK ? Copied::Yes : Copied::Incomplete;
}

Copied copyFile(const QString& source, const QString& partial)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Copied::Incomplete;
    if (!createOwnerOnlyFile(partial))
        return Copied::NoTarget;
    QFile out(partial);
    if (!out.open(QIODevice::WriteOnly))
        return Copied::NoTarget;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            return Copied::Incomplete;
    }
    if (!out.flush())
        return Copied::Incomplete;
    out.close();
    // The program file keeps its owner's execute bit, so a restored copy runs.
    const auto ownBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                         | QFile::ExeUser;
    return QFile::setPermissions(partial, in.permissions() & ownBits) && restrictToOwner(partial) ? Copied::Yes
                                                                                                    : Copied::Incomplete;
}

// Why a copy is not there, and what is left of the earlier backups (within a day's folder).
QString notCopied(Copied copied, const QString& name, const QString& backupRoot, const QString& pathInDay)
{
    if (copied == Copied::NoTarget)
        return QStringLiteral("%1：无法写入备份文件夹").arg(name);
    return QStringLiteral("%1：备份副本未能写完，%2").arg(name, keptBackups(backupRoot, pathInDay));
}

// Puts the checked temporary copy in place of the older one in one step.
QString putInPlace(const QString& partial, const QString& target)
{
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        return QStringLiteral("%1：无法替换原有备份").arg(QFileInfo(target).fileName());
    }
    syncToDisk(QFileInfo(target).absolutePath());
    return QString();
}

QString backUpDatabase(const Database* source, const QString& target, const QByteArray& key,
                       const QString& backupRoot, bool* dataDamaged)
{
    const QString name = QFileInfo(target).fileName();
    if (!source || !source->isOpen())
        return QStringLiteral("%1：数据文件未打开").arg(name);
    const QString partial = temporaryName(target);
    const Copied copied = copyDatabase(*source, partial, key);
    if (copied != Copied::Yes) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        return notCopied(copied, name, backupRoot, kDataFolderInDay + name);
    }
    if (!syncToDisk(partial) || !databaseIsSound(partial, key)) {
        QFile::remove(partial);
        if (!passesIntegrityCheck(*source)) {
            *dataDamaged = true;
            return damagedDataFile(*source, backupRoot);
        }
        return QStringLiteral("%1：备份副本校验失败，%2").arg(name, keptBackups(backupRoot, kDataFolderInDay + name));
    }
    return putInPlace(partial, target);
}

QString backUpFile(const QString& source, const QString& target, const QString& backupRoot)
{
    const QString name = QFileInfo(target).fileName();
    if (!QFileInfo::exists(source))
        return QStringLiteral("%1：原文件不存在").arg(name);
    const QString partial = temporaryName(target);
    if (const Copied copied = copyFile(source, partial); copied != Copied::Yes) {
        QFile::remove(partial);
        return notCopied(copied, name, backupRoot, name);
    }
    if (QFileInfo(partial).size() != QFileInfo(source).size() || !syncToDisk(partial)) {
        QFile::remove(partial);
        return QStringLiteral("%1：备份副本校验失败，%2").arg(name, keptBackups(backupRoot, name));
    }
    return putInPlace(partial, target);
}

}  // namespace

QString backupDayFolder(const AppPaths& paths, const QDate& day)
{
    return paths.backupRoot() + u'/' + QString::number(day.day()) + QStringLiteral("日");
}

BackupResult backUp(const DataStore& store, const QDate& day)
{
    const AppPaths& paths = store.paths();
    BackupResult result;
    result.dayFolder = backupDayFolder(paths, day);
    const QString dataFolder = result.dayFolder + QStringLiteral("/档案数据库");
    for (const QString& folder : {paths.backupRoot(), result.dayFolder, dataFolder}) {
        if (makeOwnerOnlyDir(folder))
            continue;
        if (!QFileInfo(folder).isDir()) {
            result.failures << QStringLiteral("无法创建备份文件夹“%1”").arg(QDir::toNativeSeparators(folder));
            return result;
        }
        result.failures << QStringLiteral("备份文件夹“%1”其他用户也能访问，且无法改为仅本人可用")
                               .arg(QDir::toNativeSeparators(folder));
    }
    removeLeftovers(paths.backupRoot());

    const QString records = backUpDatabase(store.records(), dataFolder + QStringLiteral("/档案.dat"),
                                           DataStore::kRecordsKey, paths.backupRoot(), &result.dataDamaged);
    const QString settings = backUpDatabase(store.settings(), dataFolder + QStringLiteral("/设置.dat"),
                                            DataStore::kSettingsKey, paths.backupRoot(), &result.dataDamaged);
    const QString program = paths.executable.isEmpty()
                                ? QString()
                                : backUpFile(paths.executable,
                                             result.dayFolder + u'/' + QFileInfo(paths.executable).fileName(),
                                             paths.backupRoot());
    for (const QString& failure : {records, settings, program})
        if (!failure.isEmpty())
            result.failures << failure;
    return result;
}

}  // namespace qelvaro
