#include "InfusionCardFormat.h"

#include <QTest>

using namespace qelvaro;

class InfusionCardFormatTest : public QObject {
    Q_OBJECT
private slots:
    void decodeColumn_data();
    void decodeColumn();
    void cardRoundTrip();
    void typedSeparatorNeverSplitsACell();
    void spreadInjectionText_data();
    void spreadInjectionText();
};

void InfusionCardFormatTest::decodeColumn_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("cells");  // the seven header cells

    QTest::newRow("complete") << u"李春华@男@45岁@2026-11-20@急性支气管炎@林志远@郑小燕@"_qs
                              << QStringList{u"李春华"_qs, u"男"_qs, u"45岁"_qs, u"2026-11-20"_qs,
                                             u"急性支气管炎"_qs, u"林志远"_qs, u"郑小燕"_qs};
    QTest::newRow("all empty") << u"@@@@@@@"_qs << QStringList(7);
    QTest::newRow("empty between neighbours") << u"a@@c@@@@@"_qs
                                               << QStringList{u"a"_qs, {}, u"c"_qs, {}, {}, {}, {}};
    QTest::newRow("fewer elements: rest stays empty")
        << u"a@b@"_qs << QStringList{u"a"_qs, u"b"_qs, {}, {}, {}, {}, {}};
    QTest::newRow("text after the last @ is dropped")
        << u"a@b@tail"_qs << QStringList{u"a"_qs, u"b"_qs, {}, {}, {}, {}, {}};
    QTest::newRow("elements beyond seven are dropped")
        << u"1@2@3@4@5@6@7@8@9@"_qs << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"6"_qs, u"7"_qs};
    QTest::newRow("no @ at all") << u"loose text"_qs << QStringList(7);
    QTest::newRow("blanks are text") << u" @  @"_qs << QStringList{u" "_qs, u"  "_qs, {}, {}, {}, {}, {}};
}

void InfusionCardFormatTest::decodeColumn()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, cells);
    const auto decoded = decodeCardColumn<kInfusionHeaderCount>(stored);
    QCOMPARE(QStringList(decoded.begin(), decoded.end()), cells);
}

// A saved card reads back exactly, empty cells included, and saving it again writes the same texts.
void InfusionCardFormatTest::cardRoundTrip()
{
    const StoredInfusionCard stored{
        u"李春华@男@45岁@2026-11-20@急性支气管炎 上呼吸道感染@林志远@@"_qs,
        u"0.9%氯化钠注射液  100ml@注射用头孢曲松钠  1g@    用法：2g iv/gtt qd@@@@@@@@@@@@"_qs,
        u"50滴/分@@@@@@@@@@@@@@"_qs,
        u"09:45@@@@@@@@@@@@@@"_qs,
        u"@@@@@@@@@@@@@郑小燕@"_qs,
    };
    const InfusionCard card = decodeInfusionCard(stored);
    QCOMPARE(card.header[4], u"急性支气管炎 上呼吸道感染"_qs);
    QCOMPARE(card.header[6], QString());
    QCOMPARE(card.cells[kNameColumn][2], u"    用法：2g iv/gtt qd"_qs);
    QCOMPARE(card.cells[kSpeedColumn][0], u"50滴/分"_qs);
    QCOMPARE(card.cells[kSignatureColumn][13], u"郑小燕"_qs);
    QCOMPARE(encodeInfusionCard(card), stored);
    QCOMPARE(encodeInfusionCard(InfusionCard{})[1], QString(14, u'@'));
}

void InfusionCardFormatTest::typedSeparatorNeverSplitsACell()
{
    InfusionCard card;
    card.header[4] = u"肺炎@复查"_qs;
    card.cells[kNameColumn][0] = u"a@b@c"_qs;
    card.cells[kNameColumn][1] = u"second"_qs;
    const StoredInfusionCard stored = encodeInfusionCard(card);
    QCOMPARE(stored[0].count(u'@'), kInfusionHeaderCount);
    QCOMPARE(stored[1].count(u'@'), kInfusionRowCount);
    const InfusionCard back = decodeInfusionCard(stored);
    QCOMPARE(back.header[4], u"肺炎＠复查"_qs);
    QCOMPARE(back.cells[kNameColumn][0], u"a＠b＠c"_qs);
    QCOMPARE(back.cells[kNameColumn][1], u"second"_qs);
}

void InfusionCardFormatTest::spreadInjectionText_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("filledRows");
    // Every line fills its row; the line break after the text leaves the next row empty.
    QTest::newRow("3 lines") << 3 << 3;
    QTest::newRow("14 lines: the trailing empty line is lost") << 14 << 14;
    QTest::newRow("16 lines: the first fourteen") << 16 << 14;
    QTest::newRow("no injection group") << 0 << 0;
}

void InfusionCardFormatTest::spreadInjectionText()
{
    QFETCH(int, lines);
    QFETCH(int, filledRows);
    QString text;
    for (int i = 0; i < lines; ++i)
        text += u"药品%1  100ml\r\n"_qs.arg(i);
    const auto names = qelvaro::spreadInjectionText(text);
    for (int r = 0; r < kInfusionRowCount; ++r)
        QCOMPARE(names[r], r < filledRows ? u"药品%1  100ml"_qs.arg(r) : QString());
}

QTEST_APPLESS_MAIN(InfusionCardFormatTest)
#include "InfusionCardFormatTest.moc"
