#pragma once

#include <QString>

namespace qelvaro {

// Where the program keeps its files: everything lives beside the executable, so a copied program
// folder takes its data along. Tests point it at a temporary folder.
struct AppPaths {
    QString programDir;   // no trailing separator
    QString executable;   // the program file that the close-time backup copies

    static AppPaths besideExecutable();
    static AppPaths inFolder(const QString& folder, const QString& executable = QString());

    QString dataDir() const { return programDir + QStringLiteral("/档案数据库"); }
    QString recordsFile() const { return dataDir() + QStringLiteral("/档案.dat"); }
    QString settingsFile() const { return dataDir() + QStringLiteral("/设置.dat"); }
    QString backupRoot() const { return programDir + QStringLiteral("/电子处方数据备份"); }
};

}  // namespace qelvaro
