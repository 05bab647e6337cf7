#include "Backup.h"

#include "DataStore.h"
#include "Database.h"
#include "WindowHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace qelvaro {
namespace {

bool databaseIsSound(const QString& path, const QByteArray& key)
{
    auto db = Database::open(path, key);
    if (!db)
        return false;
    Statement check = db->prepare("PRAGMA quick_check");
    return check.next() && check.text(0) == QLatin1String("ok");
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

// Copies source to target through target's temporary name; key, when given, is the database key
// the copy must open with.
QString copyChecked(const QString& source, const QString& target, const QByteArray& key)
{
    const QString name = QFileInfo(target).fileName();
    if (!QFileInfo::exists(source))
        return QStringLiteral("%1：原文件不存在").arg(name);
    const QString partial = QFileInfo(target).absolutePath() + QStringLiteral("/.") + name + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        QFile::remove(partial);
        return QStringLiteral("%1：无法写入备份文件夹").arg(name);
    }
    if (QFileInfo(partial).size() != QFileInfo(source).size() || !syncToDisk(partial)
        || (!key.isEmpty() && !databaseIsSound(partial, key))) {
        QFile::remove(partial);
        return QStringLiteral("%1：备份副本校验失败，原有备份保持不变").arg(name);
    }
    // rename() replaces the older copy in one step.
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        return QStringLiteral("%1：无法替换原有备份").arg(name);
    }
    syncToDisk(QFileInfo(target).absolutePath());
    return QString();
}

}  // namespace

QString backupDayFolder(const AppPaths& paths, const QDate& day)
{
    return paths.backupRoot() + u'/' + QString::number(day.day()) + QStringLiteral("日");
}

BackupResult backUp(const AppPaths& paths, const QDate& day)
{
    BackupResult result;
    result.dayFolder = backupDayFolder(paths, day);
    const QString dataFolder = result.dayFolder + QStringLiteral("/档案数据库");
    bool made = false;
    makeDirs(dataFolder, &made);
    if (!made) {
        result.failures << QStringLiteral("无法创建备份文件夹“%1”").arg(result.dayFolder);
        return result;
    }
    const struct {
        QString source;
        QString target;
        QByteArray key;
    } copies[] = {
        {paths.recordsFile(), dataFolder + QStringLiteral("/档案.dat"), DataStore::kRecordsKey},
        {paths.settingsFile(), dataFolder + QStringLiteral("/设置.dat"), DataStore::kSettingsKey},
        {paths.executable, result.dayFolder + u'/' + QFileInfo(paths.executable).fileName(), QByteArray()},
    };
    for (const auto& copy : copies) {
        if (copy.source.isEmpty())
            continue;
        const QString failure = copyChecked(copy.source, copy.target, copy.key);
        if (!failure.isEmpty())
            result.failures << failure;
    }
    return result;
}

}  // namespace qelvaro
