#include "AboutBox.h"
#include "Application.h"
#include "DrugCatalogueWindow.h"
#include "HelpPage.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "NameCatalogueWindow.h"
#include "RecordCommands.h"
#include "RecordStore.h"
#include "RunningProgram.h"
#include "SetCatalogueWindow.h"
#include "SettingsWindow.h"
#include "TemplateCatalogueWindow.h"
#include "TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

#include <functional>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

using Scenario = std::function<void(RunningProgram&)>;

QString iconName(MessageIcon icon) { return icon == MessageIcon::Warning ? u"warning"_qs : u"none"_qs; }

template <typename T>
T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

void click(QWidget* window, const char* button) { QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton); }

void changePassword(RunningProgram& p, const QString& oldPassword, const QString& newPassword)
{
    p.logIn();
    p.action("actionSettings")->trigger();
    SettingsWindow* w = p.app->settingsWindow();
    QTest::keyClicks(child<QLineEdit>(w, "oldPasswordEdit"), oldPassword);
    QTest::keyClicks(child<QLineEdit>(w, "newPasswordEdit"), newPassword);
    click(w, "changePasswordButton");
}

void setHeading(RunningProgram& p, int field, const QString& text)
{
    child<QLineEdit>(&p.main(), qPrintable(QStringLiteral("headingField%1").arg(field)))->setText(text);
}

void savePrescription(RunningProgram& p, const QString& name, const QString& sex)
{
    p.logIn();
    setHeading(p, 0, name);
    setHeading(p, 1, sex);
    setHeading(p, 2, u"30岁"_qs);
    p.action("actionSave")->trigger();
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

const QString kTooLong = u"最多只能填写"_qs;

}  // namespace

class MessageIconsTest : public QObject {
    Q_OBJECT

private slots:
    // Each message the program shows, reached as the doctor reaches it, with the icon of its box:
    // none for a plain report (and where the wording's own description gives none), the
    // exclamation mark for a refusal or a problem the doctor has to act on.
    void messageShowsItsIcon_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QString>("text");  // the message, or a distinctive part of it
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("icon");
        const QString tip = kMessageTitle;
        const QString none = iconName(MessageIcon::None);
        const QString warning = iconName(MessageIcon::Warning);
        const Scenario damagedRecords = [](RunningProgram& p) {
            QDir().mkpath(p.folder.paths().dataDir());
            writeFile(p.folder.paths().recordsFile(), QByteArray("not a database ").repeated(500));
            p.logIn();
        };

        QTest::newRow("wrong password") << Scenario([](RunningProgram& p) { p.logIn(u"wrong"_qs); })
                                        << u"密码错误！"_qs << tip << none;
        QTest::newRow("damaged file at start") << damagedRecords << u"启动时发现以下问题"_qs << tip << warning;
        QTest::newRow("login after a damaged start") << damagedRecords << kLoginClosedMessage << tip << warning;
        QTest::newRow("second copy") << Scenario([](RunningProgram& p) {
            p.logIn();
            Application second(p.folder.paths(), p.messages, p.urls, p.clock);
            second.start();
        }) << u"程序已经在运行。"_qs << tip << warning;
        QTest::newRow("backup failed") << Scenario([](RunningProgram& p) {
            p.logIn();
            writeFile(p.folder.paths().backupRoot(), "in the way");
            p.main().close();
        }) << u"数据备份未完成"_qs << tip << warning;

        QTest::newRow("no new password")
            << Scenario([](RunningProgram& p) { changePassword(p, u"586"_qs, QString()); }) << u"请输入新密码！"_qs
            << tip << none;
        QTest::newRow("old password wrong")
            << Scenario([](RunningProgram& p) { changePassword(p, u"123"_qs, u"abc"_qs); })
            << u"原密码不正确，无法修改密码！"_qs << tip << none;
        QTest::newRow("password changed")
            << Scenario([](RunningProgram& p) { changePassword(p, u"586"_qs, u"abc"_qs); })
            << u"修改密码成功，请牢记新密码！"_qs << tip << none;

