#include "FileKind.h"

#include <QFile>

#include <sys/stat.h>

namespace qelvaro {

QString notAPlainFile(const QString& path, bool followLinks)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0 || S_ISREG(st.st_mode))
        return QString();
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("文件夹");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("链接");
    return QStringLiteral("特殊文件");
}

}  // namespace qelvaro
