#include "AboutBox.h"
#include "Application.h"
#include "Database.h"
#include "DrugCatalogueWindow.h"
#include "FakePrintQueue.h"
#include "HistoryCardWindow.h"
#include "InfusionCardWindow.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "NameCatalogueWindow.h"
#include "OutpatientLogWindow.h"
#include "PrintTarget.h"
#include "RunningProgram.h"
#include "ScriptedFileDialog.h"
#include "SetCatalogueWindow.h"
#include "SettingsWindow.h"
#include "StatisticsWindow.h"
#include "TemplateCatalogueWindow.h"
#include "TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// The running program, with the seams a few messages need: a print queue the test ends jobs on,
// and a save dialog that answers what the test set (the program's own dialog would be modal).
struct Program : RunningProgram {
    QTemporaryDir saveDir;
    ScriptedFileDialog dialog;
    FakePrintQueue::State queue;
    std::unique_ptr<PrinterTarget> printer;
    std::unique_ptr<OutpatientLogWindow> log;

    ~Program()
    {
        log.reset();
        if (printer)
            app->context().printTarget = nullptr;
    }
    void useFakePrinter()
    {
        printer = std::make_unique<PrinterTarget>(messages, dialog, std::make_unique<FakePrintQueue>(queue),
                                                  JobFollowTiming{10, 40});
        app->context().printTarget = printer.get();
    }
    OutpatientLogWindow& logWindow()
    {
        log = std::make_unique<OutpatientLogWindow>(app->context(), dialog);
        log->show();
        return *log;
    }
    Database& records() { return *app->store().records(); }
    Database& settings() { return *app->store().settings(); }
};

using Scenario = std::function<void(Program&)>;

QString iconName(MessageIcon icon) { return icon == MessageIcon::Warning ? u"warning"_qs : u"none"_qs; }

template <typename T>
T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

void click(QWidget* window, const char* button) { QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton); }

void retype(QWidget* window, const char* box, const QString& text)
{
    QLineEdit* edit = child<QLineEdit>(window, box);
    edit->clear();
    typeText(edit, text);
}

// A trigger that refuses every write of the given kind on a table, as a full disk or a locked
// file would.
void refuse(Database& db, const char* event, const char* table)
{
    static int made = 0;
    const QString sql = QStringLiteral("CREATE TRIGGER refuse%1 BEFORE %2 ON \"%3\" BEGIN SELECT RAISE(ABORT, 'refused'); END")
                            .arg(++made)
                            .arg(QString::fromUtf8(event), QString::fromUtf8(table));
    if (!db.exec(sql.toUtf8().toStdString()))
        qFatal("trigger not made");
}

// Logged in already; the settings window is opened from the menu.
void changePassword(Program& p, const QString& oldPassword, const QString& newPassword)
{
    p.action("actionSettings")->trigger();
    SettingsWindow* w = p.app->settingsWindow();
    QTest::keyClicks(child<QLineEdit>(w, "oldPasswordEdit"), oldPassword);
    QTest::keyClicks(child<QLineEdit>(w, "newPasswordEdit"), newPassword);
    click(w, "changePasswordButton");
}

void setHeading(Program& p, HeadingField field, const QString& text) { p.main().headingBox(field)->setText(text); }

void fillPrescription(Program& p, const QString& name, const QString& sex = u"男"_qs)
{
    setHeading(p, HeadingField::Name, name);
    setHeading(p, HeadingField::Sex, sex);
    setHeading(p, HeadingField::Age, u"30岁"_qs);
}

void savePrescription(Program& p, const QString& name, const QString& sex = u"男"_qs)
{
    p.logIn();
    fillPrescription(p, name, sex);
    p.action("actionSave")->trigger();
}

void queryRecords(Program& p, const QString& from)
{
    p.main().recordFromDate()->setText(from);
    QTest::mouseClick(p.main().recordQueryButton(), Qt::LeftButton);
}

// A new catalogue entry with the given name (and content, where the window has a content box).
void saveNew(QWidget* window, const QString& name, const QString& content = QString())
{
    if (child<QPushButton>(window, "addButton"))
        click(window, "addButton");
    typeText(child<QLineEdit>(window, "nameBox"), name);
    if (!content.isEmpty())
        typeText(child<QPlainTextEdit>(window, "contentBox"), content);
    click(window, "saveButton");
}

