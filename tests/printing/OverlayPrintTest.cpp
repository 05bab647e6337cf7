#include "OverlayPrint.h"
#include "Page.h"
#include "RecordingSink.h"

#include <QTest>

using namespace qelvaro;
using Kind = PageOperation::Kind;

namespace {

constexpr double kMm = 56.7;

// Every field a value of its own; item i sits at (10 + i, 20 + 2i) mm; nothing ticked, no body.
OverlaySnapshot overlayFixture()
{
    OverlaySnapshot s;
    s.fields = {u"张三"_qs, u"男"_qs,   u"35岁"_qs, u"自费"_qs, u"A123"_qs, u"内科"_qs,
                u"青石镇"_qs, u"139"_qs, u"感冒"_qs, u"2016-10-14"_qs, u"林医生"_qs, u"周配药"_qs,
                u"陈复核"_qs, u"12.5"_qs, u"3"_qs, u"青霉素"_qs, u"高血压"_qs};
    for (int i = 0; i < kOverlayItemCount; ++i)
        s.items[i] = {false, QString::number(10 + i), QString::number(20 + 2 * i)};
    s.left = u"0"_qs;
    s.top = u"0"_qs;
    s.fontName = u"宋体"_qs;
    s.fontSize = u"12"_qs;
    return s;
}

RecordingSink record(const OverlaySnapshot& overlay)
{
    RecordingSink sink;
    Page page(sink);
    printOverlay(page, overlay);
    return sink;
}

void verifyNear(double actual, double expected)
{
    QVERIFY2(std::abs(actual - expected) < 0.01,
             qPrintable(QStringLiteral("%1, expected %2").arg(actual).arg(expected)));
}

}  // namespace

class OverlayPrintTest : public QObject {
    Q_OBJECT
private slots:
    void tickedItemPrintsItsValueAtItsPlace_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QStringList>("printed");

        const QString male = u"男"_qs;
        const QString date = u"2016-10-14"_qs;
        const auto row = [&](const char* name, int item, const QString& value) {
            QTest::newRow(name) << item << male << date << QStringList{value};
        };
        row("姓名", 0, u"张三"_qs);
        row("性别", 1, u"男"_qs);
        row("年龄", 2, u"35岁"_qs);
        row("费别", 3, u"自费"_qs);
        row("医疗证号", 4, u"A123"_qs);
        row("住址|电话: the address field", 5, u"青石镇"_qs);
        row("临床诊断", 6, u"感冒"_qs);
        row("医生", 8, u"林医生"_qs);
        row("配药", 9, u"周配药"_qs);
        row("复核", 10, u"陈复核"_qs);
        row("药费", 11, u"12.5"_qs);
        row("其他收费", 12, u"3"_qs);
        row("科别", 14, u"内科"_qs);
        row("日期", 19, date);
        row("过敏史", 20, u"青霉素"_qs);
        row("既往史", 21, u"高血压"_qs);
        row("电话", 22, u"139"_qs);

        // Date pieces by character position, leading zeros kept; a short date gives what is there.
        row("年", 7, u"2016"_qs);
        row("月", 17, u"10"_qs);
        row("日", 18, u"14"_qs);
        QTest::newRow("月 of a short date") << 17 << male << u"2016-1"_qs << QStringList{u"1"_qs};
        QTest::newRow("日 of a short date: an empty text") << 18 << male << u"2016-1"_qs << QStringList{QString()};

