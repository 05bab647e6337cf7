#include "ClickLabel.h"
#include "DrawingSurface.h"
#include "Fonts.h"
#include "MainWindowFixture.h"
#include "ToolbarButton.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// A program folder with its databases and a main window over them.
struct Editor : MainWindowFixture {
    explicit Editor(const QString& clinicName = QString())
    {
        if (opened && !clinicName.isNull())
            store.settings()->prepare(R"(UPDATE "设置" SET "名称" = ?)").bind(1, clinicName).run();
        buildWindow();
    }
};

QPoint centreOf(const QWidget* w) { return w->rect().center(); }

void showAllPopups(MainWindow& window)
{
    window.diagnosisPopup()->show();
    window.addressPopup()->show();
    window.patientPopup()->show();
}

int popupsShown(const MainWindow& window)
{
    return int(window.diagnosisPopup()->isVisible()) + int(window.addressPopup()->isVisible())
           + int(window.patientPopup()->isVisible());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void windowShell()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Qelvaro V4.0"));
        QCOMPARE(w.centralWidget()->size(), QSize(twipsToPixels(15255), twipsToPixels(10215)));
        QCOMPARE(w.minimumSize(), w.maximumSize());

        const QRect screen = w.screen()->geometry();
        const QRect frame = w.frameGeometry();
        // The window frame's own size is known only once the window is mapped: allow for it.
        const int slack = frame.width() - w.width() + 1;
        QVERIFY(qAbs(frame.left() - (screen.width() - frame.width()) / 2) <= slack);
        QVERIFY(qAbs(frame.top() - (screen.height() - twipsToPixels(400) - frame.height()) / 2) <= slack);
        QVERIFY(w.recordKeyLabel()->isHidden());
    }

    void headingFieldLayout_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<bool>("red");
        QTest::addColumn<bool>("shown");
        const auto row = [](int i, const char* caption, int maxLength, int left, int top, int width, bool red, bool shown) {
            QTest::addRow("%d %s", i, caption) << i << QString::fromUtf8(caption) << maxLength
                                               << twipsRect(left, top, width, 315) << red << shown;
        };
        row(0, "姓名：", 5, 480, 1500, 1635, false, true);
        row(1, "性别：", 1, 2160, 1500, 975, false, true);
        row(2, "年龄：", 4, 3180, 1500, 1335, false, true);
        row(3, "费别：", 5, 4560, 1500, 1215, false, true);
        row(4, "医疗证(病历)号：", 20, 480, 1800, 4035, false, true);
        row(5, "科别：", 4, 4560, 1800, 1215, false, true);
        row(6, "住址(电话)：", 20, 480, 2100, 3435, false, true);
        row(7, "电话：", 20, 60, 540, 1755, false, false);
        row(8, "诊断：", 20, 480, 2400, 3435, false, true);
        row(9, "日期：", 20, 3960, 2100, 1815, false, true);
        row(10, "医生：", 5, 4140, 7800, 1635, false, true);
        row(11, "配药：", 5, 4140, 8100, 1635, false, true);
        row(12, "复核：", 5, 4140, 8400, 1635, false, true);
        row(13, "药费：", 10, 600, 7920, 1635, false, true);
        row(14, "其他：", 10, 600, 8220, 1635, false, true);
        row(15, "过敏史：", 20, 3960, 2400, 1815, true, true);
        row(16, "既往史：", 20, 120, 240, 3495, false, false);
    }
    void headingFieldLayout()
    {
        QFETCH(int, field);
        QFETCH(QString, caption);
        QFETCH(int, maxLength);
        QFETCH(QRect, box);
        QFETCH(bool, red);
        QFETCH(bool, shown);
        Editor e;
        QVERIFY(e.opened);
        const MainWindow& w = *e.window;
        const auto f = HeadingField(field);

        QCOMPARE(w.headingFieldBox(f)->geometry(), box);
        QCOMPARE(w.headingFieldBox(f)->isHidden(), !shown);
        QLabel* label = w.headingCaption(f);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->pos(), twipsPoint(60, 60));
        QVERIFY(label->font().bold());
        QCOMPARE(label->width(), label->sizeHint().width());

        // Everything else follows from the caption's width, in twips.
        const int captionWidth = pixelsToTwips(label->width());
        const int inputLeft = captionWidth + 75;
        const int inputWidth = pixelsToTwips(box.width()) - captionWidth - 135;
        QLineEdit* input = w.headingBox(f);
        QVERIFY(qAbs(input->x() - twipsToPixels(inputLeft)) <= 1);
        QVERIFY(qAbs(input->width() - twipsToPixels(inputWidth)) <= 1);
        QCOMPARE(input->y(), twipsToPixels(30));
        const QLine underline = w.headingUnderline(f);
        QVERIFY(qAbs(underline.x1() - twipsToPixels(inputLeft - 60)) <= 1);
        QVERIFY(qAbs(underline.x2() - twipsToPixels(inputLeft + inputWidth + 60)) <= 1);
        QCOMPARE(underline.y1(), twipsToPixels(240));
        QCOMPARE(underline.y2(), twipsToPixels(240));

        const auto* limit = qobject_cast<const TypingLimit*>(input->validator());
        QVERIFY(limit);
        QCOMPARE(limit->limit(), maxLength);
        QCOMPARE(input->palette().color(QPalette::Text), red ? QColor(255, 0, 0) : QColor(0, 0, 255));
        QCOMPARE(input->font().pointSizeF(), f == HeadingField::CardNumber ? 10.5 : 9.75);
    }

    // The limit is the typist's: text the program puts into a field is kept whole, and a field
    // already over its limit may still be shortened.
    void typingLimitLeavesTheProgramsTextWhole()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* doctor = e.window->headingBox(HeadingField::Doctor);
        doctor->setText(QStringLiteral("欧阳建国主任医师"));
        QCOMPARE(doctor->text(), QStringLiteral("欧阳建国主任医师"));
        doctor->setFocus();
        doctor->end(false);
        QTest::keyClick(doctor, Qt::Key_Backspace);
        QCOMPARE(doctor->text(), QStringLiteral("欧阳建国主任医"));
        QTest::keyClicks(doctor, QStringLiteral("x"));
        QCOMPARE(doctor->text(), QStringLiteral("欧阳建国主任医"));

        QLineEdit* sex = e.window->headingBox(HeadingField::Sex);
        sex->clear();
        sex->setFocus();
        QTest::keyClicks(sex, QStringLiteral("ab"));
        QCOMPARE(sex->text(), QStringLiteral("a"));
    }

    void headingFieldsComeFirstInTabOrder()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.headingBox(HeadingField::Name)->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), w.headingBox(HeadingField::Name));
        QStringList order;
        for (int i = 0; i < 14; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName().remove(QStringLiteral("headingField"));
        }
        QCOMPARE(order.join(u' '), QStringLiteral("1 2 3 4 5 6 9 8 15 10 11 12 13 14"));
    }

    void kindBoxClickCyclesKnownKinds_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("普通") << "普通" << "中医" << "中医处方笺";
        QTest::newRow("中医") << "中医" << "儿科" << "儿科处方笺";
        QTest::newRow("儿科") << "儿科" << "普通" << "普通处方笺";
        QTest::newRow("unknown kind stays") << "急诊" << "急诊" << "普通处方笺";
    }
    void kindBoxClickCyclesKnownKinds()
    {
        QFETCH(QString, before);
        QFETCH(QString, kind);
        QFETCH(QString, title);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QCOMPARE(w.kindLabel()->text(), QStringLiteral("普通"));
        w.setKind(before);
        const int titleLeft = w.titleLabel()->x();
        QTest::mouseClick(w.kindArea(), Qt::LeftButton, {}, centreOf(w.kindArea()));
        QCOMPARE(w.kindLabel()->text(), kind);
        QCOMPARE(w.titleLabel()->text(), title);
        QCOMPARE(w.titleLabel()->x(), titleLeft);
    }

    void menuShortcutsBeatEditingKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("inBody");
        QTest::addColumn<QByteArray>("signal");  // empty: the help page opens
        QTest::newRow("Ctrl+X in a heading field") << int(Qt::Key_X) << false << QByteArray(SIGNAL(settingsRequested()));
        QTest::newRow("Ctrl+X in the body") << int(Qt::Key_X) << true << QByteArray(SIGNAL(settingsRequested()));
        QTest::newRow("Ctrl+Z in a heading field") << int(Qt::Key_Z) << false << QByteArray(SIGNAL(aboutRequested()));
        QTest::newRow("Ctrl+Z in the body") << int(Qt::Key_Z) << true << QByteArray(SIGNAL(aboutRequested()));
        QTest::newRow("Ctrl+E in a heading field") << int(Qt::Key_E) << false << QByteArray(SIGNAL(exitRequested()));
        QTest::newRow("Ctrl+H in the body") << int(Qt::Key_H) << true << QByteArray();
    }
    void menuShortcutsBeatEditingKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, inBody);
        QFETCH(QByteArray, signal);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;

        // Typed text, selected, so a cut or an undo would show.
        QWidget* target = inBody ? static_cast<QWidget*>(w.body()) : w.headingBox(HeadingField::Diagnosis);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClicks(target, QStringLiteral("ab"));
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        const auto text = [&] {
            return inBody ? w.body()->toPlainText() : w.headingBox(HeadingField::Diagnosis)->text();
        };
        QCOMPARE(text(), QStringLiteral("ab"));

        std::unique_ptr<QSignalSpy> spy;
        if (!signal.isEmpty())
            spy = std::make_unique<QSignalSpy>(&w, signal.constData());
        QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);

        if (spy)
            QCOMPARE(spy->count(), 1);
        else
            QCOMPARE(e.urls.opened.size(), 1);
        QCOMPARE(text(), QStringLiteral("ab"));
    }

    void toolbarCopyAndPasteTakeTheWholeBody_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mouseButton");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("clipboard");  // null: nothing on the clipboard
        QTest::addColumn<QString>("bodyAfter");
        QTest::addColumn<QString>("clipboardAfter");
        const QString drug = QStringLiteral("阿莫西林胶囊  0.25g*24\n    用法：0.5g tid\n\n");
        QTest::newRow("copy") << "toolbarCopy" << int(Qt::LeftButton) << drug << "旧内容" << drug << drug;
        QTest::newRow("copy by right click") << "toolbarCopy" << int(Qt::RightButton) << drug << "旧内容" << drug << drug;
        QTest::newRow("copy of an empty body") << "toolbarCopy" << int(Qt::LeftButton) << "" << "旧内容" << "" << "";
        QTest::newRow("paste") << "toolbarPaste" << int(Qt::LeftButton) << "旧正文" << "清开灵口服液  10ml*10" << "清开灵口服液  10ml*10"
                               << "清开灵口服液  10ml*10";
        QTest::newRow("paste by right click") << "toolbarPaste" << int(Qt::RightButton) << "旧正文" << "iv" << "iv" << "iv";
        QTest::newRow("paste with CR LF") << "toolbarPaste" << int(Qt::LeftButton) << "" << "a\r\nb" << "a\nb" << "a\r\nb";
        QTest::newRow("paste of an empty clipboard") << "toolbarPaste" << int(Qt::LeftButton) << "旧正文" << QString() << "" << "";
    }
    void toolbarCopyAndPasteTakeTheWholeBody()
    {
        QFETCH(QString, button);
        QFETCH(int, mouseButton);
        QFETCH(QString, body);
        QFETCH(QString, clipboard);
        QFETCH(QString, bodyAfter);
        QFETCH(QString, clipboardAfter);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(body);
        QClipboard* board = QGuiApplication::clipboard();
        board->clear();
        if (!clipboard.isNull())
            board->setText(clipboard);

        auto* toolbar = w.findChild<ToolbarButton*>(button);
        QVERIFY(toolbar);
        const auto mb = Qt::MouseButton(mouseButton);
        QTest::mousePress(toolbar, mb, {}, centreOf(toolbar));
        QCOMPARE(toolbar->frameShadow(), QFrame::Sunken);
        QCOMPARE(w.body()->toPlainText(), body);  // the command waits for the release
        // The release belongs to the pressed button wherever the pointer is by then.
        QTest::mouseRelease(toolbar, mb, {}, QPoint(-30, 40));
        QCOMPARE(toolbar->frameShape(), QFrame::NoFrame);

        QCOMPARE(w.body()->toPlainText(), bodyAfter);
        QCOMPARE(board->text(), clipboardAfter);
    }

    void helpOpensTheCarriedPage_data()
    {
        QTest::addColumn<bool>("fromToolbar");
        QTest::addColumn<bool>("browser");
        QTest::newRow("toolbar") << true << true;
        QTest::newRow("menu, no browser") << false << false;
    }
    void helpOpensTheCarriedPage()
    {
        QFETCH(bool, fromToolbar);
        QFETCH(bool, browser);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        e.urls.succeed = browser;
        if (fromToolbar)
            QTest::mouseClick(w.toolbarButton(ToolbarCommand::Help), Qt::LeftButton);
        else
            w.findChild<QAction*>(QStringLiteral("actionHelp"))->trigger();

        QCOMPARE(e.urls.opened.size(), 1);
        const QUrl url = e.urls.opened.first();
        QVERIFY(url.isLocalFile());
        QFile carried(QStringLiteral(":/help/help.html"));
        QVERIFY(carried.open(QIODevice::ReadOnly));
        QCOMPARE(readFile(url.toLocalFile()), carried.readAll());
        QCOMPARE(e.messages.texts(),
                 browser ? QStringList() : QStringList{QStringLiteral("无法打开帮助页面，请确认电脑上已安装网页浏览器。")});
    }

    void clicksOutsideTheFieldsHidePopups_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("hides");
        QTest::newRow("sheet background") << "sheet" << true;
        QTest::newRow("card preview") << "card" << true;
        QTest::newRow("body") << "body" << true;
        QTest::newRow("history box") << "history" << true;
        QTest::newRow("sheet label") << "label" << false;
        QTest::newRow("heading field box") << "fieldBox" << false;
    }
    void clicksOutsideTheFieldsHidePopups()
    {
        QFETCH(QString, place);
        QFETCH(bool, hides);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(QStringLiteral("阿莫西林"));
        w.headingBox(HeadingField::Name)->setText(QStringLiteral("张三"));
        showAllPopups(w);

        QWidget* target = nullptr;
        QPoint pos;
        if (place == u"sheet") {
            target = w.sheet();
            pos = twipsPoint(300, 5000);
        } else if (place == u"card") {
            target = w.injectionCardPreview();
            pos = twipsPoint(300, 1500);
        } else if (place == u"body") {
            target = w.body()->viewport();
            pos = centreOf(target);
        } else if (place == u"history") {
            target = w.historyBox()->viewport();
            pos = centreOf(target);
        } else if (place == u"label") {
            target = w.sheetLabel(SheetLabel::Rp);
            pos = centreOf(target);
        } else {
            target = w.headingFieldBox(HeadingField::Name);
            pos = QPoint(target->width() - 2, target->height() - 2);
        }
        QVERIFY(!target->childAt(pos));
        QTest::mouseClick(target, Qt::LeftButton, {}, pos);

        QCOMPARE(popupsShown(w), hides ? 0 : 3);
        QCOMPARE(w.body()->toPlainText(), QStringLiteral("阿莫西林"));
        QCOMPARE(w.headingBox(HeadingField::Name)->text(), QStringLiteral("张三"));
    }

    void menusHoldTheirItems()
    {
        Editor e;
        QVERIFY(e.opened);
        const auto captions = [](const QMenu* menu) {
            QStringList list{menu->title()};
            for (const QAction* a : menu->actions())
                list << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return list.join(u'|');
        };
        QList<QMenu*> menus;
        for (QAction* a : e.window->menuBar()->actions())
            menus << a->menu();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(captions(menus[0]), QStringLiteral("文件(F)|新建|续开|保存|-|统计|门诊日志|-|打印|在印刷处方上套打|-|退出"));
        QCOMPARE(captions(menus[1]), QStringLiteral("设置(S)|药品维护|个人组套/中医验方维护|诊断名称维护|病史模板维护|地址库维护|-|综合设置"));
        QCOMPARE(captions(menus[2]), QStringLiteral("帮助(H)|操作教程|关于"));
        QCOMPARE(captions(e.window->bodyMenu()),
                 QStringLiteral("右键菜单|剪切(T)|复制(C)|粘贴(P)|删除(D)|-|复制到注射卡|添加到个人组套/中医验方|-|静脉滴注|肌肉注射|静脉推注|加滴管"));
    }

    void onlyTheWiredCommandsAreEnabled_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, const char* shortcut, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(shortcut) << enabled;
        };
        row("actionNew", "Ctrl+N", true);
        row("actionRenew", "Ctrl+W", true);
        row("actionSave", "Ctrl+S", true);
        row("actionStatistics", "Ctrl+D", false);
        row("actionOutpatientLog", "Ctrl+G", false);
        row("actionPrint", "Ctrl+P", true);
        row("actionOverlayPrint", "Ctrl+L", true);
        row("actionExit", "Ctrl+E", true);
        row("actionDrugs", "Ctrl+J", false);
        row("actionSets", "Ctrl+F", false);
        row("actionDiagnoses", "Ctrl+I", false);
        row("actionHistoryTemplates", "Ctrl+O", false);
        row("actionAddresses", "Ctrl+M", false);
        row("actionSettings", "Ctrl+X", true);
        row("actionHelp", "Ctrl+H", true);
        row("actionAbout", "Ctrl+Z", true);
        // With an empty body nothing is selected; 粘贴 follows the clipboard.
        for (const char* name : {"actionBodyCut", "actionBodyCopy", "actionBodyDelete", "actionCopyToCard", "actionAddToSets"})
            row(name, "", false);
        for (const char* name : {"actionDrip", "actionIntramuscular", "actionIntravenous", "actionDripTube"})
            row(name, "", true);
        for (const char* name : {"toolbarLog", "toolbarStatistics"})
            row(name, "", false);
        for (const char* name : {"toolbarNew", "toolbarRenew", "toolbarSave", "toolbarCopy", "toolbarPaste", "toolbarHelp",
                                 "toolbarPrint", "toolbarOverlayPrint"})
            row(name, "", true);
    }
    void onlyTheWiredCommandsAreEnabled()
    {
        QFETCH(QString, name);
        QFETCH(QString, shortcut);
        QFETCH(bool, enabled);
        Editor e;
        QVERIFY(e.opened);
        if (name.startsWith(u"action")) {
            auto* action = e.window->findChild<QAction*>(name);
            QVERIFY(action);
            QCOMPARE(action->isEnabled(), enabled);
            QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
        } else {
            auto* button = e.window->findChild<ToolbarButton*>(name);
            QVERIFY(button);
            QCOMPARE(button->isEnabled(), enabled);
        }
    }

    void disabledToolbarButtonDoesNothing()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        ToolbarButton* log = e.window->toolbarButton(ToolbarCommand::Log);
        QTest::mousePress(log, Qt::LeftButton, {}, centreOf(log));
        QCOMPARE(log->frameShape(), QFrame::NoFrame);
    }

    void bodyRightClickShowsTheProgramsMenu()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QWidget* viewport = e.window->body()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(viewport, &event);
        QTRY_VERIFY(e.window->bodyMenu()->isVisible());
        e.window->bodyMenu()->close();
    }

    void clinicNameFromTheSettingsRow()
    {
        Editor e(QStringLiteral("城南社区卫生服务站"));
        QVERIFY(e.opened);
        const MainWindow& w = *e.window;
        QCOMPARE(w.clinicNameLabel()->text(), QStringLiteral("城南社区卫生服务站"));
        for (const QLabel* label : {w.clinicNameLabel(), w.titleLabel()}) {
            QCOMPARE(label->width(), label->sizeHint().width());
            QVERIFY(qAbs(label->x() - (w.sheet()->width() - label->width()) / 2) <= 1);
        }
        QCOMPARE(w.clinicNameLabel()->y(), twipsToPixels(600));
        QCOMPARE(w.titleLabel()->y(), twipsToPixels(960));
    }

    void setClinicNameTrimsBlanksAndCentres_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("blanks") << "  城南诊所   " << "城南诊所";
        QTest::newRow("tab and ideographic space stay") << "\t城南诊所\u3000 " << "\t城南诊所\u3000";
        QTest::newRow("long name") << "城南社区卫生服务中心第二门诊部" << "城南社区卫生服务中心第二门诊部";
        QTest::newRow("empty") << "   " << "";
    }
    void setClinicNameTrimsBlanksAndCentres()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Editor e(QStringLiteral("甲"));
        QVERIFY(e.opened);
        MainWindow& w = *e.window;
        w.setClinicName(typed);
        QLabel* label = w.clinicNameLabel();
        QCOMPARE(label->text(), shown);
        QCOMPARE(label->width(), label->sizeHint().width());
        QVERIFY(qAbs(label->x() - (w.sheet()->width() - label->width()) / 2) <= 1);
        QCOMPARE(label->y(), twipsToPixels(600));
    }

    // The card preview's heading: each caption and value shows whole from the top-left corner of
    // its place, as the card prints it, so captions and values share a baseline and the value box
    // neither covers the caption nor scrolls the value's first character away.
    // The shorthand labels stand in one row inside their strip, none clipped or over another.
    void shorthandLabelsShowWhole()
    {
        Editor e;
        QVERIFY(e.show());
        const QWidget* strip = e.window->findChild<QWidget*>(u"shorthandStrip"_qs);
        QVERIFY(strip);
        const QList<ClickLabel*> labels = strip->findChildren<ClickLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(labels.size(), 20);
        int rightOfPrevious = -1;
        for (const ClickLabel* label : labels) {
            const QString text = label->text();
            QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(text), qPrintable(text));
            QVERIFY2(strip->contentsRect().contains(label->geometry()), qPrintable(text));
            QVERIFY2(label->x() > rightOfPrevious, qPrintable(text));
            rightOfPrevious = label->geometry().right();
        }
        QCOMPARE(labels.last()->text(), u"    用法："_qs);
    }

    void cardHeadingShowsCaptionsAndValuesWhole()
    {
        Editor e;
        QVERIFY(e.show());
        const QStringList values{u"欧阳明月"_qs, u"男"_qs, u"35岁"_qs, u"2024-03-05"_qs, u"林志远"_qs};
        QList<QWidget*> controls;
        for (int i = 0; i < values.size(); ++i) {
            e.window->cardHeaderBox(CardHeader(i))->setText(values[i]);
            e.window->cardHeaderBox(CardHeader(i))->setCursorPosition(values[i].size());
            controls << e.window->cardHeaderBox(CardHeader(i));
        }
        for (int i = 0; i <= 6; ++i)
            controls << e.window->injectionCardPreview()->findChild<QLabel*>(u"cardCaption%1"_qs.arg(i));

        const QImage preview = e.window->injectionCardPreview()->grab().toImage();
        const auto dark = [](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 160; };
        for (QWidget* control : controls) {
            QVERIFY(control);
            const QString text = control->property("text").toString();
            // The text as drawn at the control's corner on a white sheet in the control's font;
            // nothing else lies on the room it takes.
            const QFontMetricsF metrics(control->font());
            QRect place = control->geometry();
            place.setWidth(std::min<int>(place.width(), std::ceil(metrics.horizontalAdvance(text))));
            place.setHeight(std::min<int>(place.height(), std::ceil(metrics.height())));
            QImage expected(place.size(), QImage::Format_RGB32);
            expected.fill(Qt::white);
            {
                QPainter painter(&expected);
                painter.setFont(control->font());
                painter.setPen(Qt::black);
                painter.drawText(QPointF(0, metrics.ascent()), text);
            }
            int differing = 0, ink = 0;
            for (int y = 0; y < place.height(); ++y)
                for (int x = 0; x < place.width(); ++x) {
                    const bool want = dark(expected, x, y);
                    ink += want;
                    differing += want != dark(preview, place.x() + x, place.y() + y);
                }
            QVERIFY2(ink > 0, qPrintable(text));
            QVERIFY2(differing <= ink / 20, qPrintable(QStringLiteral("%1: %2 of %3 dots differ").arg(text).arg(differing).arg(ink)));
        }
    }

    void closingHidesAndHandsOver()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QSignalSpy closing(e.window.get(), &MainWindow::closeRequested);
        QVERIFY(e.window->close());
        QCOMPARE(closing.count(), 1);
        QVERIFY(e.window->isHidden());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