// A catalogue entry saved, then deleted while the database refuses deletes.
void deleteRefused(Program& p, QWidget* window, const char* table, const QString& content = QString())
{
    saveNew(window, u"测试条目"_qs, content);
    refuse(p.settings(), "DELETE", table);
    click(window, "deleteButton");
}

QWidget* openCatalogue(Program& p, const char* action, QWidget* (*window)(Application&))
{
    p.logIn();
    p.action(action)->trigger();
    return window(*p.app);
}

QWidget* drugs(Application& a) { return a.drugWindow(); }
QWidget* diagnoses(Application& a) { return a.diagnosisWindow(); }
QWidget* sets(Application& a) { return a.setWindow(); }
QWidget* templates(Application& a) { return a.templateWindow(); }

InfusionCardWindow& openCard(Program& p)
{
    QTest::mouseClick(p.main().cardButton(CardButton::InfusionCard), Qt::LeftButton);
    return *p.app->infusionCardWindow();
}

// The card of a saved prescription, opened while its record cannot be read.
InfusionCardWindow& openUnreadCard(Program& p)
{
    savePrescription(p, u"王五"_qs);
    const auto rename = [&](const char* sql) {
        if (!p.records().exec(sql))
            qFatal("records table not renamed");
    };
    rename(R"(ALTER TABLE "档案" RENAME TO "档案_off")");
    InfusionCardWindow& card = openCard(p);
    rename(R"(ALTER TABLE "档案_off" RENAME TO "档案")");
    return card;
}

void print(Program& p)
{
    savePrescription(p, u"王五"_qs);
    p.useFakePrinter();
    p.action("actionPrint")->trigger();
}

void damagedRecords(Program& p)
{
    QDir().mkpath(p.folder.paths().dataDir());
    writeFile(p.folder.paths().recordsFile(), QByteArray("not a database ").repeated(500));
    p.logIn();
}

}  // namespace

class MessageIconsTest : public QObject {
    Q_OBJECT

private slots:
    // Every message box the program shows, reached as the doctor reaches it: its text exactly,
    // its title, its icon (none for a plain report, the exclamation mark for a refusal, a problem
    // the doctor has to act on, or a question) and its buttons.
    void messageBox_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QString>("text");  // {program} stands for the scenario's program folder
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("buttons");
        const QString tip = u"提示"_qs;
        const QString app = u"Qelvaro"_qs;
        const QString none = u"none"_qs;
        const QString warning = u"warning"_qs;
        const QString ok = u"确定"_qs;
        const QString yesNo = u"是/否"_qs;
        const QString okCancel = u"确定/取消"_qs;
        const QString badRange = u"请填写正确格式的起止日期！日期格式为“2016-01-03”。"_qs;
        const QString cardUnread = u"无法读取该处方的档案，输液执行卡不能保存。"_qs;

        // Start-up and login.
        QTest::newRow("wrong password") << Scenario([](Program& p) { p.logIn(u"wrong"_qs); }) << u"密码错误！"_qs
                                        << tip << none << ok;
        QTest::newRow("damaged file at start")
            << Scenario(damagedRecords)
            << u"启动时发现以下问题：\n\n数据文件“档案数据库/档案.dat”无法打开：文件已损坏，或不是本程序的数据文件。"
               u"\n\n数据文件保持原样，未作任何改动。问题解决之前，程序不能登录。"_qs
            << tip << warning << ok;
        QTest::newRow("login after a damaged start")
            << Scenario(damagedRecords) << u"数据文件有问题，程序不能登录。请按启动时提示的问题处理后，再重新启动程序。"_qs
            << tip << warning << ok;
        QTest::newRow("second copy") << Scenario([](Program& p) {
            p.logIn();
            Application second(p.folder.paths(), p.messages, p.urls, p.clock);
            second.start();
        }) << u"程序已经在运行。"_qs << tip << warning << ok;
        QTest::newRow("backup failed") << Scenario([](Program& p) {
            p.logIn();
            writeFile(p.folder.paths().backupRoot(), "in the way");
            p.main().close();
        }) << u"数据备份未完成：\n无法创建备份文件夹“{program}/电子处方数据备份”"_qs << tip << warning << ok;

