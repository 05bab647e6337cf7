#include "Application.h"
#include "MainWindow.h"
#include "RunningProgram.h"
#include "SetCatalogueWindow.h"
#include "TemplateCatalogueWindow.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

QWidget* windowNamed(RunningProgram& p, const QString& name)
{
    if (name == u"main")
        return p.app->mainWindow();
    if (name == u"sets") {
        p.action("actionSets")->trigger();
        return p.app->setWindow();
    }
    p.action("actionHistoryTemplates")->trigger();
    return p.app->templateWindow();
}

QString nameOf(const QWidget* widget) { return widget ? widget->objectName() : QStringLiteral("(none)"); }

}  // namespace

class TabFocusTest : public QObject {
    Q_OBJECT
private slots:
    // Tab and Shift+Tab leave every multi-line box for its neighbours in the window's focus order,
    // and the text, tabs it already holds included, stays as it was.
    void tabLeavesEveryMultiLineBox_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("previous");
        QTest::newRow("body") << u"main"_qs << u"body"_qs << u"categoryButton0"_qs << u"headingField14"_qs;
        QTest::newRow("history") << u"main"_qs << u"historyBox"_qs << u"cardHeaderBox0"_qs << u"templateList"_qs;
        // The main window's last stop: Tab goes round to 姓名.
        QTest::newRow("injection card") << u"main"_qs << u"injectionCardBox"_qs << u"headingField0"_qs << u"cardHeaderBox4"_qs;
        QTest::newRow("set content") << u"sets"_qs << u"contentBox"_qs << u"addButton"_qs << u"setsOption"_qs;
        QTest::newRow("template content") << u"templates"_qs << u"contentBox"_qs << u"closeButton"_qs << u"codeBox"_qs;
    }

    void tabLeavesEveryMultiLineBox()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, next);
        QFETCH(QString, previous);
        RunningProgram p;
        p.logIn();
        QWidget* shown = windowNamed(p, window);
        QVERIFY(shown && shown->isVisible());
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        auto* edit = shown->findChild<QPlainTextEdit*>(box);
        QVERIFY(edit);
        const QString held = u"甲\t乙\r\n丙"_qs;
        edit->setPlainText(held);
        const QString before = edit->toPlainText();

        edit->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(nameOf(QApplication::focusWidget()), next);
        QCOMPARE(edit->toPlainText(), before);

        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(nameOf(QApplication::focusWidget()), previous);
        QCOMPARE(edit->toPlainText(), before);
    }
};

QTEST_MAIN(TabFocusTest)
#include "TabFocusTest.moc"
