#pragma once

#include "Application.h"
#include "Clock.h"
#include "FixedClock.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "WidgetTestSupport.h"

#include <QAction>
#include <QDateTime>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace qelvaro::test {

// The whole program (the composition of its windows) over a fresh program folder; tests that
// include this link qelvaro_app. start() and the login are the test's to call, or logIn() for both.
struct RunningProgram {
    TempProgramFolder folder;
    MessageRecorder messages;
    UrlRecorder urls;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(17, 30))};
    std::unique_ptr<Application> app;

    RunningProgram()
    {
        writeFile(folder.paths().executable, "program bytes");
        app = std::make_unique<Application>(folder.paths(), messages, urls, clock);
    }

    void logIn(const QString& password = QStringLiteral("586"))
    {
        app->start();
        QLineEdit* entry = app->loginWindow()->findChild<QLineEdit*>();
        QTest::keyClicks(entry, password);
        QTest::keyClick(entry, Qt::Key_Return);
    }

    MainWindow& main() { return *app->mainWindow(); }
    QAction* action(const char* name) { return main().menuAction(QString::fromLatin1(name)); }
};

}  // namespace qelvaro::test
