#include "Page.h"
#include "RecordingSink.h"
#include "SheetPrint.h"

#include <QTest>

using namespace qelvaro;
using Kind = PageOperation::Kind;

namespace {

// A few controls of each kind, hidden ones among them; the last text is hidden and so leaves its
// font in force without printing.
SheetSnapshot sheetFixture()
{
    SheetSnapshot s;
    s.texts = {
        {u"普通处方笺"_qs, {u"黑体"_qs, 12, false}, {2460, 960}, true},
        {u"姓名："_qs, {u"宋体"_qs, 9, true}, {540, 1560}, true},
        {u"电话："_qs, {u"宋体"_qs, 9, true}, {120, 600}, false},
        {u"张三"_qs, {u"宋体"_qs, 9.75, false}, {1140, 1530}, true},
        {u"13900000000"_qs, {u"仿宋"_qs, 9.75, true}, {1020, 570}, false},
    };
    s.rules = {
        {QLineF(540, 7680, 2400, 7680), 1, true},
        {QLineF(5100, 600, 5760, 600), 2, true},
        {QLineF(60, 780, 1815, 780), 3, false},
    };
    s.body = u"阿莫西林胶囊  0.25g*24"_qs;
    s.bodyPosition = {1440, 3120};
    s.marginLeft = u"10"_qs;
    s.marginTop = u"10"_qs;
    s.portrait = true;
    s.fontName = u"宋体"_qs;
    s.fontSize = u"12"_qs;
    return s;
}

RecordingSink record(const SheetSnapshot& sheet)
{
    RecordingSink sink;
    Page page(sink);
    printSheet(page, sheet);
    return sink;
}

QList<PageOperation> bodyLines(const RecordingSink& sink, int screenTexts)
{
    return sink.ofKind(Kind::Text).mid(screenTexts);
}

}  // namespace

class SheetPrintTest : public QObject {
    Q_OBJECT
private slots:
    void marginsAndOrientationPlaceTheSheet_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<double>("scaleLeft");  // twips
        QTest::addColumn<double>("scaleTop");

