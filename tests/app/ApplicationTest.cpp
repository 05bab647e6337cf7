#include "Application.h"
#include "Backup.h"
#include "Clock.h"
#include "LoginWindow.h"
#include "ClickLabel.h"
#include "MainWindow.h"
#include "OnScreenKeyboard.h"
#include "OutpatientLogWindow.h"
#include "OwnPrintSettings.h"
#include "SettingsWindow.h"
#include "StatisticsWindow.h"
#include "ToolbarButton.h"
#include "TestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

struct Program {
    TempProgramFolder folder;
    MessageRecorder messages;
    UrlRecorder urls;
    FixedClock clock{QDateTime(QDate(2026, 12, 5), QTime(17, 30))};
    std::unique_ptr<Application> app;

    Program()
    {
        writeFile(folder.paths().executable, "program bytes");
        app = std::make_unique<Application>(folder.paths(), messages, urls, clock);
    }

    void logIn(const QString& password = QStringLiteral("586"))
    {
        app->start();
        LoginWindow* login = app->loginWindow();
        QLineEdit* entry = login->findChild<QLineEdit*>();
        QTest::keyClicks(entry, password);
        QTest::keyClick(entry, Qt::Key_Return);
    }
};

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void loginShowsTheMainWindow()
    {
        Program p;
        p.logIn();
        QVERIFY(p.messages.messages.isEmpty());
        QVERIFY(p.app->mainWindow());
        QVERIFY(p.app->mainWindow()->isVisible());
        QVERIFY(!p.app->loginWindow()->isVisible());
    }

    void closingBacksUpIntoTheDayFolder()
    {
        Program p;
        p.logIn();
        QSignalSpy finished(p.app.get(), &Application::finished);
        p.app->mainWindow()->close();
        QCOMPARE(finished.count(), 1);
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));

        const AppPaths paths = p.folder.paths();
        const QString day = paths.backupRoot() + QStringLiteral("/5日");
        QCOMPARE(readFile(day + QStringLiteral("/档案数据库/档案.dat")), readFile(paths.recordsFile()));
        QCOMPARE(readFile(day + QStringLiteral("/档案数据库/设置.dat")), readFile(paths.settingsFile()));
        QCOMPARE(readFile(day + QStringLiteral("/qelvaro")), QByteArray("program bytes"));
        // The copy is a working database.
        DataStore copy(AppPaths::inFolder(day));
        QVERIFY(copy.open());
        QCOMPARE(*copy.loginPassword(), QStringLiteral("586"));
        // Nothing temporary is left behind.
        QCOMPARE(QDir(day + QStringLiteral("/档案数据库")).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // Windows beside the main window close with it, and nothing they hold outlives the databases.
    void closingClosesTheOtherWindows()
    {
        Program p;
        p.logIn();
        emit p.app->mainWindow()->aboutRequested();
        emit p.app->mainWindow()->settingsRequested();
        p.app->mainWindow()->softKeyboardLink()->clicked();
        auto* keyboard = p.app->mainWindow()->findChild<OnScreenKeyboard*>();
        QVERIFY(keyboard && keyboard->isVisible());
        QVERIFY(p.app->aboutBox()->isVisible());
        QVERIFY(p.app->settingsWindow()->isVisible());

        p.app->mainWindow()->close();
        QVERIFY(!keyboard->isVisible());
        QVERIFY(!p.app->aboutBox() || !p.app->aboutBox()->isVisible());
        QVERIFY(!p.app->settingsWindow() || !p.app->settingsWindow()->isVisible());
        // A key of the keyboard, had it stayed, would now search a closed database: refused cleanly.
        QVERIFY(!p.app->store().settings()->isOpen());
        QVERIFY(!p.app->store().settings()->prepare("SELECT 1").next());
    }

    // 门诊日志 and 统计 open from the menu and the toolbar; the log's close on the way out keeps its margins.
    void logAndStatisticsOpenFromMenuAndToolbar()
    {
        Program p;
        p.logIn();
        MainWindow* main = p.app->mainWindow();
        main->menuAction(QStringLiteral("actionStatistics"))->trigger();
        QVERIFY(p.app->statisticsWindow() && p.app->statisticsWindow()->isVisible());
        QTest::mouseClick(main->toolbarButton(ToolbarCommand::Log), Qt::LeftButton);
        QVERIFY(p.app->outpatientLogWindow() && p.app->outpatientLogWindow()->isVisible());
        p.app->outpatientLogWindow()->close();
        main->menuAction(QStringLiteral("actionOutpatientLog"))->trigger();
        QVERIFY(p.app->outpatientLogWindow()->isVisible());

        auto* left = p.app->outpatientLogWindow()->findChild<QLineEdit*>(QStringLiteral("logLeftMargin"));
        left->setText(QStringLiteral("33"));
        main->close();
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));
        DataStore reopened(p.folder.paths());
        QVERIFY(reopened.open());
        QCOMPARE(readOwnPrintSettings(reopened.settings(), 6)->left, QStringLiteral("33"));
    }

    void exitEndsWithoutBackup()
    {
        Program p;
        p.logIn();
        QSignalSpy finished(p.app.get(), &Application::finished);
        emit p.app->mainWindow()->exitRequested();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!QDir(p.folder.paths().backupRoot()).exists());
    }

    void cancellingTheLoginEnds()
    {
        Program p;
        p.app->start();
        QSignalSpy finished(p.app.get(), &Application::finished);
        p.app->loginWindow()->close();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!p.app->mainWindow());
    }

    void aBackupReplacesTheSameDayOfAnEarlierMonth()
    {
        TempProgramFolder folder;
        AppPaths paths = folder.paths();
        writeFile(paths.executable, "new program");
        {
            DataStore store(paths);
            QVERIFY(store.open());
        }
        const QString day = backupDayFolder(paths, QDate(2026, 11, 5));
        QCOMPARE(day, paths.backupRoot() + QStringLiteral("/5日"));
        QVERIFY(QDir().mkpath(day + QStringLiteral("/档案数据库")));
        writeFile(day + QStringLiteral("/档案数据库/档案.dat"), "last month");
        writeFile(day + QStringLiteral("/qelvaro"), "old program");

        const BackupResult result = backUp(paths, QDate(2026, 12, 5));
        QVERIFY2(result.ok(), qPrintable(result.failures.join(u'\n')));
        QCOMPARE(readFile(day + QStringLiteral("/档案数据库/档案.dat")), readFile(paths.recordsFile()));
        QCOMPARE(readFile(day + QStringLiteral("/qelvaro")), QByteArray("new program"));
        QCOMPARE(backupDayFolder(paths, QDate(2026, 12, 31)), paths.backupRoot() + QStringLiteral("/31日"));
    }

    void aDamagedDatabaseNeverReplacesAGoodBackup()
    {
        TempProgramFolder folder;
        AppPaths paths = folder.paths();
        writeFile(paths.executable, "program");
        {
            DataStore store(paths);
            QVERIFY(store.open());
        }
        QVERIFY(backUp(paths, QDate(2026, 12, 5)).ok());
        const QString copy = backupDayFolder(paths, QDate(2026, 12, 5)) + QStringLiteral("/档案数据库/设置.dat");
        const QByteArray good = readFile(copy);

        writeFile(paths.settingsFile(), QByteArray(8192, 'x'));
        const BackupResult result = backUp(paths, QDate(2026, 12, 5));
        QCOMPARE(result.failures.size(), 1);
        QVERIFY(result.failures.first().contains(QStringLiteral("设置.dat")));
        QCOMPARE(readFile(copy), good);
    }

    void aFailedBackupIsTold()
    {
        Program p;
        p.logIn();
        // A file where the backup root should be: no day folder can be made.
        writeFile(p.folder.paths().backupRoot(), "in the way");
        p.app->mainWindow()->close();
        QCOMPARE(p.messages.messages.size(), 1);
        QVERIFY(p.messages.messages.first().text.contains(QStringLiteral("备份")));
    }
};

QTEST_MAIN(ApplicationTest)
#include "ApplicationTest.moc"
