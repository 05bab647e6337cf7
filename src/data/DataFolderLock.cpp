#include "DataFolderLock.h"

#include "FileKind.h"
#include "OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <optional>

#include <signal.h>

namespace qelvaro {
namespace {

// Who made a lock file: a line each for the process number, the program's name, the machine's
// name and, in newer locks, the machine's id and the id of its boot.
struct LockHolder {
    qint64 pid = 0;
    QString program;
    QString machine;
    QByteArray machineId;
    QByteArray bootId;
};

// A copy that has just made its lock may not have written it yet: a lock that reads as nothing is
// read once more after a moment.
std::optional<LockHolder> readLockHolder(const QString& lockPath)
{
    const auto read = [&lockPath]() -> std::optional<LockHolder> {
        QFile file(lockPath);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QList<QByteArray> lines = file.read(4096).split('\n');
        bool number = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
        if (!number || pid <= 0)
            return std::nullopt;
        return LockHolder{pid, QString::fromUtf8(lines.value(1)), QString::fromUtf8(lines.value(2)), lines.value(3),
                          lines.value(4)};
    };
    if (std::optional<LockHolder> holder = read())
        return holder;
    QThread::msleep(100);
    return read();
}

// A renamed machine keeps its id, so the id decides where there is one.
bool isOfThisMachine(const LockHolder& holder)
{
    const QByteArray id = QSysInfo::machineUniqueId();
    if (!id.isEmpty() && holder.machineId == id)
        return true;
    return holder.machine.isEmpty() || holder.machine == QSysInfo::machineHostName();
}

// Whether the copy that made a lock on this machine still runs: its process is there, was started
// since the last boot, and is this program (after a crash its number may go to another).
// What cannot be looked at is taken as running.
bool holderRuns(const LockHolder& holder)
{
    if (!holder.bootId.isEmpty() && holder.machineId == QSysInfo::machineUniqueId()
        && holder.bootId != QSysInfo::bootUniqueId())
        return false;
    if (::kill(pid_t(holder.pid), 0) != 0 && errno == ESRCH)
        return false;
    // A copy that ended but whose parent has not collected it yet (a zombie) is there, not running.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(holder.pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype end = line.lastIndexOf(')');
        if (end > 0 && line.mid(end + 1).trimmed().startsWith('Z'))
            return false;
    }
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(holder.pid)).symLinkTarget();
    if (holder.program.isEmpty() || exe.isEmpty())
        return true;
    QString name = QFileInfo(exe).fileName();
    if (name.endsWith(QLatin1String(" (deleted)")))  // the program file was replaced while it ran
        name.chop(10);
    return name == holder.program;
}

QString lockObstacleMessage(const QString& lockPath, const QString& kind)
{
    return QStringLiteral("无法锁定数据文件夹，程序没有启动。\n\n“%1”%2，因此无法确认本程序是否已在运行。\n\n"
                          "未改动任何文件。请确认本程序没有在运行，将它移走或删除后再启动程序。")
        .arg(QDir::toNativeSeparators(lockPath), kind);
}

QString otherMachineMessage(const QString& lockPath, const QString& machine)
{
    return QStringLiteral("数据文件夹正在计算机“%1”上使用，程序没有启动。\n\n锁文件“%2”表明，那台计算机上的本程序正在使用这个数据文件夹。\n\n"
                          "未改动任何文件。请先在那台计算机上退出本程序；如果那里并没有在运行本程序（例如那台计算机曾意外关机，或已改名），"
                          "请删除这个锁文件后再启动程序。")
        .arg(machine, QDir::toNativeSeparators(lockPath));
}

QString staleLockMessage(const QString& lockPath)
{
    return QStringLiteral("无法锁定数据文件夹，程序没有启动。\n\n“%1”是本程序意外退出时留下的锁文件，但它无法删除。\n\n"
                          "未改动任何文件。请删除这个锁文件后再启动程序。")
        .arg(QDir::toNativeSeparators(lockPath));
}

}  // namespace

DataFolderLock::DataFolderLock(QString folder) : m_folder(std::move(folder)) {}

DataFolderLock::~DataFolderLock() = default;

QString DataFolderLock::path() const { return m_folder + u'/' + kFileName; }

DataFolderLock::Result DataFolderLock::take()
{
    const QString lockPath = path();
    // Anything but a plain file there can never be a lock; it is not handed to the lock, which
    // would take it for one held by another copy (or, for a pipe, wait for ever).
    if (const QString kind = notAPlainFile(lockPath, false); !kind.isEmpty())
        return {Outcome::NotALock, lockObstacleMessage(lockPath, QStringLiteral("是一个%1，不是锁文件").arg(kind))};
    auto file = std::make_unique<QLockFile>(lockPath);
    file->setStaleLockTime(0);
    if (file->tryLock(0)) {
        m_file = std::move(file);
        restrictToOwner(lockPath);
        return {Outcome::Taken, QString()};
    }
    const bool lockFailed = file->error() == QLockFile::LockFailedError;
    file.reset();
    const std::optional<LockHolder> holder = lockFailed ? readLockHolder(lockPath) : std::nullopt;
    if (lockFailed && !holder)
        return {Outcome::NotALock,
                lockObstacleMessage(lockPath, QFileInfo(lockPath).isReadable()
                                                  ? QStringLiteral("是一个内容无法识别的文件，不是本程序的锁文件")
                                                  : QStringLiteral("是一个本程序无法读取的文件"))};
    if (holder && !isOfThisMachine(*holder))
        return {Outcome::OtherMachine, otherMachineMessage(lockPath, holder->machine)};
    if (holder && holderRuns(*holder))
        return {Outcome::RunningHere, QString()};
    // A lock whose copy is gone that could not be removed: in a folder that can be written
    // something else keeps it, and the doctor has to clear it.
    if (holder && QFileInfo(m_folder).isWritable())
        return {Outcome::StaleLockStuck, staleLockMessage(lockPath)};
    // No lock can be made or removed in a folder nobody may write: then no copy can write the
    // files either, and the doctor may still look.
    return {Outcome::FolderReadOnly, QString()};
}

void DataFolderLock::release() { m_file.reset(); }

}  // namespace qelvaro