        QTest::newRow("portrait 10/10: no shift") << "10" << "10" << true << 0.0 << 0.0;
        QTest::newRow("portrait 120/200") << "120" << "200" << true << -6237.0 << -10773.0;
        QTest::newRow("landscape 120/200: right half, no base") << "120" << "200" << false << -14458.5 << -10773.0;
        QTest::newRow("12mm and abc") << "12mm" << "abc" << true << -113.4 << 567.0;
        QTest::newRow("blank, fraction, negative") << " 12.5" << "-5" << true << -141.75 << 850.5;
        QTest::newRow("landscape, empty margins") << "" << "" << false << -7654.5 << 567.0;
        QTest::newRow("margin beyond any paper: origin unchanged") << "1e300" << "10" << true << 0.0 << 0.0;
    }

    void marginsAndOrientationPlaceTheSheet()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(bool, portrait);
        QFETCH(double, scaleLeft);
        QFETCH(double, scaleTop);

        SheetSnapshot sheet = sheetFixture();
        sheet.marginLeft = left;
        sheet.marginTop = top;
        sheet.portrait = portrait;
        const RecordingSink sink = record(sheet);

        QCOMPARE(sink.operations.first().orientation, portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
        QCOMPARE(sink.operations.last().kind, Kind::End);
        const PageOperation title = sink.ofKind(Kind::Text).first();
        QVERIFY2(std::abs(title.x - (2460 * 1.2 - scaleLeft)) < 0.01, qPrintable(QString::number(title.x)));
        QVERIFY2(std::abs(title.y - (960 * 1.2 - scaleTop)) < 0.01, qPrintable(QString::number(title.y)));
        const PageOperation rule = sink.ofKind(Kind::Line).first();
        QVERIFY(std::abs(rule.x - (540 * 1.2 - scaleLeft)) < 0.01);
        QVERIFY(std::abs(rule.y - (7680 * 1.2 - scaleTop)) < 0.01);
    }

    void shownControlsPrintInTheirScreenFontPlusOnePoint()
    {
        const RecordingSink sink = record(sheetFixture());
        struct Expected {
            QString text;
            PageFont font;
            QPointF at;
        };
        const QList<Expected> expected{
            {u"普通处方笺"_qs, {u"黑体"_qs, 13, false}, {2952, 1152}},
            {u"姓名："_qs, {u"宋体"_qs, 10, true}, {648, 1872}},
            {u"张三"_qs, {u"宋体"_qs, 10.75, false}, {1368, 1836}},
        };
        const QList<PageOperation> texts = sink.ofKind(Kind::Text);
        QCOMPARE(texts.size(), expected.size() + 1);  // and one body line
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(texts[i].text, expected[i].text);
            QCOMPARE(texts[i].font, expected[i].font);
            QCOMPARE(QPointF(texts[i].x, texts[i].y), expected[i].at);
        }

        // Rules 1.2 times their screen place with their own widths; the hidden one is not drawn.
        const QList<PageOperation> lines = sink.ofKind(Kind::Line);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(QLineF(lines[0].x, lines[0].y, lines[0].x2, lines[0].y2), QLineF(648, 9216, 2880, 9216));
        QCOMPARE(lines[0].width, 1);
        QCOMPARE(QLineF(lines[1].x, lines[1].y, lines[1].x2, lines[1].y2), QLineF(6120, 720, 6912, 720));
        QCOMPARE(lines[1].width, 2);
    }

    void bodyPrintsInTheSettingsFont_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<double>("expectedSize");

        // What the hidden last control left: 仿宋, 9.75 + 1, bold; the body is never bold.
        QTest::newRow("face and size") << "楷体_GB2312" << "14" << "楷体_GB2312" << 14.0;
        QTest::newRow("size with blanks and fraction") << "宋体" << " 10.5 " << "宋体" << 10.5;
        QTest::newRow("size abc keeps the size in force") << "宋体" << "abc" << "宋体" << 10.75;
        QTest::newRow("size 12mm is no number") << "宋体" << "12mm" << "宋体" << 10.75;
        QTest::newRow("size 0") << "宋体" << "0" << "宋体" << 10.75;
        QTest::newRow("size negative") << "宋体" << "-3" << "宋体" << 10.75;
        QTest::newRow("size 999 as it stands") << "宋体" << "999" << "宋体" << 999.0;
        QTest::newRow("empty face keeps the face in force") << "" << "12" << "仿宋" << 12.0;
        QTest::newRow("face of blanks") << "   " << "12" << "仿宋" << 12.0;
    }

    void bodyPrintsInTheSettingsFont()
    {
        QFETCH(QString, name);
        QFETCH(QString, size);
        QFETCH(QString, expectedName);
        QFETCH(double, expectedSize);

        SheetSnapshot sheet = sheetFixture();
        sheet.fontName = name;
        sheet.fontSize = size;
        const QList<PageOperation> body = bodyLines(record(sheet), 3);
        QCOMPARE(body.size(), 1);
        QCOMPARE(body[0].font, (PageFont{expectedName, expectedSize, false}));
    }

    void bodyPrintsItsFirstTwentyNonBlankLines()
    {
        QStringList lines;
        for (int i = 1; i <= 25; ++i) {
            lines << QStringLiteral("  药品%1").arg(i);
            lines << (i % 2 ? QString() : u"   "_qs);  // blank lines neither count nor leave a gap
        }
        SheetSnapshot sheet = sheetFixture();
        sheet.body = lines.join(u"\r\n"_qs);
        const QList<PageOperation> body = bodyLines(record(sheet), 3);

        QCOMPARE(body.size(), 20);
        for (int i = 0; i < body.size(); ++i) {
            QCOMPARE(body[i].text, QStringLiteral("  药品%1").arg(i + 1));  // leading blanks kept
            QCOMPARE(body[i].x, 1440 * 1.2);
            QCOMPARE(body[i].y, 3120 * 1.2 + 90 + i * (288.0 + 90));
        }

        sheet.body.clear();
        QVERIFY(bodyLines(record(sheet), 3).isEmpty());
    }
};

QTEST_MAIN(SheetPrintTest)
#include "SheetPrintTest.moc"
