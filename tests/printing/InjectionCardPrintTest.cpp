#include "InjectionCardPrint.h"
#include "Page.h"
#include "RecordingSink.h"

#include <QTest>

using namespace qelvaro;
using Kind = PageOperation::Kind;

namespace {

const PageFont kWindowFont{u"宋体"_qs, 9, false};

// The card preview as the main window lays it out; a hidden caption and header value and rules of
// width 2 show that the card prints everything with the line width in force.
InjectionCardSnapshot cardFixture()
{
    InjectionCardSnapshot s;
    s.captions = {
        {u"门诊注射卡"_qs, {u"黑体"_qs, 12, false}, {1860, 120}, true},
        {u"姓名："_qs, kWindowFont, {180, 540}, true},
        {u"年龄："_qs, kWindowFont, {2280, 540}, true},
        {u"性别："_qs, kWindowFont, {1500, 540}, true},
        {u"日期："_qs, kWindowFont, {3180, 540}, true},
        {u"护士："_qs, kWindowFont, {1500, 3060}, false},
        {u"医生："_qs, kWindowFont, {180, 3060}, true},
    };
    s.header = {
        {u"张三"_qs, kWindowFont, {720, 540}, true},
        {u"男"_qs, kWindowFont, {1980, 540}, true},
        {u"35岁"_qs, kWindowFont, {2760, 540}, true},
        {u"2024-03-05"_qs, kWindowFont, {3720, 540}, true},
        {u"林医生"_qs, kWindowFont, {720, 3060}, false},
    };
    s.body = u"0.9%氯化钠注射液  100ml"_qs;
    s.bodyPosition = {1020, 1020};
    for (int y : {420, 840, 2940})
        s.rules.append({QLineF(180, y, 4680, y), 2, false});
    s.marginLeft = u"10"_qs;
    s.marginTop = u"10"_qs;
    return s;
}

RecordingSink record(const InjectionCardSnapshot& card)
{
    RecordingSink sink;
    Page page(sink);
    printInjectionCard(page, card);
    return sink;
}

void verifyAt(const PageOperation& op, QPointF expected)
{
    QVERIFY2(std::abs(op.x - expected.x()) < 0.01 && std::abs(op.y - expected.y()) < 0.01,
             qPrintable(QStringLiteral("%1 at (%2, %3), expected (%4, %5)")
                            .arg(op.text)
                            .arg(op.x)
                            .arg(op.y)
                            .arg(expected.x())
                            .arg(expected.y())));
}

}  // namespace

class InjectionCardPrintTest : public QObject {
    Q_OBJECT
private slots:
    void cardPrintsOneAndAHalfTimesAtItsMargins_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPointF>("shift");  // twips, from the 10 mm base

        QTest::newRow("10/10") << "10" << "10" << QPointF(0, 0);
        QTest::newRow("25/5") << "25" << "5" << QPointF(850.5, -283.5);
        QTest::newRow("abc and 12mm") << "abc" << "12mm" << QPointF(-567, 113.4);
    }

    void cardPrintsOneAndAHalfTimesAtItsMargins()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPointF, shift);

        InjectionCardSnapshot card = cardFixture();
        card.marginLeft = left;
        card.marginTop = top;
        const RecordingSink sink = record(card);
        const QList<PageOperation> texts = sink.ofKind(Kind::Text);

        // Every caption and value, hidden or not, then the body line.
        QCOMPARE(texts.size(), 7 + 5 + 1);
        QCOMPARE(texts[0].text, u"门诊注射卡"_qs);
        QCOMPARE(texts[0].font, (PageFont{u"黑体"_qs, 14, false}));
        verifyAt(texts[0], QPointF(2790, 180) + shift);
        verifyAt(texts[1], QPointF(270, 810) + shift);    // header row
        verifyAt(texts[5], QPointF(2250, 4590) + shift);  // footer: 护士 with no value
        QCOMPARE(texts[5].text, u"护士："_qs);
        for (int i = 1; i < 12; ++i)
            QCOMPARE(texts[i].font, (PageFont{u"宋体"_qs, 11, false}));
        verifyAt(texts[7], QPointF(1080, 810) + shift);
        verifyAt(texts[11], QPointF(1080, 4590) + shift);

        const PageOperation& body = texts[12];
        verifyAt(body, QPointF(1530, 1590) + shift);
        QCOMPARE(body.font, (PageFont{u"宋体"_qs, 12, false}));

        const QList<PageOperation> lines = sink.ofKind(Kind::Line);
        QCOMPARE(lines.size(), 3);
        const QList<double> ys{630, 1260, 4410};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(std::abs(lines[i].x - (270 + shift.x())) < 0.01);
            QVERIFY(std::abs(lines[i].x2 - (7020 + shift.x())) < 0.01);
            QVERIFY(std::abs(lines[i].y - (ys[i] + shift.y())) < 0.01);
            QCOMPARE(lines[i].y2, lines[i].y);
            QCOMPARE(lines[i].width, 1);
        }
        QCOMPARE(sink.operations.first().orientation, QPageLayout::Portrait);
        QCOMPARE(sink.operations.last().kind, Kind::End);
    }

    void bodyPrintsFifteenLinesBlanksIncluded_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("printed");

        QStringList eighteen;
        for (int i = 1; i <= 18; ++i)
            eighteen << (i % 4 ? QStringLiteral("针%1").arg(i) : QString());
        QTest::newRow("18 lines with blanks: the first 15") << eighteen.join(u"\r\n"_qs) << eighteen.mid(0, 15);
        QTest::newRow("empty body: one empty line") << QString() << QStringList{QString()};
        QTest::newRow("leading blanks kept") << u"  甲\n\n乙"_qs << QStringList{u"  甲"_qs, QString(), u"乙"_qs};
    }

    void bodyPrintsFifteenLinesBlanksIncluded()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, printed);

        InjectionCardSnapshot card = cardFixture();
        card.body = body;
        const QList<PageOperation> lines = record(card).ofKind(Kind::Text).mid(12);

        QStringList texts;
        for (int i = 0; i < lines.size(); ++i) {
            texts << lines[i].text;
            verifyAt(lines[i], QPointF(1530, 1530 + 60 + i * (288.0 + 60)));
        }
        QCOMPARE(texts, printed);
    }
};

QTEST_MAIN(InjectionCardPrintTest)
#include "InjectionCardPrintTest.moc"