        QTest::newRow("save without a name")
            << Scenario([](RunningProgram& p) { savePrescription(p, QString(), u"男"_qs); }) << kMissingNameMessage
            << tip << warning;
        QTest::newRow("saved without a sex")
            << Scenario([](RunningProgram& p) { savePrescription(p, u"王五"_qs, QString()); })
            << kPatientWithoutSexNote << tip << warning;
        QTest::newRow("delete before saving") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.main().findChild<QAction*>(u"actionDeleteRecord"_qs)->trigger();
        }) << kNothingToDeleteMessage << tip << warning;
        QTest::newRow("delete question") << Scenario([](RunningProgram& p) {
            savePrescription(p, u"王五"_qs, u"男"_qs);
            p.main().findChild<QAction*>(u"actionDeleteRecord"_qs)->trigger();
        }) << kDeleteRecordQuestion << tip << warning;
        QTest::newRow("record query with a bad date") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.main().recordFromDate()->setText(u"2024-13-01"_qs);
            QTest::mouseClick(p.main().recordQueryButton(), Qt::LeftButton);
        }) << kBadDateRangeMessage << tip << warning;
        QTest::newRow("help without a browser") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.urls.succeed = false;
            p.action("actionHelp")->trigger();
        }) << kHelpPageNotOpenedMessage << tip << warning;
        QTest::newRow("home page without a browser") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.urls.succeed = false;
            p.action("actionAbout")->trigger();
            QTest::mouseClick(p.app->aboutBox()->homePageLink(), Qt::LeftButton);
        }) << kHomePageNotOpenedMessage << tip << warning;

        QTest::newRow("set without name and content") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.action("actionSets")->trigger();
            saveNew(p.app->setWindow(), QString());
        }) << u"请输入名称及内容！"_qs << u"Qelvaro"_qs << none;
        QTest::newRow("template without name and content") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.action("actionHistoryTemplates")->trigger();
            saveNew(p.app->templateWindow(), QString());
        }) << u"请输入模板名称及内容！"_qs << u"Qelvaro"_qs << none;
        QTest::newRow("drug refused") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.action("actionDrugs")->trigger();
            saveNew(p.app->drugWindow(), QString(201, u'药'));
        }) << kTooLong << tip << warning;
        QTest::newRow("diagnosis refused") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.action("actionDiagnoses")->trigger();
            saveNew(p.app->diagnosisWindow(), QString(51, u'感'));
        }) << kTooLong << tip << warning;
        QTest::newRow("set refused") << Scenario([](RunningProgram& p) {
            p.logIn();
            p.action("actionSets")->trigger();
            saveNew(p.app->setWindow(), QString(300, u'甲'), u"内容"_qs);
        }) << kTooLong << tip << warning;

        // What stands at the lock's or a data file's place, and a backup the disk cut short.
        QTest::newRow("lock of another machine") << Scenario([](RunningProgram& p) {
            QDir().mkpath(p.folder.paths().dataDir());
            writeFile(p.folder.paths().dataDir() + u'/' + DataStore::kLockFileName,
                      "4242\nqelvaro\nanother-machine\n0123456789abcdef0123456789abcdef\n");
            p.app->start();
        }) << u"数据文件夹正在计算机“another-machine”上使用，程序没有启动。"_qs << tip << warning;
        QTest::newRow("stale lock that cannot be removed") << Scenario([](RunningProgram& p) {
            // Made on this machine before its last boot; the immutable flag keeps even the superuser
            // from removing it.
            const QString lock = p.folder.paths().dataDir() + u'/' + DataStore::kLockFileName;
            QDir().mkpath(p.folder.paths().dataDir());
            writeFile(lock, "4242\nqelvaro\n" + QSysInfo::machineHostName().toUtf8() + '\n'
                                + QSysInfo::machineUniqueId() + "\nan-earlier-boot\n");
            QProcess::execute(u"chattr"_qs, {u"+i"_qs, lock});
            p.app->start();
            QProcess::execute(u"chattr"_qs, {u"-i"_qs, lock});
        }) << u"是本程序意外退出时留下的锁文件，但它无法删除。"_qs << tip << warning;
        QTest::newRow("folder as a data file") << Scenario([](RunningProgram& p) {
            QDir().mkpath(p.folder.paths().recordsFile());
            p.app->start();
        }) << u"上是一个文件夹，不是数据文件，无法打开：请将它移到别处后再启动程序。"_qs << tip << warning;
        QTest::newRow("backup cut short, none before") << Scenario([](RunningProgram& p) {
            p.logIn();
            const DiskFullBeyond full(3 * 4096);
            p.main().close();
        }) << u"档案.dat：备份副本未能写完，它还没有备份副本"_qs << tip << warning;
    }

    void messageShowsItsIcon()
    {
        QFETCH(Scenario, scenario);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, icon);
        RunningProgram p;
        scenario(p);
        const auto shown = std::find_if(p.messages.messages.cbegin(), p.messages.messages.cend(),
                                        [&](const MessageRecorder::Message& m) { return m.text.contains(text); });
        QVERIFY2(shown != p.messages.messages.cend(), qPrintable(p.messages.texts().join(u'\n')));
        QCOMPARE(shown->title, title);
        QCOMPARE(iconName(shown->icon), icon);
    }
};

QTEST_MAIN(MessageIconsTest)
#include "MessageIconsTest.moc"
