#include "Fonts.h"
#include "Page.h"
#include "PrintTarget.h"
#include "RecordingSink.h"

#include "PdfText.h"
#include "ScriptedFileDialog.h"
#include "TestSupport.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace qelvaro;
using namespace qelvaro::test;
using Kind = PageOperation::Kind;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPointsPerMillimetre = 72.0 / 25.4;

// Sets one page property by name; returns what the setter answered.
bool assign(Page& page, const QString& property, double number, const QString& text)
{
    if (property == u"fontSize")
        return page.setFontSize(number);
    if (property == u"fontName")
        return page.setFontName(text);
    if (property == u"currentX")
        return page.setCurrentX(number);
    if (property == u"currentY")
        return page.setCurrentY(number);
    if (property == u"scaleLeft")
        return page.setScaleLeft(number);
    if (property == u"scaleTop")
        return page.setScaleTop(number);
    if (property == u"drawWidth")
        return page.setDrawWidth(static_cast<int>(number));
    qFatal("unknown property");
}

QString read(const Page& page, const QString& property)
{
    if (property == u"fontName")
        return page.fontName();
    const double value = property == u"fontSize"    ? page.fontSize()
                         : property == u"currentX"  ? page.currentX()
                         : property == u"currentY"  ? page.currentY()
                         : property == u"scaleLeft" ? page.scaleLeft()
                         : property == u"scaleTop"  ? page.scaleTop()
                                                    : page.drawWidth();
    return QString::number(value, 'g', 10);
}

// Text and top edge of every text the page sent.
QList<QPair<QString, double>> textsAndTops(const RecordingSink& sink)
{
    QList<QPair<QString, double>> result;
    for (const PageOperation& op : sink.ofKind(Kind::Text))
        result.append({op.text, op.y});
    return result;
}

QString body(const QStringList& lines) { return lines.join(u"\r\n"_qs); }

QStringList numbered(const QString& stem, int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << stem + QString::number(i);
    return lines;
}

// The default printer as a test decides it: none, one that fails the job, or one that takes it.
class FakePrinterTarget : public PrinterTarget {
public:
    enum class Printer { None, Failing, Working };
    FakePrinterTarget(MessageSink& messages, FileDialog& dialog, Printer printer)
        : PrinterTarget(messages, dialog), m_printer(printer)
    {
    }

protected:
    Outcome printOnDefaultPrinter(const Printout&) override
    {
        return m_printer == Printer::None ? Outcome::NoPrinter
               : m_printer == Printer::Failing ? Outcome::Failed
                                               : Outcome::Sent;
    }

private:
    Printer m_printer;
};

}  // namespace

class PageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void assignmentsKeepTheValueWhenRefused_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expected");  // the value in force afterwards (start: 宋体 12, 0, width 1)

        QTest::newRow("size 0") << "fontSize" << 0.0 << QString() << false << "12";
        QTest::newRow("size negative") << "fontSize" << -3.0 << QString() << false << "12";
        QTest::newRow("size NaN") << "fontSize" << kNaN << QString() << false << "12";
        QTest::newRow("size 999") << "fontSize" << 999.0 << QString() << true << "999";
        QTest::newRow("size 10.5") << "fontSize" << 10.5 << QString() << true << "10.5";
        QTest::newRow("name empty") << "fontName" << 0.0 << "" << false << "宋体";
        QTest::newRow("name of blanks") << "fontName" << 0.0 << "   " << false << "宋体";
        QTest::newRow("name") << "fontName" << 0.0 << "黑体" << true << "黑体";
        QTest::newRow("x NaN") << "currentX" << kNaN << QString() << false << "0";
        QTest::newRow("y infinite") << "currentY" << -kInf << QString() << false << "0";
        QTest::newRow("left beyond a single") << "scaleLeft" << 1e39 << QString() << false << "0";
        QTest::newRow("top NaN") << "scaleTop" << kNaN << QString() << false << "0";
        QTest::newRow("x held as a single") << "currentX" << 1020 * 1.2 << QString() << true << "1224";
        QTest::newRow("left held as a single") << "scaleLeft" << 0.1 << QString() << true
                                               << QString::number(double(0.1f), 'g', 10);
        QTest::newRow("width 0") << "drawWidth" << 0.0 << QString() << false << "1";
        QTest::newRow("width 3") << "drawWidth" << 3.0 << QString() << true << "3";
    }

    void assignmentsKeepTheValueWhenRefused()
    {
        QFETCH(QString, property);
        QFETCH(double, number);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, expected);

        RecordingSink sink;
        Page page(sink);
        QCOMPARE(assign(page, property, number, text), accepted);
        QCOMPARE(read(page, property), expected);
    }

    void printMovesDownOneLineAndKeepsX()
    {
        RecordingSink sink;
        Page page(sink);
        page.setFontSize(10);
        page.setCurrentX(100);
        page.setCurrentY(200);
        page.print(u"姓名：张三"_qs);
        QCOMPARE(page.currentX(), 100.0);
        QCOMPARE(page.currentY(), 200.0 + 240);  // 10 pt line in the recorder: 240 twips
        page.setFontSize(12);
        page.print(u"甲\r\n乙"_qs);  // a line break inside a text starts a line at the same x
        QCOMPARE(page.currentY(), 440.0 + 2 * 288);

        // Staying on the line moves x by the text's width instead: 2 wide + 2 narrow characters.
        page.print(u"男女12"_qs, Page::Advance::StayOnLine);
        QCOMPARE(page.currentX(), 100.0 + 3 * 240);
        QCOMPARE(page.currentY(), 1016.0);
        QCOMPARE(page.textWidth(u"男女12"_qs), 720.0);
        QCOMPARE(page.textHeight(u"a\nb"_qs), 576.0);

        const QList<QPair<QString, double>> expected{
            {u"姓名：张三"_qs, 200}, {u"甲"_qs, 440}, {u"乙"_qs, 728}, {u"男女12"_qs, 1016}};
        QCOMPARE(textsAndTops(sink), expected);
        for (const PageOperation& op : sink.ofKind(Kind::Text))
            QCOMPARE(op.x, 100.0);
        QCOMPARE(sink.ofKind(Kind::Text).first().font, (PageFont{u"宋体"_qs, 10, false}));
    }

    void scaleOriginPlacesPoints_data()
    {
        QTest::addColumn<bool>("millimetres");
        QTest::addColumn<double>("scaleLeft");
        QTest::addColumn<double>("scaleTop");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPointF>("twips");  // from the printable area's corner

        QTest::newRow("plain twips") << false << 0.0 << 0.0 << QPointF(1224, 360) << QPointF(1224, 360);
        QTest::newRow("sheet portrait 120/200 mm")
            << false << -6237.0 << -10773.0 << QPointF(0, 0) << QPointF(6237, 10773);
        QTest::newRow("sheet landscape 120 mm") << false << -14458.5 << 567.0 << QPointF(600, 600)
                                                << QPointF(15058.5, 33);
        QTest::newRow("log in millimetres, margins 10/10")
            << true << -10.0 << 0.0 << QPointF(80, 20) << QPointF(90 * 56.7, 20 * 56.7);
    }

    void scaleOriginPlacesPoints()
    {
        QFETCH(bool, millimetres);
        QFETCH(double, scaleLeft);
        QFETCH(double, scaleTop);
        QFETCH(QPointF, point);
        QFETCH(QPointF, twips);

        RecordingSink sink;
        Page page(sink);
        if (millimetres)
            page.setUnit(Page::Unit::Millimetres);
        QVERIFY(page.setScaleLeft(scaleLeft));
        QVERIFY(page.setScaleTop(scaleTop));
        page.setCurrentX(point.x());
        page.setCurrentY(point.y());
        page.print(u"x"_qs);
        page.line(point.x(), point.y(), point.x() + 1, point.y());

        const PageOperation text = sink.ofKind(Kind::Text).value(0);
        QCOMPARE(QPointF(text.x, text.y), twips);
        const PageOperation line = sink.ofKind(Kind::Line).value(0);
        QCOMPARE(QPointF(line.x, line.y), twips);
        QCOMPARE(line.x2 - line.x, millimetres ? 56.7 : 1.0);
        // The line height is that of the font on paper, in the page's unit.
        QCOMPARE(page.currentY(), double(float(point.y() + 288 / (millimetres ? 56.7 : 1.0))));
    }

    void marginOriginFollowsTheSheetRules_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("scaleLeft");
        QTest::addColumn<double>("scaleTop");

        QTest::newRow("portrait 120/200") << 120.0 << 200.0 << false << -6237.0 << -10773.0;
        QTest::newRow("landscape 120/200") << 120.0 << 200.0 << true << -14458.5 << -10773.0;
        QTest::newRow("portrait 3/5") << 3.0 << 5.0 << false << double(396.9f) << double(283.5f);
        QTest::newRow("landscape 0/0") << 0.0 << 0.0 << true << -7654.5 << 567.0;
    }

    void marginOriginFollowsTheSheetRules()
    {
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(bool, landscape);
        QFETCH(double, scaleLeft);
        QFETCH(double, scaleTop);

        RecordingSink sink;
        Page page(sink);
        setMarginOrigin(page, left, top, landscape);
        QCOMPARE(page.scaleLeft(), scaleLeft);
        QCOMPARE(page.scaleTop(), scaleTop);
    }

    void jobRunsFromFirstOutputToEndDoc()
    {
        RecordingSink sink;
        Page page(sink);
        QVERIFY(page.setOrientation(QPageLayout::Landscape));
        page.setDrawWidth(2);
        page.setScaleLeft(-100);
        page.setScaleTop(-50);
        QVERIFY(sink.operations.isEmpty());  // settings alone start nothing

        page.line(0, 10, 500, 10);
        QVERIFY(!page.setOrientation(QPageLayout::Portrait));
        QCOMPARE(page.orientation(), QPageLayout::Landscape);
        page.setCurrentX(300);
        page.setCurrentY(400);
        page.newPage();
        QCOMPARE(page.currentX(), -100.0);  // top-left corner of the new sheet
        QCOMPARE(page.currentY(), -50.0);
        QVERIFY(page.endDoc());
        page.print(u"after the end"_qs);
        page.line(0, 0, 1, 1);

        const QList<Kind> kinds{Kind::Begin, Kind::Line, Kind::NewPage, Kind::End};
        QList<Kind> seen;
        for (const PageOperation& op : sink.operations)
            seen << op.kind;
        QCOMPARE(seen, kinds);
        QCOMPARE(sink.operations[0].orientation, QPageLayout::Landscape);
        const PageOperation& line = sink.operations[1];
        QCOMPARE(QList<double>({line.x, line.y, line.x2, line.y2}), QList<double>({100, 60, 600, 60}));
        QCOMPARE(line.width, 2);
    }

    void endDocReportsTheSink_data()
    {
        QTest::addColumn<bool>("draw");
        QTest::addColumn<bool>("failBegin");
        QTest::addColumn<bool>("failEnd");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("operations");

        QTest::newRow("nothing drawn: nothing sent") << false << false << false << true << 0;
        QTest::newRow("drawn") << true << false << false << true << 3;
        QTest::newRow("device cannot start") << true << true << false << false << 1;
        QTest::newRow("device fails the job") << true << false << true << false << 3;
    }

    void endDocReportsTheSink()
    {
        QFETCH(bool, draw);
        QFETCH(bool, failBegin);
        QFETCH(bool, failEnd);
        QFETCH(bool, result);
        QFETCH(int, operations);

        RecordingSink sink;
        sink.failBegin = failBegin;
        sink.failEnd = failEnd;
        Page page(sink);
        if (draw)
            page.print(u"处方"_qs);
        QCOMPARE(page.endDoc(), result);
        QCOMPARE(page.endDoc(), result);
        QCOMPARE(sink.operations.size(), operations);
    }

    void bodyPrinterPrintsHardLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cap");
        QTest::addColumn<bool>("printBlanks");
        QTest::addColumn<QStringList>("printed");

        QTest::newRow("empty, blanks skipped") << QString() << 20 << false << QStringList();
        QTest::newRow("empty, blanks printed") << QString() << 15 << true << QStringList{QString()};
        QTest::newRow("trailing break, blanks printed")
            << u"甲\r\n"_qs << 15 << true << QStringList{u"甲"_qs, QString()};
        QTest::newRow("leading blanks kept, blank lines skipped")
            << body({u"阿莫西林胶囊"_qs, QString(), u"   "_qs, u"    用法：0.5g tid"_qs, u"\t"_qs}) << 20 << false
            << QStringList{u"阿莫西林胶囊"_qs, u"    用法：0.5g tid"_qs, u"\t"_qs};
        QStringList many = numbered(u"药"_qs, 25);
        many.insert(3, QString());
        many.insert(7, u"  "_qs);
        QTest::newRow("25 lines, cap 20, blanks neither count nor print")
            << body(many) << 20 << false << numbered(u"药"_qs, 20);
        QStringList card = numbered(u"针"_qs, 18);
        card.insert(2, QString());
        QStringList cardPrinted = card.mid(0, 15);
        QTest::newRow("18 lines, cap 15, blanks count") << body(card) << 15 << true << cardPrinted;
        QTest::newRow("any line break") << u"a\nb\rc\u2029d"_qs << 20 << false
                                        << QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs};
    }

    void bodyPrinterPrintsHardLines()
    {
        QFETCH(QString, text);
        QFETCH(int, cap);
        QFETCH(bool, printBlanks);
        QFETCH(QStringList, printed);

        RecordingSink sink;
        Page page(sink);
        page.setFontSize(12);                                             // 288 twips a line
        page.setCurrentX(9999);                                           // replaced by x
        printBodyText(page, text, 1224, 1500, cap, printBlanks ? BlankLines::Print : BlankLines::Skip, 90);

        QCOMPARE(sink.texts(), printed);
        const QList<PageOperation> ops = sink.ofKind(Kind::Text);
        for (int i = 0; i < ops.size(); ++i) {
            QCOMPARE(ops[i].x, 1224.0);
            QCOMPARE(ops[i].y, 1500.0 + 90 + i * (288.0 + 90));
        }
    }

    // Positions on real paper: a PDF read back with the poppler tools. Margins make the printable
    // area smaller than the sheet, so the test sees whether positions count from its corner.
    void pdfPutsTextAndLinesWhereThePageSays_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QMarginsF>("margins");  // millimetres

        // Whole points (36 and 72), as the PDF device keeps its printable area.
        QTest::newRow("portrait, margins") << false << QMarginsF(12.7, 25.4, 12.7, 25.4);
        QTest::newRow("landscape, no margins") << true << QMarginsF();
    }

    void pdfPutsTextAndLinesWhereThePageSays()
    {
        QFETCH(bool, landscape);
        QFETCH(QMarginsF, margins);

        struct Text {
            QString text;
            PageFont font;
            QPointF twips;
        };
        const QList<Text> texts{
            {u"门诊处方笺"_qs, {u"黑体"_qs, 14, true}, {2790, 180}},
            {u"Rp"_qs, {u"宋体"_qs, 12, false}, {600, 1500}},
            {u"阿莫西林胶囊"_qs, {u"楷体_GB2312"_qs, 10.5, false}, {1670, 4000}},
        };
        const double ruleY = 3000;

        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"页面.pdf"_qs);
        PdfTarget target(pdf, margins);
        QVERIFY(target.run(u"处方"_qs, [&](Page& page) {
            page.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            for (const Text& t : texts) {
                page.setFontName(t.font.name);
                page.setFontSize(t.font.pointSize);
                page.setFontBold(t.font.bold);
                page.setCurrentX(t.twips.x());
                page.setCurrentY(t.twips.y());
                page.print(t.text);
            }
            page.setDrawWidth(6);
            page.line(270, ruleY, 7020, ruleY);
            page.endDoc();
        }));

        const PdfPage read = readPdfPage(pdf);
        QCOMPARE(read.size.width() > read.size.height(), landscape);
        const QPointF corner(margins.left() * kPointsPerMillimetre, margins.top() * kPointsPerMillimetre);
        for (const Text& t : texts) {
            const auto word = std::find_if(read.words.begin(), read.words.end(),
                                           [&](const PdfWord& w) { return w.text == t.text; });
            QVERIFY2(word != read.words.end(), qPrintable(u"not found as text: "_qs + t.text));
            const QPointF expected = corner + t.twips / 20.0;
            QVERIFY2(std::abs(word->box.left() - expected.x()) <= 0.5,
                     qPrintable(QStringLiteral("%1 left %2, expected %3").arg(t.text).arg(word->box.left()).arg(expected.x())));
            QVERIFY2(std::abs(word->box.top() - expected.y()) <= 0.5,
                     qPrintable(QStringLiteral("%1 top %2, expected %3").arg(t.text).arg(word->box.top()).arg(expected.y())));
        }

        // Every font is embedded: the "emb" column of pdffonts says yes on each font's line.
        const QList<QByteArray> fontLines = runTool(u"pdffonts"_qs, {pdf}).split('\n');
        const qsizetype emb = fontLines.value(0).indexOf(" emb ") + 1;
        QVERIFY(emb > 0 && fontLines.size() > 2 && !fontLines[2].isEmpty());
        for (const QByteArray& font : fontLines.mid(2))
            if (!font.isEmpty())
                QVERIFY2(font.mid(emb, 3) == "yes", font.constData());

        // The rule, found on a 144 dpi rendering (a pixel is half a point): dark across its length
        // at its height, and light just above and below.
        runTool(u"pdftoppm"_qs, {u"-r"_qs, u"144"_qs, u"-gray"_qs, u"-png"_qs, u"-singlefile"_qs, pdf,
                                 folder.filePath(u"page"_qs)});
        const QImage image(folder.filePath(u"page.png"_qs));
        QVERIFY(!image.isNull());
        const auto dark = [&](double xPt, double yPt) { return qGray(image.pixel(qRound(xPt * 2), qRound(yPt * 2))) < 128; };
        const double ruleTop = corner.y() + ruleY / 20.0;
        for (double x : {270.0 + 20, 3000.0, 7020.0 - 20})
            QVERIFY2(dark(corner.x() + x / 20.0, ruleTop), qPrintable(QString::number(x)));
        // 6 dots at 600 dpi are 0.72 pt: nothing dark 1.5 pt away on either side.
        QVERIFY(!dark(corner.x() + 150, ruleTop - 1.5));
        QVERIFY(!dark(corner.x() + 150, ruleTop + 1.5));
        QVERIFY(!dark(corner.x() + 270 / 20.0 - 2, ruleTop));
    }

    // Herb cells padded with blanks, two columns to a Chinese character and one to a Latin one,
    // line up on paper in the body's faces.
    void herbColumnsLineUpOnPaper_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("宋体") << u"宋体"_qs;
        QTest::newRow("楷体_GB2312") << u"楷体_GB2312"_qs;
    }
    void herbColumnsLineUpOnPaper()
    {
        QFETCH(QString, face);
        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"草药.pdf"_qs);
        QVERIFY(PdfTarget(pdf).run(u"处方"_qs, [&](Page& page) {
            page.setFontName(face);
            page.setFontSize(12);
            printBodyText(page, u"黄芪30g     当归10g\r\n川芎6g      白芍12g\r\nab12345678  甘草6g"_qs, 1000, 1000, 20,
                          BlankLines::Skip, 90);
            page.endDoc();
        }));
        const PdfPage read = readPdfPage(pdf);
        for (const QString& second : {u"当归10g"_qs, u"白芍12g"_qs, u"甘草6g"_qs}) {
            const auto word = std::find_if(read.words.begin(), read.words.end(),
                                           [&](const PdfWord& w) { return w.text == second; });
            QVERIFY2(word != read.words.end(), qPrintable(second));
            // Twelve columns of 6 pt each from the start of the line.
            QVERIFY2(std::abs(word->box.left() - (50 + 72)) <= 0.1,
                     qPrintable(QStringLiteral("%1 at %2").arg(second).arg(word->box.left())));
        }
    }

    // Sizes far beyond the sheet print as they are asked for; a size whose font metrics the
    // device cannot hold (its line height would turn negative or collapse) keeps the size in force.
    void pdfTakesAnySizeItsFontsCanScaleTo()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"大字.pdf"_qs);
        PdfTarget target(pdf);
        QList<bool> accepted;
        double sizeAfter = 0;
        double advance = 0;
        QVERIFY(target.run(u"处方"_qs, [&](Page& page) {
            for (const QString& face : {u"宋体"_qs, u"黑体"_qs}) {
                page.setFontName(face);
                accepted << page.setFontSize(600) << page.setFontSize(1e6) << page.setFontSize(3e38);
            }
            sizeAfter = page.fontSize();
            page.setCurrentY(0);
            page.print(u"阿"_qs);
            advance = page.currentY();
            page.endDoc();
        }));
        QCOMPARE(accepted, (QList<bool>{true, false, false, true, false, false}));
        QCOMPARE(sizeAfter, 600.0);
        QVERIFY2(advance > 600 * 20, qPrintable(QString::number(advance)));
        QCOMPARE(readPdfPage(pdf).words.value(0).text, u"阿"_qs);
    }

    void printerTargetOffersPdfWhenThereIsNoPrinter_data()
    {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("path");  // what the file dialog returns; "?" a path in the test folder
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("pdfWritten");

        using P = FakePrinterTarget::Printer;
        QTest::newRow("no printer, 否") << int(P::None) << false << "?" << false << QStringList{kNoPrinterQuestion}
                                        << false;
        QTest::newRow("no printer, 是, saved") << int(P::None) << true << "?" << true
                                               << QStringList{kNoPrinterQuestion} << true;
        QTest::newRow("no printer, 是, dialog cancelled")
            << int(P::None) << true << "" << false << QStringList{kNoPrinterQuestion} << false;
        QTest::newRow("no printer, 是, folder missing")
            << int(P::None) << true << "/nonexistent-folder-qelvaro/x.pdf" << false
            << QStringList{kNoPrinterQuestion, kPdfFailedMessage} << false;
        QTest::newRow("job fails, 是, saved") << int(P::Failing) << true << "?" << true
                                              << QStringList{kPrintFailedQuestion} << true;
        QTest::newRow("printer takes the job") << int(P::Working) << true << "?" << true << QStringList() << false;
    }

    void printerTargetOffersPdfWhenThereIsNoPrinter()
    {
        QFETCH(int, printer);
        QFETCH(bool, answer);
        QFETCH(QString, path);
        QFETCH(bool, result);
        QFETCH(QStringList, messages);
        QFETCH(bool, pdfWritten);

        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"处方.pdf"_qs);
        test::MessageRecorder recorder;
        recorder.answers = {answer};
        ScriptedFileDialog dialog;
        dialog.answer = path == u"?" ? pdf : path;
        FakePrinterTarget target(recorder, dialog, FakePrinterTarget::Printer(printer));

        QCOMPARE(target.run(u"处方"_qs, [](Page& page) { page.print(u"复方甘草片"_qs); }), result);
        QCOMPARE(recorder.texts(), messages);
        for (const auto& m : recorder.messages) {
            QCOMPARE(m.title, kMessageTitle);
            QVERIFY(m.icon == MessageIcon::Warning);  // a printout that did not come out
        }
        QCOMPARE(dialog.asked, answer && !messages.isEmpty() ? 1 : 0);
        if (dialog.asked)
            QVERIFY(dialog.suggested.endsWith(u"/处方.pdf"_qs));
        QCOMPARE(QFileInfo::exists(pdf), pdfWritten);
        if (pdfWritten)
            QVERIFY(runTool(u"pdftotext"_qs, {pdf, u"-"_qs}).contains("复方甘草片"));
        // Nothing is left behind under a temporary name.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), pdfWritten ? 1 : 0);
    }
};

QTEST_MAIN(PageTest)
#include "PageTest.moc"
