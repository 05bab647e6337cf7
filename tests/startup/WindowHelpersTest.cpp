#include "AboutBox.h"
#include "Fonts.h"
#include "Twips.h"
#include "WidgetTestSupport.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

class WindowHelpersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    // Each Windows face name finds an installed face of its kind, and the four differ.
    void faceNamesResolveToFacesOfTheirKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("face");
        QTest::newRow("宋体: Ming") << "宋体" << "AR PL UMing CN";
        QTest::newRow("黑体: Hei") << "黑体" << "WenQuanYi Micro Hei";
        QTest::newRow("楷体_GB2312: Kai") << "楷体_GB2312" << "AR PL KaitiM GB";
        QTest::newRow("隶书: the other Kai") << "隶书" << "AR PL UKai CN";
    }
    void faceNamesResolveToFacesOfTheirKind()
    {
        QFETCH(QString, name);
        QFETCH(QString, face);
        const QFont font(name, 12);
        QCOMPARE(QFontInfo(font).family(), face);
        QVERIFY(QFontDatabase::writingSystems(face).contains(QFontDatabase::SimplifiedChinese));
        QVERIFY(QFontMetricsF(font).inFont(QChar(u'药')));
    }

    // The body's faces keep the columns: every printable ASCII character exactly half a Chinese
    // character wide, at the sizes the body is shown and printed in, hinted or not.
    void bodyFacesKeepTheColumns_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("hinted");
        for (const char* face : {"宋体", "楷体_GB2312"})
            for (double points : {9.0, 10.5, 11.0, 12.0, 14.0, 16.0}) {
                QTest::addRow("%s %.1f pt, hinted", face, points) << QString::fromUtf8(face) << points << true;
                QTest::addRow("%s %.1f pt, unhinted", face, points) << QString::fromUtf8(face) << points << false;
            }
    }
    void bodyFacesKeepTheColumns()
    {
        QFETCH(QString, face);
        QFETCH(double, points);
        QFETCH(bool, hinted);
        QFont font(face);
        font.setPointSizeF(points);
        if (!hinted)
            font.setHintingPreference(QFont::PreferNoHinting);
        const QFontMetricsF metrics(font);
        const double chinese = metrics.horizontalAdvance(QStringLiteral("药"));
        QVERIFY(chinese > 0);
        for (char16_t c = u' '; c <= u'~'; ++c)
            QVERIFY2(qFuzzyCompare(2 * metrics.horizontalAdvance(QChar(c)), chinese),
                     qPrintable(QStringLiteral("'%1' is %2 wide, 药 %3").arg(QChar(c)).arg(metrics.horizontalAdvance(QChar(c))).arg(chinese)));
        // A padded herb cell is as wide as its count of columns says.
        QVERIFY(qFuzzyCompare(metrics.horizontalAdvance(QStringLiteral("黄芪30g  ")), 4.5 * chinese));
    }

    void bodyBoxShowsNoBuiltInMenu_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<bool>("onScrollBar");
        QTest::newRow("right click") << true << false;
        QTest::newRow("menu key") << false << false;
        QTest::newRow("right click on the scroll bar") << true << true;
    }
    // The program's own menu is asked for over the text; the scroll bar shows no menu at all.
    void bodyBoxShowsNoBuiltInMenu()
    {
        QFETCH(bool, byMouse);
        QFETCH(bool, onScrollBar);
        BodyTextEdit box;
        box.setPlainText(QStringLiteral("阿莫西林胶囊  0.25g*24\n").repeated(40));
        box.resize(300, 200);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QWidget* target = onScrollBar ? static_cast<QWidget*>(box.verticalScrollBar()) : box.viewport();
        QVERIFY(target->isVisible());
        QSignalSpy spy(&box, &BodyTextEdit::contextMenuRequested);
        // A toolkit menu would run its own event loop; close it from there rather than hang.
        bool popupSeen = false;
        QTimer::singleShot(0, &box, [&popupSeen] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popupSeen = true;
                popup->close();
            }
        });
        QContextMenuEvent event(byMouse ? QContextMenuEvent::Mouse : QContextMenuEvent::Keyboard, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        QCoreApplication::processEvents();
        QVERIFY(!popupSeen);
        QCOMPARE(spy.count(), onScrollBar ? 0 : 1);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(box.findChildren<QMenu*>().isEmpty());
        // Ordinary editing still works.
        QTest::keyClicks(&box, QStringLiteral("x"));
        QVERIFY(box.toPlainText().contains(u'x'));
    }

    void displayedLines()
    {
        BodyTextEdit box;
        box.setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box.setWordWrapMode(QTextOption::WrapAnywhere);
        box.resize(160, 300);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString longLine = QString(60, u'药');
        box.setPlainText(QStringLiteral("first\n\n") + longLine + QStringLiteral("\nlast"));
        QCOMPARE(textBoxLine(&box, 0), QStringLiteral("first"));
        QCOMPARE(textBoxLine(&box, 1), QString());
        const int count = textBoxLineCount(&box);
        QVERIFY2(count > 4, "the long paragraph wraps into several displayed lines");
        QString joined;
        for (int i = 2; i < count - 1; ++i) {
            const QString piece = textBoxLine(&box, i);
            QVERIFY(!piece.isEmpty() && piece.size() < longLine.size());
            joined += piece;
        }
        QCOMPARE(joined, longLine);
        QCOMPARE(textBoxLine(&box, count - 1), QStringLiteral("last"));
        QCOMPARE(textBoxLine(&box, count), QString());
        QCOMPARE(textBoxLine(&box, -1), QString());

        BodyTextEdit single;
        single.setPlainText(QStringLiteral("一行"));
        QCOMPARE(textBoxLine(&single, 0), QStringLiteral("一行"));
    }

    void makeDirsCreatesEveryFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("made");
        QTest::newRow("plain") << "电子处方数据备份/5日/档案数据库" << "电子处方数据备份/5日/档案数据库";
        QTest::newRow("trailing separator") << "a/b/" << "a/b";
        QTest::newRow("doubled separator") << "a//b" << "a/b";
        QTest::newRow("backslash is part of a name") << "a\\b/c" << "a\\b/c";
    }
    void makeDirsCreatesEveryFolder()
    {
        QFETCH(QString, relative);
        QFETCH(QString, made);
        TempProgramFolder folder;
        bool ok = false;
        const QString normal = makeDirs(folder.path() + u'/' + relative, &ok);
        QVERIFY(ok);
        QVERIFY(normal.endsWith(u'/'));
        QVERIFY(!normal.contains(QStringLiteral("//")));
        QVERIFY(QDir(folder.path() + u'/' + made).exists());
        // Again on folders that exist: nothing changes, still fine.
        makeDirs(folder.path() + u'/' + relative, &ok);
        QVERIFY(ok);
    }

    void pasteIntoAOneLineBox_data()
    {
        QTest::addColumn<bool>("typingLimit");  // else the box's maxLength
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("selectionStart");  // -1: no selection, caret at the end
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");
        QTest::newRow("first line, tab as blank") << true << 20 << "" << -1 << 0 << "a\tb\nc" << "a b";
        QTest::newRow("CR LF") << true << 20 << "" << -1 << 0 << "ab\r\ncd" << "ab";
        QTest::newRow("paragraph break") << true << 20 << "" << -1 << 0 << u"ab\u2029cd"_s << "ab";
        QTest::newRow("cut to the limit") << true << 5 << "" << -1 << 0 << "欧阳修文忠公" << "欧阳修文忠";
        QTest::newRow("cut to what is left") << true << 5 << "王" << -1 << 0 << "欧阳修文忠公" << "王欧阳修文";
        QTest::newRow("replaces the selection") << true << 5 << "张三丰" << 1 << 2 << "一二三四五" << "张一二三四";
        QTest::newRow("full box keeps its text") << true << 5 << "张三丰李四" << -1 << 0 << "王" << "张三丰李四";
        QTest::newRow("no half of a pair") << true << 3 << "" << -1 << 0 << u"ab\U0001F600"_s << "ab";
        QTest::newRow("longer text of the program") << true << 2 << "abcd" << 0 << 4 << "xyz" << "xy";
        QTest::newRow("empty clipboard") << true << 5 << "abc" << -1 << 0 << "" << "abc";
        QTest::newRow("maxLength box") << false << 4 << "" << -1 << 0 << "12\t3\n4" << "12 3";
    }
    // What a platform one-line box does with a paste; the caret ends after what was inserted.
    void pasteIntoAOneLineBox()
    {
        QFETCH(bool, typingLimit);
        QFETCH(int, limit);
        QFETCH(QString, before);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        for (const bool byMenu : {false, true}) {
            QLineEdit box;
            box.setText(before);
            if (typingLimit)
                box.setValidator(new TypingLimit(limit, &box));
            else {
                box.setMaxLength(limit);
                pasteAsOneLine(&box);
            }
            if (selectionStart >= 0)
                box.setSelection(selectionStart, selectionLength);
            const int insertedAt = selectionStart >= 0 ? selectionStart : int(before.size());
            QGuiApplication::clipboard()->setText(clipboard);
            if (byMenu) {
                box.show();
                QVERIFY(QTest::qWaitForWindowExposed(&box));
                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), box.mapToGlobal(QPoint(2, 2)));
                QApplication::sendEvent(&box, &event);
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                QAction* paste = nullptr;
                for (QAction* action : menu->actions()) {
                    if (action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste")))
                        paste = action;
                }
                QVERIFY(paste);
                paste->trigger();
                menu->close();
            } else {
                QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
            }
            QCOMPARE(box.text(), after);
            if (after != before)
                QCOMPARE(box.cursorPosition(), insertedAt + int(after.size() - before.size() + selectionLength));
        }
    }

    void makeDirsReportsAFolderItCannotMake()
    {
        TempProgramFolder folder;
        writeFile(folder.path() + QStringLiteral("/file"), "x");
        bool ok = true;
        makeDirs(folder.path() + QStringLiteral("/file/sub"), &ok);
        QVERIFY(!ok);
    }

    void aboutBoxShowsItsTextsAndOpensTheHomePage_data()
    {
        QTest::addColumn<bool>("browser");
        QTest::newRow("opened") << true;
        QTest::newRow("no browser") << false;
    }
    void aboutBoxShowsItsTextsAndOpensTheHomePage()
    {
        QFETCH(bool, browser);
        UrlRecorder urls;
        urls.succeed = browser;
        MessageRecorder messages;
        AboutBox box(urls, messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(box.findChild<QLabel*>("productName")->text(), QStringLiteral("Qelvaro"));
        QCOMPARE(box.findChild<QLabel*>("versionLabel")->text(), QStringLiteral("版本：V4.0"));
        QLabel* link = box.findChild<QLabel*>("homePageLink");
        QVERIFY(link);
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(urls.opened, QList<QUrl>{kHomePage});
        QCOMPARE(messages.texts(), browser ? QStringList() : QStringList{QStringLiteral("无法打开主页，请确认电脑上已安装网页浏览器。")});
        QVERIFY(box.isVisible());

        const QRect screen = box.screen()->availableGeometry();
        QVERIFY(qAbs(box.frameGeometry().center().x() - screen.center().x()) <= 2);
        QVERIFY(qAbs(box.frameGeometry().center().y() - screen.center().y()) <= 2);
    }

    // A window centred on the free area, or on the whole screen with room kept for the task bar.
    void centringFollowsItsRules_data()
    {
        QTest::addColumn<bool>("wholeScreen");
        QTest::addColumn<int>("reserveTwips");
        QTest::addColumn<int>("raiseTwips");
        QTest::newRow("free area") << false << 0 << 0;
        QTest::newRow("whole screen, task bar kept free") << true << kTaskBarReserveTwips << 0;
        QTest::newRow("a little above the centre") << false << 0 << 225;
    }

    void centringFollowsItsRules()
    {
        QFETCH(bool, wholeScreen);
        QFETCH(int, reserveTwips);
        QFETCH(int, raiseTwips);
        QWidget window;
        window.setFixedSize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        centreOnScreen(&window, {.wholeScreen = wholeScreen, .reserveTwips = reserveTwips, .raiseTwips = raiseTwips});
        const QScreen* screen = window.screen();
        const QRect area = wholeScreen ? screen->geometry() : screen->availableGeometry();
        const QRect frame = window.frameGeometry();
        QVERIFY(qAbs(frame.center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(frame.center().y() + twipsToPixels(reserveTwips) / 2 + twipsToPixels(raiseTwips) - area.center().y())
                <= 1);
    }
};

QTEST_MAIN(WindowHelpersTest)
#include "WindowHelpersTest.moc"
