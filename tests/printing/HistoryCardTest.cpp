#include "HistoryCard.h"
#include "Page.h"
#include "RecordingSink.h"

#include <QTest>

using namespace qelvaro;
using Kind = PageOperation::Kind;

namespace {

// Line height of 宋体 10.5 on the recorder, the font of history and prescription lines.
const double kH = RecordingSink::lineHeightFor(10.5);
const double kPitch = kH + 90;

HistoryCard sampleCard(const QStringList& history = {u"咳嗽三天"_qs})
{
    HistoryCard card;
    card.clinicName = u"清溪社区卫生服务站"_qs;
    card.values = {u"张三"_qs, u"男"_qs, u"35岁"_qs, u"2024-03-05"_qs, u"清溪路1号(13900000000)"_qs, u"林志远"_qs};
    card.historyLines = history;
    return card;
}

struct Placed {
    QString text;
    double x;
    double y;
    // The page keeps positions in single precision.
    bool operator==(const Placed& o) const { return text == o.text && qAbs(x - o.x) < 0.01 && qAbs(y - o.y) < 0.01; }
};

QList<Placed> placedTexts(const RecordingSink& sink)
{
    QList<Placed> placed;
    for (const PageOperation& op : sink.ofKind(Kind::Text))
        placed.append({op.text, op.x, op.y});
    return placed;
}

// The captions and values come first: 8 + 6 texts.
constexpr int kFixedTexts = 14;

}  // namespace

namespace QTest {
template <>
char* toString(const Placed& p)
{
    return qstrdup(qPrintable(QStringLiteral("%1 @ (%2, %3)").arg(p.text).arg(p.x).arg(p.y)));
}
}  // namespace QTest

class HistoryCardTest : public QObject {
    Q_OBJECT
private slots:
    void captionsValuesAndRules()
    {
        RecordingSink sink;
        Page page(sink);
        drawHistoryCard(page, sampleCard(), QString(), kHistoryPreviewBodyCap);

        const auto centred = [](const QString& text) {
            return (148 * 56.7 - RecordingSink::textWidthFor(text, 15.75)) / 2;
        };
        const QList<Placed> expected{
            {u"清溪社区卫生服务站"_qs, centred(u"清溪社区卫生服务站"_qs), 780},
            {u"门诊病历卡"_qs, centred(u"门诊病历卡"_qs), 1260},
            {u"姓名："_qs, 1020, 1980},
            {u"性别："_qs, 2880, 1980},
            {u"年龄："_qs, 4140, 1980},
            {u"日期："_qs, 5520, 1980},
            {u"住址(电话)："_qs, 1020, 2460},
            {u"医生："_qs, 5520, 10020},
            {u"张三"_qs, 1620, 1980},
            {u"男"_qs, 3480, 1980},
            {u"35岁"_qs, 4740, 1980},
            {u"2024-03-05"_qs, 6120, 1980},
            {u"清溪路1号(13900000000)"_qs, 2340, 2460},
            {u"林志远"_qs, 6180, 10020},
            {u"咳嗽三天"_qs, 1020, 2880},
        };
        QCOMPARE(placedTexts(sink), expected);

        const QList<PageOperation> texts = sink.ofKind(Kind::Text);
        for (int i = 0; i < texts.size(); ++i) {
            const PageFont font = texts[i].font;
            QCOMPARE(font.name, u"宋体"_qs);
            QCOMPARE(font.pointSize, i < 2 ? 15.75 : 10.5);
            QCOMPARE(font.bold, i < 8);
        }

        const QList<PageOperation> rules = sink.ofKind(Kind::Line);
        QCOMPARE(rules.size(), 6);
        QList<QLineF> lines;
        for (const PageOperation& op : rules) {
            QCOMPARE(op.width, 2);
            lines << QLineF(op.x, op.y, op.x2, op.y2);
        }
        QCOMPARE(lines, (QList<QLineF>{{900, 2760, 7380, 2760},
                                       {900, 10380, 7380, 10380},
                                       {900, 1860, 7380, 1860},
                                       {900, 2340, 7380, 2340},
                                       {900, 1860, 900, 10380},
                                       {7380, 1860, 7380, 10380}}));
    }

