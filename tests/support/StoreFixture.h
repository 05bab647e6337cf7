#pragma once

#include "Clock.h"
#include "DataStore.h"
#include "FixedClock.h"
#include "SearchIndexes.h"
#include "SettingsCopy.h"
#include "TestSupport.h"

#include <QDateTime>

namespace qelvaro::test {

// A fresh program folder with its template databases opened, the settings working copy, a message
// recorder, a fixed clock and the search indexes: what the window-free tests of the stores stand on.
struct StoreFixture {
    TempProgramFolder folder;
    DataStore store{folder.paths()};
    bool opened = store.open();  // false: the databases could not be opened (or a setup step failed)
    SettingsCopy settings{store.settings()};
    MessageRecorder messages;
    FixedClock clock{QDateTime(QDate(2024, 3, 5), QTime(9, 30))};
    SearchIndexes searchIndexes;  // empty until a test loads it
};

}  // namespace qelvaro::test
