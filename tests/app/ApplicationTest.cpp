#include "Application.h"
#include "Backup.h"
#include "Clock.h"
#include "LoginWindow.h"
#include "ClickLabel.h"
#include "InfusionCardWindow.h"
#include "HistoryCardWindow.h"
#include "MainWindow.h"
#include "OnScreenKeyboard.h"
#include "OutpatientLogWindow.h"
#include "SettingsCopy.h"
#include "SettingsWindow.h"
#include "StatisticsWindow.h"
#include "ToolbarButton.h"
#include "RunningProgram.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// Rows of a table in a database file opened with its key; -1 when it does not open.
qint64 rowCount(const QString& file, const QByteArray& key, const char* table)
{
    auto db = Database::open(file, key);
    if (!db)
        return -1;
    Statement st = db->prepare("SELECT count(*) FROM \"" + std::string(table) + "\"");
    return st.next() ? st.integer(0) : -1;
}

bool passesIntegrityCheck(const QString& file, const QByteArray& key)
{
    auto db = Database::open(file, key);
    if (!db)
        return false;
    Statement st = db->prepare("PRAGMA integrity_check");
    return st.next() && st.text(0) == QLatin1String("ok");
}

// Gives a table an index whose entries are ordered by one column while the schema says another:
// every page reads and quick_check passes; only integrity_check finds the damage.
bool damageAnIndex(const QString& file, const QByteArray& key, const char* table, const char* column,
                   const char* claimedColumn)
{
    auto db = Database::open(file, key);
    if (!db)
        return false;
    const std::string name = "\"" + std::string(table) + "\"";
    return db->exec("CREATE INDEX \"坏\" ON " + name + " (\"" + column + "\")")
           && db->exec("PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = 'CREATE INDEX \"坏\" ON " + name
                       + " (\"" + claimedColumn + "\")' WHERE name = '坏'; PRAGMA writable_schema = OFF");
}

