#pragma once

#include "AppContext.h"
#include "Clock.h"
#include "DataStore.h"
#include "SettingsCopy.h"
#include "TestSupport.h"

#include <QDateTime>

namespace qelvaro::test {

// A fresh program folder with its template databases opened, the settings working copy and every
// seam a window is given. Tests build their windows over `context`, after whatever rows they add.
struct ProgramFixture {
    explicit ProgramFixture(PrintTarget* printTarget = nullptr) { context.printTarget = printTarget; }

    TempProgramFolder folder;
    DataStore store{folder.paths()};
    bool opened = store.open();  // false: the databases could not be opened (or a setup step failed)
    SettingsCopy settings{store.settings()};
    MessageRecorder messages;
    UrlRecorder urls;
    FixedClock clock{QDateTime(QDate(2024, 3, 5), QTime(9, 30))};
    AppContext context{store, settings, messages, urls, clock};
};

}  // namespace qelvaro::test
