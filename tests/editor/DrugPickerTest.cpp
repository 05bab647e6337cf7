#include "BodyEditingFixture.h"
#include "BodyText.h"
#include "DrugPicker.h"
#include "Fonts.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

namespace {

QStringList listed(const MainWindow& w)
{
    QStringList texts;
    for (int i = 0; i < w.drugList()->count(); ++i)
        texts << w.drugList()->text(i);
    return texts;
}

QList<int> boldButtons(const MainWindow& w)
{
    QList<int> bold;
    for (int i = 0; i < 15; ++i)
        if (w.categoryButton(i)->font().bold())
            bold << i;
    return bold;
}

const QStringList kAntibiotics{u"阿莫西林胶囊  0.25g*24\\0.5g tid"_s, u"注射用头孢曲松钠  1g"_s};
const QStringList kHerbs{u"大飞扬草 10g"_s, u"独活 10g"_s, u"桂枝 10g"_s, u"牛蒡子 10g"_s};
const QStringList kPersonalSets{u"胃炎组套"_s, u"感冒组套"_s};
const QStringList kRecipes{u"银翘散"_s};
const QStringList kAllDrugs{u"5%葡萄糖注射液  250ml"_s,     u"阿莫西林胶囊  0.25g*24\\0.5g tid"_s,
                            u"大飞扬草 10g"_s,              u"独活 10g"_s,
                            u"桂枝 10g"_s,                  u"牛蒡子 10g"_s,
                            u"清开灵口服液  10ml*10\\10ml tid"_s, u"生脉注射液  10ml"_s,
                            u"注射用头孢曲松钠  1g"_s};

// Picks the listed entry with that text the way the doctor does: by Enter from the keyboard or by
// a double-click on it.
void take(MainWindow& w, const QString& entry, bool byEnter)
{
    RowList* list = w.drugList();
    int row = -1;
    for (int i = 0; i < list->count(); ++i) {
        if (list->text(i) == entry) {
            QVERIFY2(row < 0, qPrintable(entry));
            row = i;
        }
    }
    QVERIFY2(row >= 0, qPrintable(entry));
    const QRect rect = list->itemRect(row);
    if (byEnter) {
        list->setFocus();
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Return);
    } else {
        // A double-click begins with a press, which makes the entry the pressed one.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
}

int caretColumnOf(const MainWindow& w)
{
    return caretColumn(w.body()->toPlainText(), w.body()->textCursor().position());
}

}  // namespace

class DrugPickerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void opensOnTheFirstCategoryNoneChosen()
    {
        Editor e;
        QVERIFY(e.opened);
        QCOMPARE(listed(*e.window), kAntibiotics);
        QCOMPARE(boldButtons(*e.window), QList<int>{0});
        QCOMPARE(e.window->findChild<DrugPicker*>()->category(), -1);
    }

    void categoryButtonListsItsEntries_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("抗生素") << 0 << kAntibiotics;
        QTest::newRow("输液") << 1 << QStringList{u"5%葡萄糖注射液  250ml"_s};
        QTest::newRow("中成药 holds no 中药") << 10 << QStringList{u"清开灵口服液  10ml*10\\10ml tid"_s};
        QTest::newRow("外用, empty") << 9 << QStringList();
        QTest::newRow("中药") << 12 << kHerbs;
        QTest::newRow("个人组套, stored order") << 13 << kPersonalSets;
        QTest::newRow("中医验方") << 14 << kRecipes;
    }
    void categoryButtonListsItsEntries()
    {
        QFETCH(int, button);
        QFETCH(QStringList, entries);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QTest::keyClicks(w.drugSearchBox(), u"zz"_s);
        QTest::mouseClick(w.categoryButton(button), Qt::LeftButton);

        QCOMPARE(listed(w), entries);
        QCOMPARE(boldButtons(w), QList<int>{button});
        QCOMPARE(w.drugSearchBox()->text(), u"zz"_s);
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
        QCOMPARE(w.findChild<DrugPicker*>()->category(), button);
    }

    void searchFindsInitialsAnywhere_data()
    {
        QTest::addColumn<int>("button");  // -1: none chosen
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("none chosen: every category, herbs too, by name")
            << -1 << "z" << QStringList{u"5%葡萄糖注射液  250ml"_s, u"桂枝 10g"_s, u"牛蒡子 10g"_s, u"生脉注射液  10ml"_s};
        QTest::newRow("a drug category searches all drugs")
            << 0 << "zsy" << QStringList{u"5%葡萄糖注射液  250ml"_s, u"生脉注射液  10ml"_s};
        QTest::newRow("capitals") << 0 << "DH" << QStringList{u"独活 10g"_s};
        QTest::newRow("中药 only") << 12 << "z" << QStringList{u"桂枝 10g"_s, u"牛蒡子 10g"_s};
        QTest::newRow("个人组套") << 13 << "zt" << kPersonalSets;
        QTest::newRow("中医验方") << 14 << "zt" << QStringList();
        QTest::newRow("percent is literal") << -1 << "%" << QStringList();
        QTest::newRow("underscore is literal") << -1 << "_" << QStringList();
        QTest::newRow("apostrophe") << -1 << "'" << QStringList();
        QTest::newRow("typed and erased: all") << -1 << "" << kAllDrugs;
    }
    void searchFindsInitialsAnywhere()
    {
        QFETCH(int, button);
        QFETCH(QString, typed);
        QFETCH(QStringList, entries);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        if (button >= 0)
            QTest::mouseClick(w.categoryButton(button), Qt::LeftButton);
        QTest::keyClicks(w.drugSearchBox(), typed.isEmpty() ? u"x"_s : typed);
        if (typed.isEmpty())
            QTest::keyClick(w.drugSearchBox(), Qt::Key_Backspace);
        QCOMPARE(listed(w), entries);
    }

    void functionKeysChooseTheirCategory_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("F1 抗生素") << int(Qt::Key_F1) << 0 << kAntibiotics;
        QTest::newRow("F2 中药") << int(Qt::Key_F2) << 12 << kHerbs;
        QTest::newRow("F3 中医验方") << int(Qt::Key_F3) << 14 << kRecipes;
        QTest::newRow("F4 个人组套") << int(Qt::Key_F4) << 13 << kPersonalSets;
    }
    void functionKeysChooseTheirCategory()
    {
        QFETCH(int, key);
        QFETCH(int, category);
        QFETCH(QStringList, entries);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QTest::mouseClick(w.categoryButton(5), Qt::LeftButton);
        QTest::keyClicks(w.drugSearchBox(), u"q"_s);
        QTest::keyClick(w.drugSearchBox(), Qt::Key(key));

        QCOMPARE(listed(w), entries);
        QCOMPARE(boldButtons(w), QList<int>{category});
        QCOMPARE(w.findChild<DrugPicker*>()->category(), category);
        QCOMPARE(w.drugSearchBox()->text(), u"q"_s);
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
    }

    void downMovesIntoTheList_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selected");
        QTest::newRow("entries") << "dh" << 0;
        QTest::newRow("empty list") << "qqqq" << -1;
    }
    void downMovesIntoTheList()
    {
        QFETCH(QString, typed);
        QFETCH(int, selected);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QTest::keyClicks(w.drugSearchBox(), typed);
        QTest::keyClick(w.drugSearchBox(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.drugList());
        QCOMPARE(w.drugList()->selectedRow(), selected);
        QCOMPARE(w.drugList()->currentRow(), selected);
        QCOMPARE(w.drugSearchBox()->text(), typed);
    }

    void insertionFollowsTheCategory_data()
    {
        QTest::addColumn<int>("button");  // -1: none chosen
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("kindBefore");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("bodyAfter");
        QTest::addColumn<QString>("kind");
        QTest::newRow("drug with usage, by Enter")
            << -1 << "qkl" << "清开灵口服液  10ml*10\\10ml tid" << true << "普通" << ""
            << "清开灵口服液  10ml*10\n    用法：10ml tid\n\n" << "普通";
        QTest::newRow("plain drug after a drug line, by double-click")
            << 1 << "" << "5%葡萄糖注射液  250ml" << false << "儿科" << "生脉注射液  10ml\n"
            << "生脉注射液  10ml\n5%葡萄糖注射液  250ml\n" << "普通";
        QTest::newRow("drug after a line of text starts a new line")
            << 2 << "" << "生脉注射液  10ml" << true << "普通" << "qd" << "qd\n生脉注射液  10ml\n" << "普通";
        QTest::newRow("herb found under a drug category goes in as a drug")
            << 0 << "dh" << "独活 10g" << true << "中医" << "" << "独活 10g\n" << "普通";
        QTest::newRow("herb at the caret, kind 中医")
            << 12 << "" << "独活 10g" << true << "普通" << "" << "独活 10g     " << "中医";
        QTest::newRow("set after a line of text")
            << 13 << "" << "胃炎组套" << false << "中医" << "甲"
            << "甲\n奥美拉唑肠溶胶囊  20mg*14\n    用法：20mg bid\n\n" << "普通";
        QTest::newRow("set after a line break")
            << 13 << "gm" << "感冒组套" << true << "普通" << "甲\n"
            << "甲\n复方氨酚烷胺胶囊  12粒\n    用法：1粒 bid\n\n" << "普通";
        QTest::newRow("recipe right after the last character")
            << 14 << "" << "银翘散" << true << "儿科" << "甲"
            << "甲金银花 15g   连翘 15g     \n    用法：水煎服\n\n" << "中医";
    }
    void insertionFollowsTheCategory()
    {
        QFETCH(int, button);
        QFETCH(QString, typed);
        QFETCH(QString, entry);
        QFETCH(bool, byEnter);
        QFETCH(QString, kindBefore);
        QFETCH(QString, body);
        QFETCH(QString, bodyAfter);
        QFETCH(QString, kind);
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.setKind(kindBefore);
        w.body()->setPlainText(body);
        w.body()->moveCursor(QTextCursor::End);
        w.patientPopup()->show();
        if (button >= 0)
            QTest::mouseClick(w.categoryButton(button), Qt::LeftButton);
        QTest::keyClicks(w.drugSearchBox(), typed);
        take(w, entry, byEnter);

        QCOMPARE(w.body()->toPlainText(), bodyAfter);
        QCOMPARE(w.kindLabel()->text(), kind);
        QCOMPARE(w.titleLabel()->text(), kind + u"处方笺"_s);
        QVERIFY(w.patientPopup()->isHidden());
        QCOMPARE(w.drugSearchBox()->text(), QString());
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
        QCOMPARE(w.drugList()->selectedRow(), -1);
        QCOMPARE(w.drugList()->currentRow(), -1);
        QVERIFY(w.drugList()->count() > 0);  // the emptied search box listed again
    }

    void drugGoesToTheEndWhateverTheCaret()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.body()->setPlainText(u"甲\n乙\n"_s);
        w.body()->moveCursor(QTextCursor::Start);
        QTest::keyClicks(w.drugSearchBox(), u"sm"_s);
        take(w, u"生脉注射液  10ml"_s, true);
        QCOMPARE(w.body()->toPlainText(), u"甲\n乙\n生脉注射液  10ml\n"_s);
        QCOMPARE(w.body()->textCursor().position(), w.body()->toPlainText().size());
    }

    void herbsFillThreeCellsALine()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QTest::keyClick(w.drugSearchBox(), Qt::Key_F2);
        QList<int> columns;
        for (const QString& herb : {u"独活 10g"_s, u"桂枝 10g"_s, u"大飞扬草 10g"_s, u"牛蒡子 10g"_s}) {
            take(w, herb, true);
            columns << caretColumnOf(w);
        }
        QCOMPARE(columns, (QList<int>{14, 27, 40, 14}));
        QCOMPARE(w.body()->toPlainText(), u"独活 10g     桂枝 10g     大飞扬草 10g \n\n牛蒡子 10g   "_s);

        // A selection (here the first cell, 11 characters) is replaced by the cell.
        QTextCursor cursor = w.body()->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        w.body()->setTextCursor(cursor);
        take(w, u"桂枝 10g"_s, false);
        QCOMPARE(w.body()->toPlainText(), u"桂枝 10g     桂枝 10g     大飞扬草 10g \n\n牛蒡子 10g   "_s);
        QCOMPARE(caretColumnOf(w), 14);
    }

    void setIsTakenFromTheRowItShows()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        // The search text finds only one set; F4 still lists both.
        QTest::mouseClick(w.categoryButton(kSetCategory), Qt::LeftButton);
        QTest::keyClicks(w.drugSearchBox(), u"wy"_s);
        QCOMPARE(listed(w), QStringList{u"胃炎组套"_s});
        QTest::keyClick(w.drugSearchBox(), Qt::Key_F4);
        QCOMPARE(listed(w), kPersonalSets);
        take(w, u"感冒组套"_s, true);
        QCOMPARE(w.body()->toPlainText(), u"复方氨酚烷胺胶囊  12粒\n    用法：1粒 bid\n\n"_s);
    }

    void setDeletedMeanwhileInsertsNothing()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.setKind(u"中医"_s);
        QTest::mouseClick(w.categoryButton(kSetCategory), Qt::LeftButton);
        QVERIFY(e.store.settings()->exec(R"(DELETE FROM "个人组套" WHERE "名称" = '感冒组套')"));
        take(w, u"感冒组套"_s, true);
        QCOMPARE(w.body()->toPlainText(), QString());
        QCOMPARE(w.kindLabel()->text(), u"普通"_s);
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
    }

    void enterWithoutASelectionDoesNothing()
    {
        Editor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        w.setKind(u"中医"_s);
        QTest::keyClicks(w.drugSearchBox(), u"qqqq"_s);
        QTest::keyClick(w.drugSearchBox(), Qt::Key_Down);
        QTest::keyClick(w.drugList(), Qt::Key_Return);
        QCOMPARE(w.body()->toPlainText(), QString());
        QCOMPARE(w.kindLabel()->text(), u"中医"_s);
        QCOMPARE(w.drugSearchBox()->text(), u"qqqq"_s);
    }
};

QTEST_MAIN(DrugPickerTest)
#include "DrugPickerTest.moc"