        // What stands at the lock's or a data file's place, and a backup the disk cut short.
        QTest::newRow("lock of another machine") << Scenario([](Program& p) {
            QDir().mkpath(p.folder.paths().dataDir());
            writeFile(p.folder.paths().dataDir() + u'/' + DataStore::kLockFileName,
                      "4242\nqelvaro\nanother-machine\n0123456789abcdef0123456789abcdef\n");
            p.app->start();
        }) << u"数据文件夹正在计算机“another-machine”上使用，程序没有启动。\n\n"
              u"锁文件“{program}/档案数据库/.qelvaro.lock”表明，那台计算机上的本程序正在使用这个数据文件夹。\n\n"
              u"未改动任何文件。请先在那台计算机上退出本程序；如果那里并没有在运行本程序（例如那台计算机曾意外关机，或已改名），"
              u"请删除这个锁文件后再启动程序。"_qs
           << tip << warning << ok;
        QTest::newRow("stale lock that cannot be removed") << Scenario([](Program& p) {
            // Made on this machine before its last boot; the immutable flag keeps even the superuser
            // from removing it.
            const QString lock = p.folder.paths().dataDir() + u'/' + DataStore::kLockFileName;
            QDir().mkpath(p.folder.paths().dataDir());
            writeFile(lock, "4242\nqelvaro\n" + QSysInfo::machineHostName().toUtf8() + '\n'
                                + QSysInfo::machineUniqueId() + "\nan-earlier-boot\n");
            QProcess::execute(u"chattr"_qs, {u"+i"_qs, lock});
            p.app->start();
            QProcess::execute(u"chattr"_qs, {u"-i"_qs, lock});
        }) << u"无法锁定数据文件夹，程序没有启动。\n\n“{program}/档案数据库/.qelvaro.lock”是本程序意外退出时留下的锁文件，"
              u"但它无法删除。\n\n未改动任何文件。请删除这个锁文件后再启动程序。"_qs
           << tip << warning << ok;
        QTest::newRow("folder as a data file") << Scenario([](Program& p) {
            QDir().mkpath(p.folder.paths().recordsFile());
            p.app->start();
        }) << u"启动时发现以下问题：\n\n数据文件的位置“{program}/档案数据库/档案.dat”上是一个文件夹，不是数据文件，无法打开："
              u"请将它移到别处后再启动程序。\n\n数据文件保持原样，未作任何改动。问题解决之前，程序不能登录。"_qs
           << tip << warning << ok;
        QTest::newRow("backup cut short, none before") << Scenario([](Program& p) {
            p.logIn();
            const DiskFullBeyond full(3 * 4096);
            p.main().close();
        }) << u"数据备份未完成：\n档案.dat：备份副本未能写完，它还没有备份副本\n设置.dat：备份副本未能写完，它还没有备份副本"_qs << tip << warning << ok;
        QTest::newRow("backup cut short, the program file too") << Scenario([](Program& p) {
            writeFile(p.folder.paths().executable, QByteArray(64 * 1024, 'p'));
            p.logIn();
            const DiskFullBeyond full(3 * 4096);
            p.main().close();
        }) << u"数据备份未完成：\n档案.dat：备份副本未能写完，它还没有备份副本\n设置.dat：备份副本未能写完，它还没有备份副本"
              u"\nqelvaro：备份副本未能写完，它还没有备份副本"_qs << tip << warning << ok;

        // Settings and the password.
        QTest::newRow("settings refused") << Scenario([](Program& p) {
            p.logIn();
            p.action("actionSettings")->trigger();
            retype(p.app->settingsWindow(), "doctorEdit", QString(11, u'王'));
            click(p.app->settingsWindow(), "saveButton");
        }) << u"“医生”最多只能填写10个字，设置未保存。"_qs << tip << warning << ok;
        QTest::newRow("no new password")
            << Scenario([](Program& p) {
                   p.logIn();
                   changePassword(p, u"586"_qs, QString()); }) << u"请输入新密码！"_qs << tip
            << none << ok;
        QTest::newRow("old password wrong")
            << Scenario([](Program& p) {
                   p.logIn();
                   changePassword(p, u"123"_qs, u"abc"_qs); })
            << u"原密码不正确，无法修改密码！"_qs << tip << none << ok;
        QTest::newRow("password changed")
            << Scenario([](Program& p) {
                   p.logIn();
                   changePassword(p, u"586"_qs, u"abc"_qs); })
            << u"修改密码成功，请牢记新密码！"_qs << tip << none << ok;
        QTest::newRow("password unreadable") << Scenario([](Program& p) {
            p.logIn();
            QVERIFY(p.records().exec("DELETE FROM \"密码\""));
            changePassword(p, u"586"_qs, u"abc"_qs);
        }) << u"无法读取原密码，无法修改密码！"_qs << tip << warning << ok;
        QTest::newRow("new password refused") << Scenario([](Program& p) {
            p.logIn();
            refuse(p.records(), "UPDATE", "密码");
            changePassword(p, u"586"_qs, u"abc"_qs);
        }) << u"新密码保存失败，原密码仍然有效！"_qs << tip << warning << ok;
        QTest::newRow("password with the records closed") << Scenario([](Program& p) {
            p.logIn();
            p.app->store().close();
            changePassword(p, u"586"_qs, u"abc"_qs);
        }) << u"档案数据库未打开，无法修改密码！"_qs << tip << warning << ok;

