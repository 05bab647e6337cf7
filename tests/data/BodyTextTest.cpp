#include "BodyText.h"

#include "InjectionCardText.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace qelvaro;

Q_DECLARE_METATYPE(qelvaro::InsertionRule)
Q_DECLARE_METATYPE(qelvaro::UsageInserter)

namespace {

QString repeated(const QString& piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

const QString kDuhuo = QStringLiteral("独活 10g");  // width 8
const QString kDuhuoCell = kDuhuo + QString(5, u' ');

// Both ways of applying an edit give its text and caret: the range replacement on the old body
// (put into a document the way the body box holds it, so positions are the cursor's) and `text`.
void verifyEditApplies(const QString& oldBody, const BodyEdit& edit)
{
    QTextDocument document;
    document.setPlainText(oldBody);
    QTextCursor cursor(&document);
    cursor.setPosition(edit.from);
    cursor.setPosition(edit.to, QTextCursor::KeepAnchor);
    cursor.insertText(edit.inserted);
    QCOMPARE(document.toPlainText(), edit.text);
    QCOMPARE(cursor.position(), edit.caret);
}

}  // namespace

class BodyTextTest : public QObject {
    Q_OBJECT
private slots:
    void splitsDrugEntry_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("drug");
        QTest::addColumn<QStringList>("usages");
        QTest::newRow("drug only") << "生脉注射液  10ml" << "生脉注射液  10ml" << QStringList();
        QTest::newRow("one usage") << "清开灵口服液  10ml*10\\10ml tid" << "清开灵口服液  10ml*10"
                                   << QStringList{"10ml tid"};
        QTest::newRow("two usages") << "甲\\iv st\\im st" << "甲" << QStringList{"iv st", "im st"};
        QTest::newRow("empty usage") << "甲\\" << "甲" << QStringList{""};
    }
    void splitsDrugEntry()
    {
        QFETCH(QString, entry);
        QFETCH(QString, drug);
        QFETCH(QStringList, usages);
        const DrugEntryParts parts = splitDrugEntry(entry);
        QCOMPARE(parts.drug, drug);
        QCOMPARE(parts.usages, usages);
    }

