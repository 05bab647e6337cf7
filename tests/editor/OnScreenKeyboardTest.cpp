#include "BodyEditingFixture.h"
#include "ClickLabel.h"
#include "Fonts.h"
#include "OnScreenKeyboard.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

namespace {

OnScreenKeyboard* openKeyboard(MainWindow& w)
{
    QTest::mouseClick(w.softKeyboardLink(), Qt::LeftButton);
    auto* keyboard = w.findChild<OnScreenKeyboard*>(u"onScreenKeyboard"_s);
    return keyboard && keyboard->isVisible() ? keyboard : nullptr;
}

void press(OnScreenKeyboard* keyboard, const QString& keyName)
{
    auto* key = keyboard->findChild<QPushButton*>(keyName);
    QVERIFY2(key, qPrintable(keyName));
    QTest::mouseClick(key, Qt::LeftButton);
}

// The search box or heading field the test types into, focused first.
QLineEdit* focusTarget(MainWindow& w, const QString& target)
{
    QLineEdit* box = target == u"drug search" ? w.drugSearchBox() : w.headingBox(HeadingField::Diagnosis);
    box->setFocus();
    return box;
}

}  // namespace

class OnScreenKeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void opensBesideTheMainWindow()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.move(40, 30);
        w.headingBox(HeadingField::Name)->setFocus();
        OnScreenKeyboard* keyboard = openKeyboard(w);
        QVERIFY(keyboard);
        QCOMPARE(keyboard->windowTitle(), u"软键盘"_s);
        QVERIFY(keyboard->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(keyboard->pos(), w.pos() + twipsPoint(11000, 1000));
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
        QCOMPARE(keyboard->target(), w.drugSearchBox());
        for (const QString& letter : {u"A"_s, u"J"_s, u"K"_s, u"Z"_s})
            QCOMPARE(keyboard->findChild<QPushButton*>(u"keyboardKey"_s + letter)->text(), letter);
        QCOMPARE(keyboard->findChild<QPushButton*>(u"keyboardKeyK"_s)->geometry(), twipsRect(120, 420, 300, 300));

        // Open, it stays where it is; closed, it opens beside the window's new place.
        w.move(60, 50);
        QCOMPARE(openKeyboard(w)->pos(), QPoint(40, 30) + twipsPoint(11000, 1000));
        keyboard->close();
        QCOMPARE(openKeyboard(w)->pos(), QPoint(60, 50) + twipsPoint(11000, 1000));
    }

    void lettersGoToTheLastFocusedSearchBox_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("drug search box") << "drug search";
        QTest::newRow("heading field") << "heading field";
    }
    void lettersGoToTheLastFocusedSearchBox()
    {
        QFETCH(QString, target);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        OnScreenKeyboard* keyboard = openKeyboard(w);
        QVERIFY(keyboard);
        QLineEdit* box = focusTarget(w, target);
        w.templateSearchBox()->setFocus();  // not a box the keyboard types into
        QSignalSpy changes(box, &QLineEdit::textChanged);

        press(keyboard, u"keyboardKeyD"_s);
        press(keyboard, u"keyboardKeyH"_s);
        QCOMPARE(box->text(), u"DH"_s);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(w.templateSearchBox()->text(), QString());
        if (box == w.drugSearchBox()) {
            QCOMPARE(w.drugList()->count(), 1);  // the search ran on the capitals
            QCOMPARE(w.drugList()->text(0), u"独活 10g"_s);
        }
    }

    void letterInTheMiddleThenCaretToTheEnd()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        OnScreenKeyboard* keyboard = openKeyboard(w);
        QVERIFY(keyboard);
        QLineEdit* box = w.drugSearchBox();
        box->setText(u"AC"_s);
        box->setCursorPosition(1);
        press(keyboard, u"keyboardKeyB"_s);
        QCOMPARE(box->text(), u"ABC"_s);
        QCOMPARE(box->cursorPosition(), 3);

        box->setSelection(0, 2);  // a selection is replaced
        press(keyboard, u"keyboardKeyX"_s);
        QCOMPARE(box->text(), u"XC"_s);
    }

    void backspaceAndClear_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<int>("changes");
        QTest::newRow("backspace takes the last character") << "keyboardBackspace" << "ABC" << "AB" << 1;
        QTest::newRow("backspace on an empty box") << "keyboardBackspace" << "" << "" << 0;
        QTest::newRow("backspace outside the BMP") << "keyboardBackspace" << "A\U0002000B" << "A" << 1;
        QTest::newRow("clear") << "keyboardClear" << "ABC" << "" << 1;
        QTest::newRow("clear an empty box") << "keyboardClear" << "" << "" << 0;
    }
    void backspaceAndClear()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, textAfter);
        QFETCH(int, changes);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        OnScreenKeyboard* keyboard = openKeyboard(w);
        QVERIFY(keyboard);
        QLineEdit* box = w.drugSearchBox();
        box->setText(text);
        box->setCursorPosition(qMin(1, int(text.size())));  // wherever the caret is
        QSignalSpy spy(box, &QLineEdit::textChanged);
        press(keyboard, key);
        QCOMPARE(box->text(), textAfter);
        QCOMPARE(spy.count(), changes);
    }

    void keysDoNothingBeforeASearchBoxHadTheFocus()
    {
        Editor e;
        QVERIFY(e.opened);
        MainWindow& w = *e.window;  // never shown, so nothing got the focus
        auto* keyboard = w.findChild<OnScreenKeyboard*>(u"onScreenKeyboard"_s);
        QVERIFY(keyboard);
        QVERIFY(!keyboard->target());
        const auto texts = [&w] {
            QStringList list{w.drugSearchBox()->text()};
            for (int i = 0; i < kHeadingFieldCount; ++i)
                list << w.headingBox(HeadingField(i))->text();
            return list;
        };
        const QStringList before = texts();
        keyboard->show();
        press(keyboard, u"keyboardKeyA"_s);
        press(keyboard, u"keyboardBackspace"_s);
        press(keyboard, u"keyboardClear"_s);
        QCOMPARE(texts(), before);
    }
};

QTEST_MAIN(OnScreenKeyboardTest)
#include "OnScreenKeyboardTest.moc"