        // The prescription and its records.
        QTest::newRow("save without a name")
            << Scenario([](Program& p) { savePrescription(p, QString()); }) << u"请填写患者姓名！"_qs << tip << warning
            << ok;
        QTest::newRow("save with a bad date") << Scenario([](Program& p) {
            p.logIn();
            fillPrescription(p, u"王五"_qs);
            setHeading(p, HeadingField::Date, u"2026-13-01"_qs);
            p.action("actionSave")->trigger();
        }) << u"请填写正确格式的日期！日期格式为“2016-01-03”。"_qs << tip << warning << ok;
        QTest::newRow("save with a long field")
            << Scenario([](Program& p) { savePrescription(p, QString(51, u'王')); }) << u"“姓名”不能超过50个字！"_qs
            << tip << warning << ok;
        QTest::newRow("save with an unstorable character")
            << Scenario([](Program& p) { savePrescription(p, u"王"_qs + QChar(0xD800)); })
            << u"“姓名”中有无法保存的字符！"_qs << tip << warning << ok;
        QTest::newRow("save refused") << Scenario([](Program& p) {
            p.logIn();
            refuse(p.records(), "INSERT", "档案");
            fillPrescription(p, u"王五"_qs);
            p.action("actionSave")->trigger();
        }) << u"处方保存失败！"_qs << tip << warning << ok;
        QTest::newRow("saved without a sex")
            << Scenario([](Program& p) { savePrescription(p, u"王五"_qs, QString()); })
            << u"处方已保存，但性别为空，未登记患者信息。"_qs << tip << warning << ok;
        QTest::newRow("patient refused") << Scenario([](Program& p) {
            p.logIn();
            refuse(p.records(), "INSERT", "患者信息");
            fillPrescription(p, u"王五"_qs);
            p.action("actionSave")->trigger();
        }) << u"处方已保存，但患者信息未能登记。"_qs << tip << warning << ok;
        QTest::newRow("record query with a bad date") << Scenario([](Program& p) {
            p.logIn();
            queryRecords(p, u"2024-13-01"_qs);
        }) << badRange << tip << warning << ok;
        QTest::newRow("record query without the records") << Scenario([](Program& p) {
            p.logIn();
            QVERIFY(p.records().exec(R"(ALTER TABLE "档案" RENAME TO "档案_off")"));
            queryRecords(p, u"2024-01-01"_qs);
        }) << u"档案数据库无法使用！"_qs << tip << warning << ok;
        QTest::newRow("delete before saving") << Scenario([](Program& p) {
            p.logIn();
            p.action("actionDeleteRecord")->trigger();
        }) << u"这张处方还没有保存，没有可删除的档案。"_qs << tip << warning << ok;
        QTest::newRow("delete question") << Scenario([](Program& p) {
            savePrescription(p, u"王五"_qs);
            p.action("actionDeleteRecord")->trigger();
        }) << u"确实要永久删除该病人档案吗？"_qs << tip << warning << okCancel;
        QTest::newRow("help without a browser") << Scenario([](Program& p) {
            p.logIn();
            p.urls.succeed = false;
            p.action("actionHelp")->trigger();
        }) << u"无法打开帮助页面，请确认电脑上已安装网页浏览器。"_qs << tip << warning << ok;
        QTest::newRow("home page without a browser") << Scenario([](Program& p) {
            p.logIn();
            p.urls.succeed = false;
            p.action("actionAbout")->trigger();
            QTest::mouseClick(p.app->aboutBox()->homePageLink(), Qt::LeftButton);
        }) << u"无法打开主页，请确认电脑上已安装网页浏览器。"_qs << tip << warning << ok;