    // History lines at 2880 + i × (h + 90); prescription lines below them at x 1670, blank ones
    // skipped and not counted, at most the cap.
    void historyAndPrescriptionLines_data()
    {
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QList<Placed>>("expected");

        QList<Placed> twenty;
        QStringList twentyLines;
        for (int j = 0; j < 20; ++j)
            twentyLines << QStringLiteral("药%1").arg(j + 1);
        const auto capped = [&](int cap) {
            QList<Placed> lines{{u"病史"_qs, 1020, 2880}};
            for (int j = 0; j < cap; ++j)
                lines.append({twentyLines[j], 1670, 2880 + kPitch + 90 + j * kPitch});
            return lines;
        };

        QTest::newRow("an empty record still takes one line")
            << QStringList() << u"阿莫西林胶囊"_qs << 15
            << QList<Placed>{{QString(), 1020, 2880}, {u"阿莫西林胶囊"_qs, 1670, 2880 + kPitch + 90}};
        QTest::newRow("blank lines are skipped, usage lines keep their blanks")
            << QStringList{u"发热两天"_qs, QString(), u"无药物过敏"_qs}
            << u"阿莫西林胶囊  0.25g*24\r\n    用法：0.5g tid\r\n\r\n   \r\n0.9%氯化钠注射液  250ml\r\n"_qs << 15
            << QList<Placed>{{u"发热两天"_qs, 1020, 2880},
                             {QString(), 1020, 2880 + kPitch},
                             {u"无药物过敏"_qs, 1020, 2880 + 2 * kPitch},
                             {u"阿莫西林胶囊  0.25g*24"_qs, 1670, 2880 + 3 * kPitch + 90},
                             {u"    用法：0.5g tid"_qs, 1670, 2880 + 4 * kPitch + 90},
                             {u"0.9%氯化钠注射液  250ml"_qs, 1670, 2880 + 5 * kPitch + 90}};
        QTest::newRow("lines ended by CR alone")
            << QStringList{u"病史"_qs} << u"甲\r乙"_qs << 15
            << QList<Placed>{{u"病史"_qs, 1020, 2880}, {u"甲"_qs, 1670, 2880 + kPitch + 90},
                             {u"乙"_qs, 1670, 2880 + 2 * kPitch + 90}};
        QTest::newRow("preview cap 15") << QStringList{u"病史"_qs} << twentyLines.join(u"\r\n\r\n"_qs) << 15 << capped(15);
        QTest::newRow("print cap 19") << QStringList{u"病史"_qs} << twentyLines.join(u"\r\n"_qs) << 19 << capped(19);
    }

    void historyAndPrescriptionLines()
    {
        QFETCH(QStringList, history);
        QFETCH(QString, body);
        QFETCH(int, cap);
        QFETCH(QList<Placed>, expected);

        RecordingSink sink;
        Page page(sink);
        drawHistoryCard(page, sampleCard(history), body, cap);
        QCOMPARE(placedTexts(sink).mid(kFixedTexts), expected);
    }

    // A card point (x, y) lands at (x − 567 + L, y − 567 + T) in portrait and 145 mm further right
    // in landscape; margins are read by their leading number.
    void printMarginsAndOrientation_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QPointF>("shift");

        QTest::newRow("3 and 5 mm, portrait") << u"3"_qs << u"5"_qs << true << QPointF(-396.9, -283.5);
        QTest::newRow("3 and 5 mm, landscape") << u"3"_qs << u"5"_qs << false << QPointF(170.1 + 7654.5, -283.5);
        QTest::newRow("12 followed by letters, empty top") << u"12abc"_qs << QString() << true
                                                           << QPointF(12 * 56.7 - 567, -567);
        QTest::newRow("10 and 10 mm: the card's own positions") << u"10"_qs << u"10"_qs << true << QPointF(0, 0);
    }

    void printMarginsAndOrientation()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(bool, portrait);
        QFETCH(QPointF, shift);

        RecordingSink sink;
        Page page(sink);
        printHistoryCard(page, sampleCard(), u"药"_qs, left, top, portrait);

        QCOMPARE(sink.operations.first().kind, Kind::Begin);
        QCOMPARE(sink.operations.first().orientation, portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
        QCOMPARE(sink.operations.last().kind, Kind::End);
        const QList<Placed> texts = placedTexts(sink);
        const Placed name = texts[2];
        QCOMPARE(name.text, u"姓名："_qs);
        QVERIFY(qAbs(name.x - (1020 + shift.x())) < 0.01);
        QVERIFY(qAbs(name.y - (1980 + shift.y())) < 0.01);
        const Placed drug = texts.last();
        QCOMPARE(drug.text, u"药"_qs);
        QVERIFY(qAbs(drug.x - (1670 + shift.x())) < 0.01);
        QVERIFY(qAbs(drug.y - (2880 + kPitch + 90 + shift.y())) < 0.01);
        const PageOperation rule = sink.ofKind(Kind::Line).first();
        QVERIFY(qAbs(rule.x - (900 + shift.x())) < 0.01);
    }
};

QTEST_GUILESS_MAIN(HistoryCardTest)
#include "HistoryCardTest.moc"
