#include "OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvaro {
namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

bool makeOwnerOnlyDir(const QString& path)
{
    const QString parent = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(parent))
        return false;
    // Made with its final mode, so there is no moment in which others could enter it.
    if (::mkdir(native(path).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return restrictToOwner(path);
}

bool restrictToOwner(const QString& path)
{
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0)
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    return ::chmod(native(path).constData(), st.st_mode & 07700) == 0;
}

bool createOwnerOnlyFile(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // The umask can only take bits away, but a file system may add them: say so rather than hope.
    const bool owned = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return owned;
}

}  // namespace qelvaro
