#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace qelvaro {

AppPaths AppPaths::besideExecutable()
{
    return inFolder(QCoreApplication::applicationDirPath(), QCoreApplication::applicationFilePath());
}

AppPaths AppPaths::inFolder(const QString& folder, const QString& executable)
{
    AppPaths paths;
    paths.programDir = QDir::cleanPath(QDir(folder).absolutePath());
    paths.executable = executable;
    return paths;
}

}  // namespace qelvaro
