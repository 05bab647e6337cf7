#pragma once

#include "AppContext.h"
#include "StoreFixture.h"
#include "WidgetTestSupport.h"

namespace qelvaro::test {

// The store fixture with every seam a window is given. Tests build their windows over `context`,
// after whatever rows they add.
struct ProgramFixture : StoreFixture {
    explicit ProgramFixture(PrintTarget* printTarget = nullptr) { context.printTarget = printTarget; }

    UrlRecorder urls;
    AppContext context{store, settings, messages, urls, clock};
};

}  // namespace qelvaro::test
