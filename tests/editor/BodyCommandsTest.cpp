#include "BodyEditingFixture.h"
#include "ClickLabel.h"
#include "Fonts.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kMenuActions{u"actionBodyCut"_s,   u"actionBodyCopy"_s,      u"actionBodyPaste"_s,
                               u"actionBodyDelete"_s, u"actionCopyToCard"_s,   u"actionAddToSets"_s,
                               u"actionDrip"_s,       u"actionIntramuscular"_s, u"actionIntravenous"_s,
                               u"actionDripTube"_s};

void select(QPlainTextEdit* box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// Opens the body's menu as a right-click does and closes it again; the items keep the states
// they got on opening.
void rightClickBody(MainWindow& w)
{
    QWidget* viewport = w.body()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(w.bodyMenu()->isVisible());
    w.bodyMenu()->close();
}

void setClipboard(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (!text.isNull())
        clipboard->setText(text);
}

// The heading field Name with the focus and a selection of its own.
QLineEdit* focusElsewhere(MainWindow& w)
{
    QLineEdit* field = w.headingBox(HeadingField::Name);
    field->setText(u"张三"_s);
    field->setFocus();
    field->selectAll();
    return field;
}

}  // namespace

class BodyCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void shorthandLabelInsertsItsCaption_data()
    {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("bodyAfter");
        QTest::newRow("qd in the middle of a line") << 15 << "甲乙\n" << 1 << 1 << "甲qd乙\n";
        QTest::newRow("usage caption brings an empty line") << 20 << "甲\n" << 2 << 2 << "甲\n    用法：\n\n";
        QTest::newRow("usage label replaces the selection") << 0 << "甲乙丙" << 1 << 2 << "甲    用法：iv/gtt qd\n\n丙";
        QTest::newRow("肌注") << 13 << "" << 0 << 0 << "    用法：肌注 st\n\n";
        QTest::newRow("search box caption inserts nothing") << 17 << "甲" << 1 << 1 << "甲";
        QTest::newRow("template box caption inserts nothing") << 21 << "甲" << 1 << 1 << "甲";
    }
    void shorthandLabelInsertsItsCaption()
    {
        QFETCH(int, label);
        QFETCH(QString, body);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, bodyAfter);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(body);
        select(w.body(), from, to);
        focusElsewhere(w);
        QTest::mouseClick(w.shorthandLabel(label), Qt::LeftButton);

        QCOMPARE(w.body()->toPlainText(), bodyAfter);
        if (bodyAfter != body) {
            QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
            QCOMPARE(w.body()->textCursor().position(), from + bodyAfter.size() - body.size() + (to - from));
        }
    }

    void menuItemsFollowSelectionAndClipboard_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("clipboard");  // null: nothing on it
        QTest::addColumn<QList<bool>>("enabled");  // in the order of kMenuActions
        QTest::newRow("nothing selected, empty clipboard")
            << false << QString() << QList<bool>{false, false, false, false, false, false, true, true, true, true};
        QTest::newRow("nothing selected, text on the clipboard")
            << false << "iv" << QList<bool>{false, false, true, false, false, false, true, true, true, true};
        QTest::newRow("selection, empty clipboard")
            << true << QString() << QList<bool>{true, true, false, true, true, false, true, true, true, true};
    }
    void menuItemsFollowSelectionAndClipboard()
    {
        QFETCH(bool, selection);
        QFETCH(QString, clipboard);
        QFETCH(QList<bool>, enabled);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(u"甲乙"_s);
        select(w.body(), 0, selection ? 1 : 0);
        setClipboard(clipboard);
        rightClickBody(w);
        QList<bool> states;
        for (const QString& name : kMenuActions)
            states << w.menuAction(name)->isEnabled();
        QCOMPARE(states, enabled);
    }

    void clipboardCommandsTakeTheBodysSelection_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("bodyAfter");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::newRow("cut") << "actionBodyCut" << 1 << 2 << "甲丙\n丁" << "乙";
        QTest::newRow("copy") << "actionBodyCopy" << 1 << 2 << "甲乙丙\n丁" << "乙";
        QTest::newRow("copy of two lines") << "actionBodyCopy" << 2 << 5 << "甲乙丙\n丁" << "丙\n丁";
        QTest::newRow("paste with CR LF") << "actionBodyPaste" << 1 << 2 << "甲子\n丑丙\n丁" << "子\r\n丑";
        QTest::newRow("delete") << "actionBodyDelete" << 0 << 4 << "丁" << "子\r\n丑";
    }
    void clipboardCommandsTakeTheBodysSelection()
    {
        QFETCH(QString, action);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, bodyAfter);
        QFETCH(QString, clipboardAfter);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(u"甲乙丙\n丁"_s);
        select(w.body(), from, to);
        setClipboard(u"子\r\n丑"_s);
        rightClickBody(w);
        QLineEdit* field = focusElsewhere(w);
        w.menuAction(action)->trigger();

        QCOMPARE(w.body()->toPlainText(), bodyAfter);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboardAfter);
        QCOMPARE(field->text(), u"张三"_s);
        QCOMPARE(field->selectedText(), u"张三"_s);
        QCOMPARE(QApplication::focusWidget(), field);
    }

    void usageInsertersReplaceTheSelection_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("line");
        QTest::newRow("静脉滴注") << "actionDrip" << "    用法：iv/gtt qd";
        QTest::newRow("肌肉注射") << "actionIntramuscular" << "    用法：im st";
        QTest::newRow("静脉推注") << "actionIntravenous" << "    用法：iv st";
        QTest::newRow("加滴管") << "actionDripTube" << "    用法：加滴管 bid";
    }
    void usageInsertersReplaceTheSelection()
    {
        QFETCH(QString, action);
        QFETCH(QString, line);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(u"生脉注射液  10ml\n旧行"_s);
        select(w.body(), 12, 14);
        QLineEdit* field = focusElsewhere(w);
        w.menuAction(action)->trigger();
        QCOMPARE(w.body()->toPlainText(), u"生脉注射液  10ml\n"_s + line + u"\n\n"_s);
        QCOMPARE(QApplication::focusWidget(), field);
        // The card follows: every route here is one of the card's.
        QCOMPARE(w.injectionCardBox()->toPlainText(), u"生脉注射液  10ml\n"_s + line + u"\n"_s);
    }

    void copyToCardTakesTheSelectedLines()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        const QString body = u"5%葡萄糖注射液  250ml\n生脉注射液  10ml\n    用法：tid\n\n"_s;
        w.body()->setPlainText(body);
        QCOMPARE(w.injectionCardBox()->toPlainText(), QString());
        select(w.body(), 0, body.indexOf(u"\n    "_s));
        rightClickBody(w);
        w.menuAction(u"actionCopyToCard"_s)->trigger();

        QPlainTextEdit* card = w.injectionCardBox();
        QCOMPARE(card->toPlainText(), u"5%葡萄糖注射液  250ml\n生脉注射液  10ml"_s);
        QCOMPARE(card->document()->blockCount(), 2);
        QVERIFY(!card->document()->firstBlock().text().contains(QChar::ParagraphSeparator));

        // The next change of the body brings the built card back.
        w.body()->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.body(), u"x"_s);
        QCOMPARE(card->toPlainText(), QString());
    }

    void cardFollowsEveryChangeOfTheBody()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QPlainTextEdit* body = w.body();
        QPlainTextEdit* card = w.injectionCardBox();
        body->setFocus();
        // Chinese text comes in whole, as from an input method.
        body->insertPlainText(u"5%葡萄糖注射液  250ml"_s);
        QTest::keyClick(body, Qt::Key_Return);
        QTest::keyClicks(body, u"    "_s);
        body->insertPlainText(u"用法："_s);
        QCOMPARE(card->toPlainText(), QString());
        QTest::keyClicks(body, u"iv/gtt qd"_s);
        QCOMPARE(card->toPlainText(), u"5%葡萄糖注射液  250ml\n    用法：iv/gtt qd\n"_s);
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(body, Qt::Key_Backspace);
        QTest::keyClicks(body, u"tid"_s);  // no route: off the card
        QCOMPARE(card->toPlainText(), QString());

        // The same text again is no change: a card edited by hand stays.
        card->setPlainText(u"手写"_s);
        body->setPlainText(body->toPlainText());
        QCOMPARE(card->toPlainText(), u"手写"_s);

        // A record being filled in brings its own card.
        {
            MainWindow::FillingScope filling(w);
            body->setPlainText(u"甲\n    用法：im st\n"_s);
            card->setPlainText(u"存的注射卡"_s);
        }
        QCOMPARE(card->toPlainText(), u"存的注射卡"_s);
        body->setPlainText(u"甲\n    用法：im st\n"_s);
        QCOMPARE(card->toPlainText(), u"存的注射卡"_s);
        body->moveCursor(QTextCursor::End);
        QTest::keyClicks(body, u"x"_s);
        QCOMPARE(card->toPlainText(), u"甲\n    用法：im st\n"_s);
    }
};

QTEST_MAIN(BodyCommandsTest)
#include "BodyCommandsTest.moc"