        // The catalogues.
        QTest::newRow("set without name and content")
            << Scenario([](Program& p) { saveNew(openCatalogue(p, "actionSets", sets), QString()); })
            << u"请输入名称及内容！"_qs << app << none << ok;
        QTest::newRow("template without name and content")
            << Scenario([](Program& p) { saveNew(openCatalogue(p, "actionHistoryTemplates", templates), QString()); })
            << u"请输入模板名称及内容！"_qs << app << none << ok;
        QTest::newRow("drug refused")
            << Scenario([](Program& p) { saveNew(openCatalogue(p, "actionDrugs", drugs), QString(201, u'药')); })
            << u"“药品名称”最多只能填写200个字，未保存。"_qs << tip << warning << ok;
        QTest::newRow("diagnosis refused")
            << Scenario([](Program& p) { saveNew(openCatalogue(p, "actionDiagnoses", diagnoses), QString(51, u'感')); })
            << u"“诊断名称”最多只能填写50个字，未保存。"_qs << tip << warning << ok;
        QTest::newRow("set refused")
            << Scenario([](Program& p) { saveNew(openCatalogue(p, "actionSets", sets), QString(51, u'甲'), u"内容"_qs); })
            << u"“名称”最多只能填写50个字，未保存。"_qs << tip << warning << ok;
        QTest::newRow("catalogue write refused") << Scenario([](Program& p) {
            QWidget* w = openCatalogue(p, "actionDrugs", drugs);
            refuse(p.settings(), "INSERT", "药品");
            saveNew(w, u"测试药"_qs);
        }) << u"未能写入数据库，未保存。"_qs << tip << warning << ok;
        QTest::newRow("catalogue row gone") << Scenario([](Program& p) {
            QWidget* w = openCatalogue(p, "actionDrugs", drugs);
            saveNew(w, u"测试药"_qs);
            QVERIFY(p.settings().exec(R"(DELETE FROM "药品" WHERE "名称" = '测试药')"));
            click(w, "saveButton");
        }) << u"该条目已被删除，未保存。"_qs << tip << warning << ok;
        QTest::newRow("drug delete refused") << Scenario([](Program& p) {
            deleteRefused(p, openCatalogue(p, "actionDrugs", drugs), "药品");
        }) << u"未能从数据库删除该药品。"_qs << tip << warning << ok;
        QTest::newRow("name delete refused") << Scenario([](Program& p) {
            deleteRefused(p, openCatalogue(p, "actionDiagnoses", diagnoses), "诊断");
        }) << u"未能从数据库删除该名称。"_qs << tip << warning << ok;
        QTest::newRow("set delete refused") << Scenario([](Program& p) {
            deleteRefused(p, openCatalogue(p, "actionSets", sets), "个人组套", u"内容"_qs);
        }) << u"未能从数据库删除该条目。"_qs << tip << warning << ok;

