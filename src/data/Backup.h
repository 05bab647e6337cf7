#pragma once

#include "AppPaths.h"

#include <QDate>
#include <QStringList>

namespace qelvaro {

class DataStore;

// The close-time backup: both databases and the executable are copied into
// 电子处方数据备份/<d>日/ (one folder per day of the month, so the ring holds at most 31 days).
// Each copy is written under a temporary name, checked, and only then put in place of the older
// copy, so a failed or damaged copy never replaces a good backup. Folders and copies are readable
// by their owner only.
struct BackupResult {
    QString dayFolder;
    QStringList failures;  // one line per file that could not be backed up, for the doctor
    bool dataDamaged = false;  // a data file itself failed its check: the doctor has to act
    bool ok() const { return failures.isEmpty(); }
};

QString backupDayFolder(const AppPaths& paths, const QDate& day);

// Copies the databases through the store's open connections (a consistent snapshot, whatever
// else is going on); call it before the store is closed, with nothing else writing through them.
BackupResult backUp(const DataStore& store, const QDate& day);

}  // namespace qelvaro
