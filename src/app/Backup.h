#pragma once

#include "AppPaths.h"

#include <QDate>
#include <QStringList>

namespace qelvaro {

// The close-time backup: the executable and both database files are copied into
// 电子处方数据备份/<d>日/ (one folder per day of the month, so the ring holds at most 31 days).
// Each copy is written under a temporary name, checked, and only then put in place of the older
// copy, so a failed or damaged copy never replaces a good backup.
struct BackupResult {
    QString dayFolder;
    QStringList failures;  // one line per file that could not be backed up, for the doctor
    bool ok() const { return failures.isEmpty(); }
};

QString backupDayFolder(const AppPaths& paths, const QDate& day);

// Call with both databases closed.
BackupResult backUp(const AppPaths& paths, const QDate& day);

}  // namespace qelvaro