        // The cards, the log and the statistics.
        QTest::newRow("card with an unsaved prescription") << Scenario([](Program& p) {
            p.logIn();
            click(&openCard(p), "saveCardButton");
        }) << u"处方未能保存，输液执行卡未保存。"_qs << tip << warning << ok;
        QTest::newRow("card record unread") << Scenario([](Program& p) {
            openUnreadCard(p);
        }) << cardUnread << tip << warning << ok;
        QTest::newRow("card save refused while unread") << Scenario([](Program& p) {
            click(&openUnreadCard(p), "saveCardButton");
        }) << cardUnread << tip << warning << ok;
        QTest::newRow("card of a prescription left") << Scenario([](Program& p) {
            p.logIn();
            fillPrescription(p, u"王五"_qs);
            InfusionCardWindow& card = openCard(p);
            p.action("actionNew")->trigger();
            click(&card, "saveCardButton");
        }) << u"找不到此输液执行卡所属的处方档案（主窗口已换到其他处方），输液执行卡未保存。"_qs << tip << warning << ok;
        QTest::newRow("card refused") << Scenario([](Program& p) {
            savePrescription(p, u"王五"_qs);
            refuse(p.records(), "UPDATE OF \"T4\"", "档案");
            click(&openCard(p), "saveCardButton");
        }) << u"输液执行卡保存失败！"_qs << tip << warning << ok;
        QTest::newRow("card print settings refused") << Scenario([](Program& p) {
            p.logIn();
            InfusionCardWindow& card = openCard(p);
            refuse(p.settings(), "UPDATE", "设置");
            card.close();
        }) << u"输液执行卡的打印设置未能保存。"_qs << tip << warning << ok;
        QTest::newRow("history card settings refused") << Scenario([](Program& p) {
            p.logIn();
            QTest::mouseClick(p.main().cardButton(CardButton::History), Qt::LeftButton);
            refuse(p.settings(), "UPDATE", "设置");
            p.app->historyCardWindow()->close();
        }) << u"病史打印的边距和方向未能保存。"_qs << tip << warning << ok;
        QTest::newRow("log margins refused") << Scenario([](Program& p) {
            p.logIn();
            OutpatientLogWindow& log = p.logWindow();
            refuse(p.settings(), "UPDATE", "设置");
            log.close();
        }) << u"门诊日志的打印边距未能保存。"_qs << tip << warning << ok;
        QTest::newRow("log query with a bad date") << Scenario([](Program& p) {
            p.logIn();
            OutpatientLogWindow& log = p.logWindow();
            retype(&log, "logFromDate", u"abc"_qs);
            click(&log, "logQueryButton");
        }) << badRange << tip << warning << ok;
        QTest::newRow("log exported") << Scenario([](Program& p) {
            savePrescription(p, u"王五"_qs);
            p.dialog.answer = p.saveDir.filePath(u"门诊日志.xlsx"_qs);
            click(&p.logWindow(), "logExportButton");
        }) << u"文件导出成功！"_qs << tip << none << ok;
        QTest::newRow("log export failed") << Scenario([](Program& p) {
            savePrescription(p, u"王五"_qs);
            p.dialog.answer = p.saveDir.filePath(u"missing/门诊日志.xlsx"_qs);
            click(&p.logWindow(), "logExportButton");
        }) << u"文件导出失败！"_qs << tip << warning << ok;
        QTest::newRow("statistics with a bad date") << Scenario([](Program& p) {
            p.logIn();
            p.action("actionStatistics")->trigger();
            retype(p.app->statisticsWindow(), "statisticsFromDate", u"abc"_qs);
            click(p.app->statisticsWindow(), "statisticsButton");
        }) << badRange << tip << warning << ok;

        // Printing (through a print queue the test controls).
        QTest::newRow("print without a printer") << Scenario([](Program& p) {
            p.queue.printer.clear();
            p.messages.answers << false;
            print(p);
        }) << u"没有可用的打印机，是否保存为PDF文件？"_qs << tip << warning << yesNo;
        QTest::newRow("print failed") << Scenario([](Program& p) {
            p.messages.answers << false;
            print(p);
            QTRY_COMPARE(p.queue.jobCount(), 1);
            p.queue.end(1, PrintQueue::JobState::Failed);
        }) << u"打印没有成功，是否保存为PDF文件？"_qs << tip << warning << yesNo;
        QTest::newRow("PDF not saved") << Scenario([](Program& p) {
            p.queue.printer.clear();
            p.dialog.answer = p.saveDir.filePath(u"missing/处方.pdf"_qs);
            print(p);
        }) << u"PDF文件保存失败。"_qs << tip << warning << ok;
    }

    void messageBox()
    {
        QFETCH(Scenario, scenario);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, icon);
        QFETCH(QString, buttons);
        Program p;
        text.replace(u"{program}"_qs, QDir::toNativeSeparators(p.folder.paths().programDir));
        scenario(p);
        // The last box with the text: a scenario may reach the same text twice, the box of its row last.
        const auto shown = [&] {
            return std::find_if(p.messages.messages.crbegin(), p.messages.messages.crend(),
                                [&](const MessageRecorder::Message& m) { return m.text == text; });
        };
        // A print job's failure is told when the queue reports it.
        QTRY_VERIFY2_WITH_TIMEOUT(shown() != p.messages.messages.crend(), qPrintable(p.messages.texts().join(u'\n')),
                                  2000);
        QCOMPARE(shown()->title, title);
        QCOMPARE(iconName(shown()->icon), icon);
        QCOMPARE(shown()->buttons, buttons);
    }
};

QTEST_MAIN(MessageIconsTest)
#include "MessageIconsTest.moc"