    void appendsDrug_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::newRow("drug and usage")
            << "" << "清开灵口服液  10ml*10\\10ml tid" << "清开灵口服液  10ml*10\n    用法：10ml tid\n\n";
        QTest::newRow("two usage lines") << "" << "甲\\iv st\\im st" << "甲\n    用法：iv st\n    用法：im st\n\n";
        QTest::newRow("usage entry") << "甲\n" << "用法：iv qd" << "甲\n    用法：iv qd\n\n";
        QTest::newRow("backslash wins over 用法") << "" << "甲用法\\tid" << "甲用法\n    用法：tid\n\n";
        QTest::newRow("plain drug, one line break")
            << "甲\n    用法：tid\n\n" << "生脉注射液  10ml" << "甲\n    用法：tid\n\n生脉注射液  10ml\n";
        QTest::newRow("last line holds text: new line first") << "qd" << "生脉注射液  10ml" << "qd\n生脉注射液  10ml\n";
        QTest::newRow("last line only blanks: new line first") << "甲\n  " << "乙" << "甲\n  \n乙\n";
        QTest::newRow("usage entry after text") << "甲" << "用法：iv qd" << "甲\n    用法：iv qd\n\n";
        QTest::newRow("entry with usage after text") << "甲" << "乙\\tid" << "甲\n乙\n    用法：tid\n\n";
        QTest::newRow("CR LF body") << "甲\r\n乙\r\n" << "丙" << "甲\n乙\n丙\n";
        QTest::newRow("CR body ending in a break") << "甲\r" << "丙" << "甲\n丙\n";
    }
    void appendsDrug()
    {
        QFETCH(QString, body);
        QFETCH(QString, entry);
        QFETCH(QString, text);
        const BodyEdit edit = insertDrug(body, entry);
        QCOMPARE(edit.text, text);
        QCOMPARE(edit.caret, text.size());
        verifyEditApplies(body, edit);
    }

    void herbCellIsPaddedToWidth13_data()
    {
        QTest::addColumn<QString>("herb");
        QTest::addColumn<QString>("cell");
        QTest::newRow("width 8") << kDuhuo << kDuhuoCell;
        QTest::newRow("width 12") << "大飞扬草 10g" << "大飞扬草 10g ";
        QTest::newRow("width 13") << "大飞扬草 100g" << "大飞扬草 100g";
        QTest::newRow("width 14, not cut") << "大飞扬草根 10g" << "大飞扬草根 10g";
        QTest::newRow("full-width digits count 2") << "甘草１０ｇ" << "甘草１０ｇ   ";
        QTest::newRow("ASCII only") << "abc" << "abc" + QString(10, u' ');
        QTest::newRow("empty") << "" << QString(13, u' ');
    }
    void herbCellIsPaddedToWidth13()
    {
        QFETCH(QString, herb);
        QFETCH(QString, cell);
        QCOMPARE(herbCell(herb), cell);
    }

    void insertsHerbAtCaret_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionEnd");
        QTest::addColumn<QString>("herb");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");  // of the caret afterwards

        const QString one = kDuhuoCell;
        const QString two = one + one;
        const QString three = two + one;
        QTest::newRow("first cell") << "" << 0 << 0 << kDuhuo << one << 14;
        QTest::newRow("second cell") << one << 11 << 11 << kDuhuo << two << 27;
        QTest::newRow("third cell") << two << 22 << 22 << kDuhuo << three << 40;
        QTest::newRow("fourth starts a new line") << three << 33 << 33 << kDuhuo << three + "\n\n" + one << 14;

        // The threshold is a display width: 15 Chinese characters are column 31, 16 are 33.
        const QString w30 = repeated("甘", 15);
        const QString w32 = repeated("甘", 16);
        QTest::newRow("column 31 joins") << w30 << 15 << 15 << kDuhuo << w30 + one << 44;
        QTest::newRow("column 33 breaks") << w32 << 16 << 16 << kDuhuo << w32 + "\n\n" + one << 14;
        QTest::newRow("ASCII column 32 breaks") << repeated("a", 31) << 31 << 31 << kDuhuo
                                                << repeated("a", 31) + "\n\n" + one << 14;
        QTest::newRow("mixed: 10 Chinese and 10 ASCII joins")
            << repeated("甘", 10) + repeated("a", 10) << 20 << 20 << kDuhuo
            << repeated("甘", 10) + repeated("a", 10) + one << 44;

        const QString wide = "大飞扬草根 10g";  // width 14, no blanks
        QTest::newRow("wide cells") << wide + wide << 18 << 18 << wide << wide + wide + wide << 43;

        QTest::newRow("caret in an earlier line") << one + "\n\n末行" << 11 << 11 << kDuhuo
                                                  << two + "\n\n末行" << 27;
        QTest::newRow("column of the caret's own line") << three + "\n" << 34 << 34 << kDuhuo
                                                        << three + "\n" + one << 14;
        QTest::newRow("CR LF body, caret after the break") << "甲\r\n" << 2 << 2 << kDuhuo << "甲\n" + one << 14;
        QTest::newRow("selection replaced") << two + "桂枝 10g     " << 22 << 33 << kDuhuo << three << 40;
        QTest::newRow("backward selection") << two + "桂枝 10g     " << 33 << 22 << kDuhuo << three << 40;
        QTest::newRow("caret beyond the end clamped") << one << 99 << 99 << kDuhuo << two << 27;
    }
    void insertsHerbAtCaret()
    {
        QFETCH(QString, body);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionEnd);
        QFETCH(QString, herb);
        QFETCH(QString, text);
        QFETCH(int, column);
        const BodyEdit edit = insertHerb(body, selectionStart, selectionEnd, herb);
        QCOMPARE(edit.text, text);
        QCOMPARE(caretColumn(edit.text, edit.caret), column);
        verifyEditApplies(body, edit);
    }

    void appendsSetAndRecipe_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("text");
        const QString set = "甲\r\n    用法：iv st";
        QTest::newRow("set, empty body") << kSetCategory << "" << set << "甲\n    用法：iv st\n\n";
        QTest::newRow("set after a line break") << kSetCategory << "乙\n" << set << "乙\n甲\n    用法：iv st\n\n";
        QTest::newRow("set after text") << kSetCategory << "乙" << set << "乙\n甲\n    用法：iv st\n\n";
        QTest::newRow("set after blanks") << kSetCategory << "乙\n  " << set << "乙\n  \n甲\n    用法：iv st\n\n";
        QTest::newRow("recipe, no breaks added") << kRecipeCategory << "乙" << "独活 10g" << "乙独活 10g";
        QTest::newRow("recipe as stored") << kRecipeCategory << "" << "独活\r\n桂枝\r\n" << "独活\n桂枝\n";
    }
    void appendsSetAndRecipe()
    {
        QFETCH(int, category);
        QFETCH(QString, body);
        QFETCH(QString, content);
        QFETCH(QString, text);
        const BodyEdit edit = category == kSetCategory ? insertSet(body, content) : insertRecipe(body, content);
        QCOMPARE(edit.text, text);
        QCOMPARE(edit.caret, text.size());
        verifyEditApplies(body, edit);
    }

    void kindAfterInsertion_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<InsertionRule>("rule");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("none chosen") << -1 << InsertionRule::Drug << "普通" << "普通处方笺";
        QTest::newRow("抗生素") << 0 << InsertionRule::Drug << "普通" << "普通处方笺";
        QTest::newRow("其他") << 11 << InsertionRule::Drug << "普通" << "普通处方笺";
        QTest::newRow("中药") << 12 << InsertionRule::Herb << "中医" << "中医处方笺";
        QTest::newRow("个人组套") << 13 << InsertionRule::Set << "普通" << "普通处方笺";
        QTest::newRow("中医验方") << 14 << InsertionRule::Recipe << "中医" << "中医处方笺";
    }
    void kindAfterInsertion()
    {
        QFETCH(int, category);
        QFETCH(InsertionRule, rule);
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QCOMPARE(insertionRule(category), rule);
        const KindAndTitle after = qelvaro::kindAfterInsertion(category);
        QCOMPARE(after.kind, kind);
        QCOMPARE(after.title, title);
    }

    void usageInsertersReplaceTheSelection_data()
    {
        QTest::addColumn<UsageInserter>("inserter");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("line");
        QTest::newRow("drip") << UsageInserter::IntravenousDrip << "静脉滴注" << "    用法：iv/gtt qd";
        QTest::newRow("intramuscular") << UsageInserter::Intramuscular << "肌肉注射" << "    用法：im st";
        QTest::newRow("push") << UsageInserter::IntravenousPush << "静脉推注" << "    用法：iv st";
        QTest::newRow("dropper") << UsageInserter::Dropper << "加滴管" << "    用法：加滴管 bid";
    }
    void usageInsertersReplaceTheSelection()
    {
        QFETCH(UsageInserter, inserter);
        QFETCH(QString, caption);
        QFETCH(QString, line);
        QCOMPARE(usageInserterCaption(inserter), caption);
        const QString body = "甲\r\n选中\r\n乙";
        const BodyEdit edit = insertUsage(body, 2, 4, inserter);
        QCOMPARE(edit.text, "甲\n" + line + "\n\n\n乙");
        QCOMPARE(edit.caret, 2 + line.size() + 2);
        verifyEditApplies(body, edit);
    }

    void shorthandLabelsInsertTheirCaption_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("usage line") << 0 << "    用法：iv/gtt qd\n\n";
        QTest::newRow("ml") << 1 << "ml";
        QTest::newRow("intramuscular label") << 13 << "    用法：肌注 st\n\n";
        QTest::newRow("qd") << 15 << "qd";
        QTest::newRow("dropper label") << 18 << "    用法：加滴管 bid\n\n";
        QTest::newRow("usage prefix alone") << 20 << "    用法：\n\n";
        QTest::newRow("search box caption") << 17 << "拼音码查询：";
        QTest::newRow("no such label") << 22 << "";
    }
    void shorthandLabelsInsertTheirCaption()
    {
        QFETCH(int, index);
        QFETCH(QString, inserted);
        // In the middle of a line, as a frequency is typed after a dose.
        const QString body = "10ml 甲";
        const BodyEdit edit = insertShorthand(body, 5, 5, shorthandCaption(index));
        QCOMPARE(edit.text, "10ml " + inserted + "甲");
        QCOMPARE(edit.caret, 5 + inserted.size());
    }

    void selectionTextGetsStoredLineBreaks_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs") << "甲\u2029    用法：iv st" << "甲\r\n    用法：iv st";
        QTest::newRow("empty line") << "甲\u2029\u2029乙\u2029" << "甲\r\n\r\n乙\r\n";
        QTest::newRow("one line") << "甲 乙" << "甲 乙";
        QTest::newRow("empty") << "" << "";
    }
    void selectionTextGetsStoredLineBreaks()
    {
        QFETCH(QString, selected);
        QFETCH(QString, text);
        QCOMPARE(selectionToText(selected), text);
    }

    // From an empty body: a drug with its usage, two drugs and the drip inserter closing them;
    // the card then holds the infusion group only.
    void drugsAndInserterMakeGroupsForTheCard()
    {
        BodyEdit edit = insertDrug(QString(), "清开灵口服液  10ml*10\\10ml tid");
        edit = insertDrug(edit.text, "5%葡萄糖注射液  250ml");
        edit = insertDrug(edit.text, "生脉注射液  10ml");
        edit = insertUsage(edit.text, edit.caret, edit.caret, UsageInserter::IntravenousDrip);
        QCOMPARE(edit.text, "清开灵口服液  10ml*10\n    用法：10ml tid\n\n"
                            "5%葡萄糖注射液  250ml\n生脉注射液  10ml\n    用法：iv/gtt qd\n\n");
        QCOMPARE(injectionCardText(edit.text),
                 "5%葡萄糖注射液  250ml\r\n生脉注射液  10ml\r\n    用法：iv/gtt qd\r\n");
    }
};

QTEST_MAIN(BodyTextTest)
#include "BodyTextTest.moc"
