#include "AboutBox.h"
#include "TestSupport.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qelvaro;
using namespace qelvaro::test;

class WindowHelpersTest : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(WindowHelpersTest)
#include "WindowHelpersTest.moc"