using Program = RunningProgram;

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

    // What a failed backup has to say depends on whether an earlier one exists.
    static void backedUpBeforeOrNot()
    {
        QTest::addColumn<bool>("backedUpBefore");
        QTest::newRow("a backup of the day before") << true;
        QTest::newRow("no backup yet") << false;
    }

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

    // Once the program is composed, every command has its menu item and its work.
    void everyCommandIsProvided()
    {
        Program p;
        p.logIn();
        const MainWindow* main = p.app->mainWindow();
        for (int i = 0; i < kCommandCount; ++i) {
            const Command command = Command(i);
            const QString name = MainWindow::commandName(command);
            QVERIFY2(main->action(command) && main->action(command)->objectName() == name, qPrintable(name));
            QVERIFY2(main->isProvided(command), qPrintable(name + QStringLiteral(" is not provided")));
        }
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
        const QString records = day + QStringLiteral("/档案数据库/档案.dat");
        const QString settings = day + QStringLiteral("/档案数据库/设置.dat");
        QVERIFY(passesIntegrityCheck(records, DataStore::kRecordsKey));
        QVERIFY(passesIntegrityCheck(settings, DataStore::kSettingsKey));
        QCOMPARE(rowCount(records, DataStore::kRecordsKey, "档案"), 1);
        QCOMPARE(rowCount(settings, DataStore::kSettingsKey, "药品"), 245);
        QCOMPARE(readFile(day + QStringLiteral("/qelvaro")), QByteArray("program bytes"));
        // The copy is a working program folder of its own.
        {
            DataStore copy(AppPaths::inFolder(day));
            QVERIFY(copy.open());
            QCOMPARE(*copy.loginPassword(), QStringLiteral("586"));
        }
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

    // The card button opens the infusion card, one window for the run; closing the program closes
    // it through its own close, which keeps its print settings.
    void infusionCardButtonOpensTheCard()
    {
        Program p;
        p.logIn();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::InfusionCard), Qt::LeftButton);
        InfusionCardWindow* card = p.app->infusionCardWindow();
        QVERIFY(card && card->isVisible());
        card->close();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::InfusionCard), Qt::LeftButton);
        QCOMPARE(p.app->infusionCardWindow(), card);
        QVERIFY(card->isVisible());
        // A card the doctor minimised comes back at the next press of its button.
        card->showMinimized();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::InfusionCard), Qt::LeftButton);
        QVERIFY(!card->isMinimized());

        card->leftMarginBox()->setText(QStringLiteral("15"));
        p.app->mainWindow()->close();
        QVERIFY(!card->isVisible());
        DataStore store(p.folder.paths());
        QVERIFY(store.open());
        QCOMPARE(readOwnPrintSettings(store.settings(), 3)->left, QStringLiteral("15"));
    }

    // 打印病史 opens the history card; the window is kept, and closing the program closes it
    // through its own close, which stores its print settings before the databases close.
    void historyCardButtonOpensTheCard()
    {
        Program p;
        p.logIn();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::History), Qt::LeftButton);
        HistoryCardWindow* card = p.app->historyCardWindow();
        QVERIFY(card && card->isVisible());
        QCOMPARE(card->windowTitle(), QStringLiteral("病史打印"));
        card->close();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::History), Qt::LeftButton);
        QCOMPARE(p.app->historyCardWindow(), card);
        QVERIFY(card->isVisible());
        card->showMinimized();
        QTest::mouseClick(p.app->mainWindow()->cardButton(CardButton::History), Qt::LeftButton);
        QVERIFY(!card->isMinimized());

        card->findChild<QLineEdit*>(QStringLiteral("leftMarginBox"))->setText(QStringLiteral("7"));
        p.app->mainWindow()->close();
        QVERIFY(!card->isVisible());
        DataStore reopened(p.folder.paths());
        QVERIFY(reopened.open());
        QCOMPARE(readOwnPrintSettings(reopened.settings(), 4)->left, QStringLiteral("7"));
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
        // The log has a minimise button; the next 日志 or 门诊日志 brings the window back.
        p.app->outpatientLogWindow()->showMinimized();
        QTest::mouseClick(main->toolbarButton(ToolbarCommand::Log), Qt::LeftButton);
        QVERIFY(!p.app->outpatientLogWindow()->isMinimized());
        p.app->statisticsWindow()->showMinimized();
        main->menuAction(QStringLiteral("actionStatistics"))->trigger();
        QVERIFY(!p.app->statisticsWindow()->isMinimized());

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

    void aSecondCopySaysSoAndEnds()
    {
        Program first;
        first.logIn();
        QVERIFY(first.app->mainWindow());

        MessageRecorder messages;
        Application second(first.folder.paths(), messages, first.urls, first.clock);
        QSignalSpy finished(&second, &Application::finished);
        second.start();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("程序已经在运行。")});
        QCOMPARE(messages.messages.first().title, QStringLiteral("提示"));
        QVERIFY(!second.loginWindow() && !second.mainWindow());

        // The first copy still saves and backs up.
        QVERIFY(first.app->store().records()->exec("UPDATE \"密码\" SET \"密码\" = 'neu'"));
        first.app->mainWindow()->close();
        QVERIFY2(first.messages.messages.isEmpty(), qPrintable(first.messages.texts().join(u'\n')));
    }

    void dataAndBackupsAreForTheOwnerOnly()
    {
        const mode_t previous = ::umask(022);
        Program p;
        p.logIn();
        p.app->mainWindow()->close();
        ::umask(previous);
        QVERIFY(p.messages.messages.isEmpty());
        const AppPaths paths = p.folder.paths();
        const QString day = paths.backupRoot() + QStringLiteral("/5日");
        const struct {
            QString path;
            int mode;
        } expected[] = {{paths.dataDir(), 0700},
                        {paths.recordsFile(), 0600},
                        {paths.settingsFile(), 0600},
                        {paths.backupRoot(), 0700},
                        {day, 0700},
                        {day + QStringLiteral("/档案数据库"), 0700},
                        {day + QStringLiteral("/档案数据库/档案.dat"), 0600},
                        {day + QStringLiteral("/档案数据库/设置.dat"), 0600},
                        {day + QStringLiteral("/qelvaro"), 0600}};
        for (const auto& e : expected) {
            struct stat st {};
            QVERIFY2(::stat(QFile::encodeName(e.path).constData(), &st) == 0, qPrintable(e.path));
            QVERIFY2(int(st.st_mode & 0777) == e.mode, qPrintable(e.path + QStringLiteral(" %1").arg(st.st_mode & 0777, 0, 8)));
        }
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
        DataStore store(paths);
        QVERIFY(store.open());
        const QString day = backupDayFolder(paths, QDate(2026, 11, 5));
        QCOMPARE(day, paths.backupRoot() + QStringLiteral("/5日"));
        QVERIFY(QDir().mkpath(day + QStringLiteral("/档案数据库")));
        writeFile(day + QStringLiteral("/档案数据库/档案.dat"), "last month");
        writeFile(day + QStringLiteral("/qelvaro"), "old program");
        // What a backup cut short leaves, on this day and on another.
        const QString otherDay = backupDayFolder(paths, QDate(2026, 11, 9));
        QVERIFY(QDir().mkpath(otherDay + QStringLiteral("/档案数据库")));
        const QStringList leftovers{otherDay + QStringLiteral("/档案数据库/.设置.dat.part"),
                                    otherDay + QStringLiteral("/档案数据库/.设置.dat.part-journal"),
                                    otherDay + QStringLiteral("/.qelvaro.part"),
                                    day + QStringLiteral("/档案数据库/.档案.dat.part")};
        for (const QString& leftover : leftovers)
            writeFile(leftover, "interrupted");

        const BackupResult result = backUp(store, QDate(2026, 12, 5));
        QVERIFY2(result.ok(), qPrintable(result.failures.join(u'\n')));
        QCOMPARE(rowCount(day + QStringLiteral("/档案数据库/档案.dat"), DataStore::kRecordsKey, "档案"), 1);
        QCOMPARE(readFile(day + QStringLiteral("/qelvaro")), QByteArray("new program"));
        QCOMPARE(backupDayFolder(paths, QDate(2026, 12, 31)), paths.backupRoot() + QStringLiteral("/31日"));
        for (const QString& leftover : leftovers)
            QVERIFY2(!QFileInfo::exists(leftover), qPrintable(leftover));
    }

    // The copy is one committed state of the database, whatever another connection is writing.
    void aBackupTakenWhileWritingIsSound()
    {
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        writeFile(paths.executable, "program");
        DataStore store(paths);
        QVERIFY(store.open());
        Database& records = *store.records();
        Statement insert = records.prepare(
            "INSERT INTO \"档案\" (\"0\", \"9\", \"名称\", \"T1\") VALUES ('张三', '2026-12-05', ?, ?)");
        for (int i = 0; i < 300; ++i) {
            insert.bindAll(QStringLiteral("2026-12-05 08:%1").arg(i, 5, 10, QLatin1Char('0')), QString(400, u'药'));
            QVERIFY(insert.run());
        }
        auto writer = Database::open(paths.recordsFile(), DataStore::kRecordsKey);
        QVERIFY(writer);
        Transaction pending(*writer);
        QVERIFY(pending.isActive());
        QVERIFY(writer->exec("DELETE FROM \"档案\" WHERE rowid % 2 = 0"));

        const BackupResult result = backUp(store, QDate(2026, 12, 5));
        QVERIFY2(result.ok(), qPrintable(result.failures.join(u'\n')));
        const QString copy = result.dayFolder + QStringLiteral("/档案数据库/档案.dat");
        QVERIFY(passesIntegrityCheck(copy, DataStore::kRecordsKey));
        QCOMPARE(rowCount(copy, DataStore::kRecordsKey, "档案"), 301);
    }

    void aDamagedDatabaseNeverReplacesAGoodBackup()
    {
        TempProgramFolder folder;
        AppPaths paths = folder.paths();
        writeFile(paths.executable, "program");
        {
            DataStore store(paths);
            QVERIFY(store.open());
            QVERIFY(backUp(store, QDate(2026, 12, 5)).ok());
        }
        QVERIFY(damageAnIndex(paths.settingsFile(), DataStore::kSettingsKey, "地址", "名称", "拼音"));
        const QString copy = backupDayFolder(paths, QDate(2026, 12, 5)) + QStringLiteral("/档案数据库/设置.dat");
        const QByteArray good = readFile(copy);

        DataStore store(paths);
        QVERIFY(store.open());
        Statement quick = store.settings()->prepare("PRAGMA quick_check");
        QVERIFY(quick.next() && quick.text(0) == QLatin1String("ok"));
        const BackupResult result = backUp(store, QDate(2026, 12, 5));
        QVERIFY(result.dataDamaged);
        QCOMPARE(result.failures.size(), 1);
        QVERIFY2(result.failures.first().startsWith(QStringLiteral("设置.dat：数据文件")), qPrintable(result.failures.first()));
        QCOMPARE(readFile(copy), good);
        QVERIFY(QDir(QFileInfo(copy).absolutePath()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden).isEmpty());
    }

    // A disk that fills during the backup: the copies are dropped, and each file's message says
    // what is left, the earlier backups as they were or none at all.
    void aBackupCutShortSaysWhatIsLeft_data() { backedUpBeforeOrNot(); }
    void aBackupCutShortSaysWhatIsLeft()
    {
        QFETCH(bool, backedUpBefore);
        TempProgramFolder folder;
        const AppPaths paths = folder.paths();
        writeFile(paths.executable, QByteArray(64 * 1024, 'p'));
        DataStore store(paths);
        QVERIFY(store.open());
        if (backedUpBefore)
            QVERIFY(backUp(store, QDate(2026, 12, 4)).ok());
        const QString earlier = backupDayFolder(paths, QDate(2026, 12, 4)) + QStringLiteral("/档案数据库/档案.dat");
        const QByteArray earlierBytes = readFile(earlier);
        BackupResult result;
        {
            const DiskFullBeyond full(3 * 4096);
            result = backUp(store, QDate(2026, 12, 5));
        }
        QCOMPARE(result.failures,
                 QStringList({QStringLiteral("档案.dat：备份副本未能写完，%1"), QStringLiteral("设置.dat：备份副本未能写完，%1"),
                              QStringLiteral("qelvaro：备份副本未能写完，%1")})
                     .replaceInStrings(QStringLiteral("%1"), backedUpBefore ? QStringLiteral("原有备份保持不变")
                                                                           : QStringLiteral("它还没有备份副本")));
        QCOMPARE(readFile(earlier), earlierBytes);
        const QDir today(result.dayFolder + QStringLiteral("/档案数据库"));
        QVERIFY(today.entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
        QVERIFY(QDir(result.dayFolder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
    }

    // The close-time copy is taken page by page, so a copy failing its check means the data file
    // fails it: the doctor learns that, and which backup copy to take back, not only that a copy
    // was refused.
    void aDamagedDataFileIsToldAtClose_data() { backedUpBeforeOrNot(); }
    void aDamagedDataFileIsToldAtClose()
    {
        QFETCH(bool, backedUpBefore);
        Program p;
        const AppPaths paths = p.folder.paths();
        const QString earlier = backupDayFolder(paths, QDate(2026, 12, 4)) + QStringLiteral("/档案数据库/档案.dat");
        {
            DataStore store(paths);
            QVERIFY(store.open());
            if (backedUpBefore)
                QVERIFY(backUp(store, QDate(2026, 12, 4)).ok());
        }
        QVERIFY(damageAnIndex(paths.recordsFile(), DataStore::kRecordsKey, "档案", "名称", "0"));
        p.logIn();
        // Start-up runs no full check: nothing is said yet.
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));
        QVERIFY(p.app->mainWindow());
        p.app->mainWindow()->close();

        QCOMPARE(p.messages.messages.size(), 1);
        const MessageRecorder::Message& message = p.messages.messages.first();
        QVERIFY2(message.text.contains(QStringLiteral("数据文件“%1”已损坏").arg(QDir::toNativeSeparators(paths.recordsFile()))),
                 qPrintable(message.text));
        QCOMPARE(message.icon, MessageIcon::Warning);
        QCOMPARE(message.title, QStringLiteral("提示"));
        QVERIFY(!message.text.contains(QStringLiteral("备份副本校验失败")));
        QCOMPARE(message.text.contains(QDir::toNativeSeparators(earlier)), backedUpBefore);
        QCOMPARE(message.text.contains(QStringLiteral("还没有备份副本")), !backedUpBefore);
        const QString today = backupDayFolder(paths, QDate(2026, 12, 5)) + QStringLiteral("/档案数据库");
        QVERIFY(!QFileInfo::exists(today + QStringLiteral("/档案.dat")));
        QVERIFY(passesIntegrityCheck(today + QStringLiteral("/设置.dat"), DataStore::kSettingsKey));
    }

    // Something that is no lock where the lock goes: no copy runs, and the doctor is told what to
    // move away instead of "already running" for ever.
    void aLockThatIsNoLockIsToldAndEnds()
    {
        Program p;
        const QString lockPath = p.folder.paths().dataDir() + u'/' + DataStore::kLockFileName;
        QVERIFY(QDir().mkpath(lockPath));
        QSignalSpy finished(p.app.get(), &Application::finished);
        p.app->start();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(p.messages.messages.size(), 1);
        const MessageRecorder::Message& message = p.messages.messages.first();
        QVERIFY2(message.text.contains(QDir::toNativeSeparators(lockPath)) && message.text.contains(QStringLiteral("文件夹")),
                 qPrintable(message.text));
        QCOMPARE(message.icon, MessageIcon::Warning);
        QCOMPARE(message.title, QStringLiteral("提示"));
        QVERIFY(!p.app->loginWindow() && !p.app->mainWindow());
        QVERIFY(!QFileInfo::exists(p.folder.paths().recordsFile()));
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