        // The marks strike out the other sex word of the form: exact text only.
        QTest::newRow("男: mark of item 16") << 16 << male << date << QStringList{u"\\"_qs};
        QTest::newRow("男: none at item 15") << 15 << male << date << QStringList();
        QTest::newRow("女: mark of item 15") << 15 << u"女"_qs << date << QStringList{u"\\"_qs};
        QTest::newRow("女: none at item 16") << 16 << u"女"_qs << date << QStringList();
        QTest::newRow("empty sex: no mark") << 16 << QString() << date << QStringList();
        QTest::newRow("男 with a blank: no mark") << 16 << u"男 "_qs << date << QStringList();
        QTest::newRow("full-width text: no mark") << 15 << u"ｆ"_qs << date << QStringList();
    }

    void tickedItemPrintsItsValueAtItsPlace()
    {
        QFETCH(int, item);
        QFETCH(QString, sex);
        QFETCH(QString, date);
        QFETCH(QStringList, printed);

        OverlaySnapshot overlay = overlayFixture();
        overlay.fields[1] = sex;
        overlay.fields[9] = date;
        overlay.items[item].printed = true;
        const RecordingSink sink = record(overlay);

        QCOMPARE(sink.texts(), printed);
        for (const PageOperation& op : sink.ofKind(Kind::Text)) {
            verifyNear(op.x, (10 + item) * kMm);
            verifyNear(op.y, (20 + 2 * item) * kMm);
            QCOMPARE(op.font, (PageFont{u"宋体"_qs, 12, false}));
        }
        QVERIFY(sink.ofKind(Kind::Line).isEmpty());
    }

    void itemsPrintInFormOrderThenTheBody()
    {
        OverlaySnapshot overlay = overlayFixture();
        for (auto& item : overlay.items)
            item.printed = true;
        overlay.body = u"Rp"_qs;
        const QStringList expected{u"张三"_qs,   u"男"_qs,   u"35岁"_qs,  u"自费"_qs,   u"A123"_qs, u"青石镇"_qs,
                                   u"感冒"_qs,   u"2016"_qs, u"10"_qs,    u"14"_qs,     u"林医生"_qs, u"周配药"_qs,
                                   u"陈复核"_qs, u"12.5"_qs, u"3"_qs,     u"内科"_qs,   u"\\"_qs,   u"2016-10-14"_qs,
                                   u"139"_qs,    u"高血压"_qs, u"青霉素"_qs, u"Rp"_qs};
        QCOMPARE(record(overlay).texts(), expected);
    }

    void globalOffsetMovesEverything_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPointF>("shift");  // twips

        QTest::newRow("0/0") << "0" << "0" << QPointF(0, 0);
        QTest::newRow("5 right, 3 up") << "5" << "-3" << QPointF(5 * kMm, -3 * kMm);
        QTest::newRow("abc and empty count as 0") << "abc" << "" << QPointF(0, 0);
        QTest::newRow("12mm, 2.5") << "12mm" << "2.5" << QPointF(12 * kMm, 2.5 * kMm);
    }

    void globalOffsetMovesEverything()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPointF, shift);

        OverlaySnapshot overlay = overlayFixture();
        overlay.left = left;
        overlay.top = top;
        overlay.items[0] = {true, u"26"_qs, u"36"_qs};
        overlay.body = u"Rp"_qs;
        const QList<PageOperation> texts = record(overlay).ofKind(Kind::Text);

        QCOMPARE(texts.size(), 2);
        verifyNear(texts[0].x, 26 * kMm + shift.x());
        verifyNear(texts[0].y, 36 * kMm + shift.y());
        verifyNear(texts[1].x, 23 * kMm + shift.x());  // the body at item 13
        verifyNear(texts[1].y, 46 * kMm + 90 + shift.y());
    }

    void bodyAlwaysPrintsAtItsItemFourteenLinesAtMost_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("size");
        QTest::addColumn<double>("points");

        QTest::newRow("unticked") << false << "14" << 14.0;
        QTest::newRow("ticked") << true << "14" << 14.0;
        QTest::newRow("size abc: the item size stays") << false << "abc" << 12.0;
    }

    void bodyAlwaysPrintsAtItsItemFourteenLinesAtMost()
    {
        QFETCH(bool, ticked);
        QFETCH(QString, size);
        QFETCH(double, points);

        QStringList lines;
        for (int i = 1; i <= 20; ++i)
            lines << QStringLiteral(" 药%1").arg(i) << QString() << u"  "_qs;
        OverlaySnapshot overlay = overlayFixture();
        overlay.items[kOverlayBodyItem].printed = ticked;
        overlay.body = lines.join(u"\r\n"_qs);
        overlay.fontName = u"楷体_GB2312"_qs;
        overlay.fontSize = size;
        const QList<PageOperation> texts = record(overlay).ofKind(Kind::Text);

        QCOMPARE(texts.size(), kOverlayBodyCap);
        const double lineHeight = RecordingSink::lineHeightFor(points);
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(texts[i].text, QStringLiteral(" 药%1").arg(i + 1));
            QCOMPARE(texts[i].font, (PageFont{u"楷体_GB2312"_qs, points, false}));
            verifyNear(texts[i].x, 23 * kMm);
            verifyNear(texts[i].y, 46 * kMm + 90 + i * (lineHeight + 90));
        }
    }
};

QTEST_MAIN(OverlayPrintTest)
#include "OverlayPrintTest.moc"
