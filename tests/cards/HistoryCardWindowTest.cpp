#include "Fonts.h"
#include "HistoryCardWindow.h"
#include "MainWindow.h"
#include "ScriptedFileDialog.h"
#include "SettingsCopy.h"
#include "Page.h"
#include "PdfText.h"
#include "PrintTarget.h"
#include "ProgramFixture.h"
#include "RecordingSink.h"
#include "Database.h"
#include "WindowHelpers.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;
using Kind = PageOperation::Kind;

namespace {

const QString kLongHistory =
    u"患者三天前受凉后出现咳嗽，咳少量白色黏痰，伴咽痛、低热，体温最高三十八度，无胸闷气促，自服感冒药效果不佳，今来就诊。"_qs;

// A main window with a prescription in it and the history card window over both.
struct CardFixture : ProgramFixture {
    explicit CardFixture(PrintTarget* target = nullptr) : ProgramFixture(target) {}

    void build()
    {
        main = std::make_unique<MainWindow>(context);
        main->setClinicName(u"清溪社区卫生服务站"_qs);
        main->headingBox(HeadingField::Name)->setText(u"张三"_qs);
        main->headingBox(HeadingField::Sex)->setText(u"男"_qs);
        main->headingBox(HeadingField::Age)->setText(u"35岁"_qs);
        main->headingBox(HeadingField::Date)->setText(u"2024-03-05"_qs);
        main->headingBox(HeadingField::Address)->setText(u"清溪路1号"_qs);
        main->headingBox(HeadingField::Doctor)->setText(u"林志远"_qs);
        main->historyBox()->setPlainText(u"咳嗽三天\n无药物过敏"_qs);
        main->body()->setPlainText(u"阿莫西林胶囊  0.25g*24\n    用法：0.5g tid"_qs);
        main->hidePopups();
        card = std::make_unique<HistoryCardWindow>(*main, context);
    }

    template <typename T>
    T* find(const QString& name) const
    {
        T* found = card->findChild<T*>(name);
        if (!found)
            qFatal("no %s", qPrintable(name));
        return found;
    }

    std::unique_ptr<MainWindow> main;
    std::unique_ptr<HistoryCardWindow> card;
};

QStringList jobTexts(const RecordingTarget::Job& job)
{
    QStringList texts;
    for (const PageOperation& op : job.operations)
        if (op.kind == Kind::Text)
            texts << op.text;
    return texts;
}

// The operations that draw (texts and lines), without the job's start and end.
QList<PageOperation> drawing(const QList<PageOperation>& operations)
{
    QList<PageOperation> drawn;
    for (const PageOperation& op : operations)
        if (op.kind == Kind::Text || op.kind == Kind::Line)
            drawn << op;
    return drawn;
}

OwnPrintSettings stored(CardFixture& f) { return readOwnPrintSettings(f.store.settings(), 4).value_or(OwnPrintSettings{}); }

class NoPrinterTarget : public PrinterTarget {
public:
    using PrinterTarget::PrinterTarget;

protected:
    Outcome printOnDefaultPrinter(const Printout&) override { return Outcome::NoPrinter; }
};

}  // namespace

class HistoryCardWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    // The copy is taken when the window opens; pressing the card button again while it is open
    // only brings it forward. The print reads the body again at the press.
    void opensWithACopyThatLastsUntilClosed()
    {
        RecordingTarget target;
        CardFixture f(&target);
        QVERIFY(f.opened);
        f.build();
        f.card->open();
        QCOMPARE(f.card->windowTitle(), u"病史打印"_qs);
        QCOMPARE(f.card->card().clinicName, u"清溪社区卫生服务站"_qs);
        QCOMPARE(f.card->card().values,
                 (std::array<QString, 6>{u"张三"_qs, u"男"_qs, u"35岁"_qs, u"2024-03-05"_qs, u"清溪路1号"_qs, u"林志远"_qs}));
        QCOMPARE(f.card->card().historyLines, (QStringList{u"咳嗽三天"_qs, u"无药物过敏"_qs}));

        f.main->headingBox(HeadingField::Name)->setText(u"李四"_qs);
        f.main->historyBox()->setPlainText(u"头痛"_qs);
        f.main->body()->setPlainText(u"布洛芬缓释胶囊  0.3g*20"_qs);
        f.card->open();
        QCOMPARE(f.card->card().values[HistoryCard::Name], u"张三"_qs);
        QTest::mouseClick(f.find<QPushButton>(u"printHistoryButton"_qs), Qt::LeftButton);
        QCOMPARE(target.jobs.size(), 1);
        QCOMPARE(target.jobs[0].name, u"门诊病历卡"_qs);
        const QStringList texts = jobTexts(target.jobs[0]);
        QVERIFY(texts.contains(u"张三"_qs));
        QVERIFY(texts.contains(u"咳嗽三天"_qs));
        QCOMPARE(texts.last(), u"布洛芬缓释胶囊  0.3g*20"_qs);
        QVERIFY(f.messages.messages.isEmpty());

        // Closing and opening again takes a fresh copy, and the card is back at the top.
        auto* bar = f.find<QScrollBar>(u"cardScrollBar"_qs);
        bar->setValue(5);
        QCOMPARE(f.find<QWidget>(u"cardSurface"_qs)->y(), -qRound(2636 / 15.0));
        f.card->close();
        f.card->open();
        QCOMPARE(f.card->card().values[HistoryCard::Name], u"李四"_qs);
        QCOMPARE(f.card->card().historyLines, QStringList{u"头痛"_qs});
        QCOMPARE(bar->value(), 0);
        QCOMPARE(f.find<QWidget>(u"cardSurface"_qs)->y(), 0);
    }

    // The record breaks into lines as the card's history box shows it: at every line break and
    // where a line is wider than the box.
    void historyLinesAsTheBoxShowsThem_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<QStringList>("paragraphs");

        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("CR LF and empty lines") << u"主诉：咳嗽\r\n\r\n查体：咽红\r\n"_qs
                                               << QStringList{u"主诉：咳嗽"_qs, QString(), u"查体：咽红"_qs, QString()};
        QTest::newRow("a long line wraps") << kLongHistory << QStringList{kLongHistory};
        QTest::newRow("long line without break points")
            << QString(120, u'a') + u"\n短"_qs << QStringList{QString(120, u'a'), u"短"_qs};
    }

    void historyLinesAsTheBoxShowsThem()
    {
        QFETCH(QString, history);
        QFETCH(QStringList, paragraphs);

        RecordingTarget target;
        CardFixture f(&target);
        QVERIFY(f.opened);
        f.build();
        f.main->historyBox()->setPlainText(history);
        f.card->open();

        const QStringList lines = f.card->card().historyLines;
        const auto* box = f.find<QPlainTextEdit>(u"historyBox"_qs);
        QVERIFY(!box->isVisible());
        const QFontMetricsF metrics(box->font());
        const double innerWidth = 6855 / 15.0 - 2 * box->frameWidth() - 2 * box->document()->documentMargin();
        QVERIFY(innerWidth > 400);
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= innerWidth, qPrintable(line));
        // Each paragraph is its displayed lines joined, and a long one takes more than one line.
        int at = 0;
        for (const QString& paragraph : paragraphs) {
            QString rebuilt = lines.value(at++);
            while (rebuilt.size() < paragraph.size() && at < lines.size())
                rebuilt += lines[at++];
            QCOMPARE(rebuilt, paragraph);
        }
        QCOMPARE(at, lines.size());
        if (history == kLongHistory)
            QVERIFY(lines.size() > 1);

        // The print carries exactly these lines, one below the other at the history box's left.
        QVERIFY(f.card->print());
        QList<PageOperation> printed;
        for (const PageOperation& op : target.jobs[0].operations)
            if (op.kind == Kind::Text)
                printed << op;
        const double pitch = RecordingSink::lineHeightFor(10.5) + 90;
        for (int i = 0; i < lines.size(); ++i) {
            const PageOperation& op = printed.at(14 + i);
            QCOMPARE(op.text, lines[i]);
            QCOMPARE(op.x, 1020.0);
            QVERIFY(qAbs(op.y - (2880 + i * pitch)) < 0.01);
        }
    }

    // The margins and orientation come from the settings row on opening and go back on closing,
    // exactly as typed; only "0" stands for 横打.
    void printSettingsRoundTrip_data()
    {
        QTest::addColumn<QString>("storedOrientation");
        QTest::addColumn<bool>("portrait");

        QTest::newRow("0: landscape") << u"0"_qs << false;
        QTest::newRow("1: portrait") << u"1"_qs << true;
        QTest::newRow("empty: portrait") << QString() << true;
        QTest::newRow("anything else: portrait") << u"横"_qs << true;
    }

    void printSettingsRoundTrip()
    {
        QFETCH(QString, storedOrientation);
        QFETCH(bool, portrait);

        RecordingTarget target;
        CardFixture f(&target);
        QVERIFY(f.opened);
        QVERIFY(writeOwnPrintSettings(f.store.settings(), 4, {u"3"_qs, u"5"_qs, storedOrientation}, true));
        f.build();
        f.card->open();
        auto* left = f.find<QLineEdit>(u"leftMarginBox"_qs);
        auto* top = f.find<QLineEdit>(u"topMarginBox"_qs);
        auto* portraitOption = f.find<QRadioButton>(u"portraitOption"_qs);
        auto* landscapeOption = f.find<QRadioButton>(u"landscapeOption"_qs);
        QCOMPARE(left->text(), u"3"_qs);
        QCOMPARE(top->text(), u"5"_qs);
        QCOMPARE(portraitOption->isChecked(), portrait);
        QCOMPARE(landscapeOption->isChecked(), !portrait);

        // What the boxes hold at the press prints at once, unvalidated.
        left->clear();
        QTest::keyClicks(left, u"12abc"_qs);
        top->clear();
        QTest::mouseClick(portrait ? landscapeOption : portraitOption, Qt::LeftButton);
        QVERIFY(f.card->print());
        const PageOperation begin = target.jobs[0].operations.first();
        QCOMPARE(begin.orientation, portrait ? QPageLayout::Landscape : QPageLayout::Portrait);
        const PageOperation name = target.jobs[0].operations.at(3);
        QCOMPARE(name.text, u"姓名："_qs);
        QVERIFY(qAbs(name.x - (1020 + 12 * 56.7 + (portrait ? 7654.5 : -567))) < 0.01);
        QVERIFY(qAbs(name.y - (1980 - 567)) < 0.01);

        QCOMPARE(stored(f).left, u"3"_qs);  // nothing is stored before the window closes
        f.card->close();
        QCOMPARE(stored(f), (OwnPrintSettings{u"12abc"_qs, QString(), portrait ? u"0"_qs : u"1"_qs}));
        QVERIFY(f.messages.messages.isEmpty());
    }

    // Boxes that never received the stored values do not replace them on closing; a close that
    // could not store what the doctor typed says so.
    void settingsThatCouldNotBeReadAreNeverOverwritten()
    {
        CardFixture f;
        QVERIFY(f.opened);
        Database* settings = f.store.settings();
        f.build();
        QVERIFY(settings->exec("ALTER TABLE \"设置\" RENAME TO \"设置_\""));
        f.card->open();
        QCOMPARE(f.find<QLineEdit>(u"leftMarginBox"_qs)->text(), QString());
        QCOMPARE(f.find<QLineEdit>(u"topMarginBox"_qs)->text(), QString());
        QVERIFY(f.find<QRadioButton>(u"landscapeOption"_qs)->isChecked());
        QVERIFY(settings->exec("ALTER TABLE \"设置_\" RENAME TO \"设置\""));
        f.card->close();
        QCOMPARE(stored(f), (OwnPrintSettings{u"10"_qs, u"10"_qs, u"1"_qs}));
        QVERIFY(f.messages.messages.isEmpty());

        f.card->open();
        f.find<QLineEdit>(u"leftMarginBox"_qs)->setText(u"20"_qs);
        QVERIFY(settings->exec("ALTER TABLE \"设置\" RENAME TO \"设置_\""));
        f.card->close();
        QCOMPARE(f.messages.texts(), QStringList{u"病史打印的边距和方向未能保存。"_qs});
    }

    // The preview is the print's drawing on a card surface: with the margins at the 10 mm base the
    // two record the same positions, apart from the number of prescription lines.
    void previewDrawsWhatThePrintPrints()
    {
        RecordingTarget target;
        CardFixture f(&target);
        QVERIFY(f.opened);
        f.build();
        f.main->historyBox()->setPlainText(kLongHistory + u"\n\n既往体健"_qs);
        QStringList body;
        for (int i = 1; i <= 20; ++i)
            body << QStringLiteral("药品%1  1盒").arg(i) << u"    用法：0.5g tid"_qs;
        f.main->body()->setPlainText(body.join(u'\n'));
        QVERIFY(writeOwnPrintSettings(f.store.settings(), 4, {u"10"_qs, u"10"_qs, u"1"_qs}, true));
        f.card->open();
        QVERIFY(f.card->print());

        RecordingSink preview;
        {
            Page page(preview);
            f.card->drawPreview(page);
        }
        const QList<PageOperation> printed = drawing(target.jobs[0].operations);
        const QList<PageOperation> previewed = drawing(preview.operations);
        QCOMPARE(printed.size(), previewed.size() + 4);  // 19 body lines against 15
        for (int i = 0; i < previewed.size(); ++i) {
            QCOMPARE(previewed[i].text, printed[i].text);
            QCOMPARE(previewed[i].font, printed[i].font);
            QVERIFY(qAbs(previewed[i].x - printed[i].x) < 0.01 && qAbs(previewed[i].y - printed[i].y) < 0.01);
            QVERIFY(qAbs(previewed[i].x2 - printed[i].x2) < 0.01 && qAbs(previewed[i].y2 - printed[i].y2) < 0.01);
        }
        QCOMPARE(printed.last().text, u"药品10  1盒"_qs);
        QCOMPARE(previewed.last().text, u"药品8  1盒"_qs);

        // The surface shows that drawing: the top rule is black where it should be, the paper
        // beside it blank.
        const QImage image = f.card->previewImage();
        QCOMPARE(image.size(), QSize(559, 794));
        QVERIFY(QColor(image.pixel(300, 124)).lightness() < 100 || QColor(image.pixel(300, 125)).lightness() < 100);
        QCOMPARE(QColor(image.pixel(20, 300)).lightness(), 255);
    }

    // Printed to PDF and read back: the card at the margins, history lines and prescription lines
    // one below the other.
    void pdfEndToEnd()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"card.pdf"_qs);
        PdfTarget target(pdf);
        CardFixture f(&target);
        QVERIFY(f.opened);
        f.build();
        f.main->historyBox()->setPlainText(u"主诉咳嗽三天\r\n查体咽红"_qs);
        QVERIFY(writeOwnPrintSettings(f.store.settings(), 4, {u"15"_qs, u"20"_qs, u"1"_qs}, true));
        f.card->open();
        QVERIFY(f.card->print());

        const PdfPage page = readPdfPage(pdf);
        QVERIFY(page.size.width() < page.size.height());
        const auto top = [&](const QString& text) -> QRectF {
            for (const PdfWord& w : page.words)
                if (w.text.startsWith(text))
                    return w.box;
            return {};
        };
        // Twips on the card to points on the sheet: 5 mm right and 10 mm down of the card's own place.
        const auto at = [](double x, double y) { return QPointF(x + 5 * 56.7, y + 10 * 56.7) / 20.0; };
        const QList<QPair<QString, QPointF>> fixed{{u"姓名："_qs, at(1020, 1980)},
                                                   {u"张三"_qs, at(1620, 1980)},
                                                   {u"医生："_qs, at(5520, 10020)},
                                                   {u"主诉咳嗽三天"_qs, at(1020, 2880)}};
        for (const auto& [text, expected] : fixed) {
            const QRectF box = top(text);
            QVERIFY2(!box.isNull(), qPrintable(text));
            QVERIFY2(QLineF(box.topLeft(), expected).length() <= 0.5,
                     qPrintable(QStringLiteral("%1 at (%2, %3), expected (%4, %5)")
                                    .arg(text).arg(box.left()).arg(box.top()).arg(expected.x()).arg(expected.y())));
        }
        const QRectF second = top(u"查体咽红"_qs);
        const QRectF drug = top(u"阿莫西林胶囊"_qs);
        const QRectF usage = top(u"用法：0.5g"_qs);
        const double pitch = second.top() - top(u"主诉咳嗽三天"_qs).top();
        QVERIFY(pitch > (90 + 10.5 * 20) / 20.0 && pitch < (90 + 10.5 * 20 * 1.6) / 20.0);
        QVERIFY(qAbs(second.left() - at(1020, 0).x()) <= 0.5);
        QVERIFY(qAbs(drug.left() - at(1670, 0).x()) <= 0.5);
        QVERIFY(qAbs(drug.top() - (second.top() + pitch + 90 / 20.0)) <= 0.5);
        QVERIFY(qAbs(usage.top() - (drug.top() + pitch)) <= 0.5);
        QVERIFY(usage.left() > drug.left() + 10);  // its four leading blanks
    }

    // The margin captions stand whole before their boxes: a box drawn over the end of its caption
    // would hide the unit.
    void marginCaptionsShowWhole()
    {
        CardFixture f;
        QVERIFY(f.opened);
        f.build();
        f.card->open();
        const std::pair<QString, QString> pairs[] = {{u"打印左边距(mm)"_qs, u"leftMarginBox"_qs},
                                                     {u"打印上边距(mm)"_qs, u"topMarginBox"_qs}};
        for (const auto& [caption, boxName] : pairs) {
            QLabel* label = nullptr;
            for (QLabel* l : f.card->findChildren<QLabel*>())
                if (l->text() == caption)
                    label = l;
            QVERIFY2(label, qPrintable(caption));
            const auto* box = f.find<QLineEdit>(boxName);
            const int needed = label->fontMetrics().horizontalAdvance(caption);
            QVERIFY2(label->x() + needed <= box->x(), qPrintable(caption));
        }
    }

    // Without a printer the doctor is asked about a PDF; declined, the print is not reported done.
    void withoutAPrinterNothingIsReportedPrinted()
    {
        CardFixture f;
        ScriptedFileDialog dialog;
        NoPrinterTarget target(f.messages, dialog);
        f.context.printTarget = &target;
        QVERIFY(f.opened);
        f.build();
        f.card->open();
        f.messages.answers = {false};
        QVERIFY(!f.card->print());
        QCOMPARE(f.messages.texts(), QStringList{kNoPrinterQuestion});
    }
};

QTEST_MAIN(HistoryCardWindowTest)
#include "HistoryCardWindowTest.moc"
