#pragma once

// The program fixture with a main window over it, for the tests of the editor.

#include "MainWindow.h"
#include "ProgramFixture.h"

#include <QTest>

#include <memory>

namespace qelvaro::test {

struct MainWindowFixture : ProgramFixture {
    using ProgramFixture::ProgramFixture;

    // Called by each fixture once its rows are in place: the window lists what it finds on opening.
    void buildWindow() { window = std::make_unique<MainWindow>(context); }

    bool show()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    std::unique_ptr<MainWindow> window;
};

}  // namespace qelvaro::test
