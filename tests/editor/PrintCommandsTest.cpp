#include "FakePrintQueue.h"
#include "Fonts.h"
#include "MainWindowFixture.h"
#include "Page.h"
#include "PdfText.h"
#include "PrintCommands.h"
#include "PrintTarget.h"
#include "RecordingSink.h"
#include "OverlayPrint.h"
#include "DrawingSurface.h"
#include "ScriptedFileDialog.h"
#include "ToolbarButton.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;
using Kind = PageOperation::Kind;

namespace {

constexpr double kMm = 56.7;

// A program folder, its databases and a main window printing to the given target.
struct Editor : MainWindowFixture {
    explicit Editor(PrintTarget* target) : MainWindowFixture(target) { buildWindow(); }
};

const QString kBody = u"阿莫西林胶囊  0.25g*24\n    用法：0.5g tid\n\n0.9%氯化钠注射液  250ml\n    用法：iv/gtt qd"_qs;
const QString kCard = u"0.9%氯化钠注射液  250ml\n    用法：iv/gtt qd"_qs;

// A prescription in the editor, the two hidden fields filled too.
void fill(MainWindow& w)
{
    const std::initializer_list<std::pair<HeadingField, QString>> fields{
        {HeadingField::Name, u"张三"_qs},        {HeadingField::Sex, u"男"_qs},
        {HeadingField::Age, u"35岁"_qs},         {HeadingField::Date, u"2024-03-05"_qs},
        {HeadingField::Diagnosis, u"上呼吸道感染"_qs}, {HeadingField::Doctor, u"林志远"_qs},
        {HeadingField::Telephone, u"13900000000"_qs}, {HeadingField::PastHistory, u"高血压病史"_qs}};
    for (const auto& [field, text] : fields)
        w.headingBox(field)->setText(text);
    w.body()->setPlainText(kBody);
    w.hidePopups();
    w.injectionCardBox()->setPlainText(kCard);
    const QStringList header{u"张三"_qs, u"男"_qs, u"35岁"_qs, u"2024-03-05"_qs, u"林志远"_qs};
    for (int i = 0; i < header.size(); ++i)
        w.cardHeaderBox(CardHeader(i))->setText(header[i]);
}

// Twips of a control's corner on a surface.
QPointF cornerOn(const QWidget* control, const QWidget* surface)
{
    const QPoint p = control->mapTo(surface, QPoint());
    return QPointF(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
}

// The words a text was printed as start with it; the one nearest to where it should be.
const PdfWord* nearestWord(const PdfPage& page, const QString& text, QPointF expected)
{
    const PdfWord* best = nullptr;
    double bestDistance = 0;
    for (const PdfWord& w : page.words) {
        if (!w.text.startsWith(text))
            continue;
        const double d = QLineF(w.box.topLeft(), expected).length();
        if (!best || d < bestDistance) {
            best = &w;
            bestDistance = d;
        }
    }
    return best;
}

// A default printer that is not there, so the real no-printer road runs.
class NoPrinterTarget : public PrinterTarget {
public:
    using PrinterTarget::PrinterTarget;

protected:
    Outcome printOnDefaultPrinter(const Printout&) override { return Outcome::NoPrinter; }
};

enum class PrintCommand { Sheet, Overlay, Card };

void print(MainWindow& w, PrintCommand printout)
{
    switch (printout) {
    case PrintCommand::Sheet:
        w.menuAction(u"actionPrint"_qs)->trigger();
        break;
    case PrintCommand::Overlay:
        w.menuAction(u"actionOverlayPrint"_qs)->trigger();
        break;
    case PrintCommand::Card:
        QTest::mouseClick(w.cardButton(CardButton::InjectionCard), Qt::LeftButton);
        break;
    }
}

}  // namespace

class PrintCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void eachCommandRunsItsPrintout_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("jobs");

        const QStringList sheet{u"处方"_qs}, overlay{u"处方套打"_qs}, card{u"注射卡"_qs};
        QTest::newRow("menu 打印") << "action actionPrint" << sheet;
        QTest::newRow("toolbar 打印") << "toolbar print" << sheet;
        QTest::newRow("Ctrl+P") << "key P" << sheet;
        QTest::newRow("menu 套打") << "action actionOverlayPrint" << overlay;
        QTest::newRow("toolbar 套打") << "toolbar overlay" << overlay;
        QTest::newRow("Ctrl+L") << "key L" << overlay;
        QTest::newRow("打印注射卡, left button") << "card 2 left" << card;
        QTest::newRow("打印注射卡, right button") << "card 2 right" << QStringList();
        QTest::newRow("打印病史: no window yet") << "card 1 left" << QStringList();
        QTest::newRow("输液执行卡: no window yet") << "card 3 left" << QStringList();
    }

    void eachCommandRunsItsPrintout()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, jobs);

        RecordingTarget target;
        Editor e(&target);
        QVERIFY(e.opened);
        e.window->show();
        e.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e.window.get()));

        const QStringList words = how.split(u' ');
        if (words[0] == u"action") {
            QVERIFY(e.window->menuAction(words[1])->isEnabled());
            e.window->menuAction(words[1])->trigger();
        } else if (words[0] == u"toolbar") {
            ToolbarButton* button = e.window->toolbarButton(words[1] == u"print" ? ToolbarCommand::Print
                                                                                 : ToolbarCommand::OverlayPrint);
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (words[0] == u"key") {
            QTest::keyClick(e.window->body(), words[1] == u"P" ? Qt::Key_P : Qt::Key_L, Qt::ControlModifier);
        } else {
            QLabel* button = e.window->cardButton(CardButton(words[1].toInt()));
            const Qt::MouseButton mouse = words[2] == u"left" ? Qt::LeftButton : Qt::RightButton;
            QTest::mousePress(button, mouse);
            QCOMPARE(button->frameShadow(), mouse == Qt::LeftButton ? QFrame::Sunken : QFrame::Raised);
            QTest::mouseRelease(button, mouse);
            QCOMPARE(button->frameShadow(), QFrame::Raised);
        }

        QStringList names;
        for (const RecordingTarget::Job& job : target.jobs)
            names << job.name;
        QCOMPARE(names, jobs);
        QVERIFY(e.messages.messages.isEmpty());
    }

    void sheetCopiesWhatTheSheetShowsWithUnsavedSettings()
    {
        RecordingTarget target;
        Editor e(&target);
        QVERIFY(e.opened);
        fill(*e.window);
        e.settings.edit().sheetLeft = u"30"_qs;  // typed in the settings window, not saved
        e.settings.edit().fontName = u"楷体_GB2312"_qs;
        e.settings.edit().fontSize = u"14"_qs;
        print(*e.window, PrintCommand::Sheet);

        QCOMPARE(target.jobs.size(), 1);
        RecordingSink job;
        job.operations = target.jobs[0].operations;
        const double shift = 30 * kMm - 567;

        // The ten sheet rules and the fifteen shown underlines.
        QCOMPARE(job.ofKind(Kind::Line).size(), 25);

        const QStringList texts = job.texts();
        for (const QString& shown : {u"普通处方笺"_qs, u"Rp"_qs, u"清溪社区卫生服务站"_qs, u"姓名："_qs, u"张三"_qs,
                                     u"上呼吸道感染"_qs, u"处方正文请勿写过此线"_qs})
            QVERIFY2(texts.contains(shown), qPrintable(shown));
        for (const QString& hidden : {u"电话："_qs, u"13900000000"_qs, u"既往史："_qs, u"高血压病史"_qs})
            QVERIFY2(!texts.contains(hidden), qPrintable(hidden));

        const QList<PageOperation> ops = job.ofKind(Kind::Text);
        const auto find = [&](const QString& text) {
            return *std::find_if(ops.begin(), ops.end(), [&](const PageOperation& op) { return op.text == text; });
        };
        // 姓名： sits in its field box at (480, 1500), itself at (60, 60) in the box.
        const PageOperation caption = find(u"姓名："_qs);
        QVERIFY(std::abs(caption.x - (540 * 1.2 + shift)) < 0.01);
        QCOMPARE(caption.y, 1560 * 1.2);
        QCOMPARE(caption.font, (PageFont{u"宋体"_qs, 10, true}));
        const QPointF field = cornerOn(e.window->headingBox(HeadingField::Name), e.window->sheet()) * 1.2;
        const PageOperation name = find(u"张三"_qs);
        QVERIFY(std::abs(name.x - (field.x() + shift)) < 0.01);
        QCOMPARE(name.y, field.y());
        QCOMPARE(name.font, (PageFont{u"宋体"_qs, 10.75, false}));

        const PageOperation first = find(u"阿莫西林胶囊  0.25g*24"_qs);
        QVERIFY(std::abs(first.x - (1440 * 1.2 + shift)) < 0.01);
        QCOMPARE(first.y, 3120 * 1.2 + 90);
        QCOMPARE(first.font, (PageFont{u"楷体_GB2312"_qs, 14, false}));
        QVERIFY(texts.endsWith(u"    用法：iv/gtt qd"_qs));
    }

    void overlayTakesUnsavedItemPositions()
    {
        RecordingTarget target;
        Editor e(&target);
        QVERIFY(e.opened);
        fill(*e.window);
        SettingsCopy::Values& v = e.settings.edit();
        for (auto& item : v.overlay)
            item.printed = false;
        v.overlay[0] = {true, u"40"_qs, u"50"_qs};
        v.overlayLeft = u"5"_qs;
        print(*e.window, PrintCommand::Overlay);

        QCOMPARE(target.jobs.size(), 1);
        RecordingSink job;
        job.operations = target.jobs[0].operations;
        const QList<PageOperation> ops = job.ofKind(Kind::Text);
        QCOMPARE(ops.value(0).text, u"张三"_qs);
        QVERIFY(std::abs(ops[0].x - 45 * kMm) < 0.01);
        QVERIFY(std::abs(ops[0].y - 50 * kMm) < 0.01);
        QCOMPARE(job.texts().mid(1), (QStringList{u"阿莫西林胶囊  0.25g*24"_qs, u"    用法：0.5g tid"_qs,
                                                  u"0.9%氯化钠注射液  250ml"_qs, u"    用法：iv/gtt qd"_qs}));
    }

    // The card prints every caption of its preview, whatever the captions' objectNames.
    void cardPrintsEveryCaptionOfThePreview()
    {
        RecordingTarget target;
        Editor e(&target);
        QVERIFY(e.opened);
        fill(*e.window);
        const QList<QLabel*> captions =
            e.window->injectionCardPreview()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(captions.size(), 7);
        for (QLabel* caption : captions)
            caption->setObjectName(caption->objectName() + u"Renamed"_qs);
        print(*e.window, PrintCommand::Card);

        QCOMPARE(target.jobs.size(), 1);
        RecordingSink job;
        job.operations = target.jobs[0].operations;
        const QStringList texts = job.texts();
        for (const QLabel* caption : captions)
            QVERIFY2(texts.contains(caption->text()), qPrintable(caption->text()));
    }

    // Real paper: each printout from the window through a PDF, read back with the poppler tools.
    void printoutsLandOnPaper_data()
    {
        QTest::addColumn<int>("printout");
        QTest::addColumn<bool>("portrait");

        QTest::newRow("sheet, portrait") << int(PrintCommand::Sheet) << true;
        QTest::newRow("sheet, landscape") << int(PrintCommand::Sheet) << false;
        QTest::newRow("overlay") << int(PrintCommand::Overlay) << true;
        QTest::newRow("injection card") << int(PrintCommand::Card) << true;
    }

    void printoutsLandOnPaper()
    {
        QFETCH(int, printout);
        QFETCH(bool, portrait);

        QTemporaryDir folder;
        const QString pdf = folder.filePath(u"打印.pdf"_qs);
        PdfTarget target(pdf);
        Editor e(&target);
        QVERIFY(e.opened);
        fill(*e.window);
        SettingsCopy::Values& v = e.settings.edit();
        v.sheetLeft = u"20"_qs;
        v.sheetTop = u"15"_qs;
        v.portrait = portrait;
        v.cardLeft = u"25"_qs;
        v.cardTop = u"30"_qs;
        v.overlayLeft = u"5"_qs;
        v.overlayTop = u"-3"_qs;
        v.overlay[0] = {true, u"26"_qs, u"36"_qs};
        v.overlay[7] = {true, u"100"_qs, u"78"_qs};
        v.overlay[kOverlayBodyItem] = {false, u"31"_qs, u"60"_qs};

        // Expected top-left corners in twips on the paper.
        QList<QPair<QString, QPointF>> expected;
        const MainWindow& w = *e.window;
        switch (PrintCommand(printout)) {
        case PrintCommand::Sheet: {
            const QPointF origin(portrait ? 20 * kMm - 567 : 20 * kMm + 7654.5, 15 * kMm - 567);
            const auto at = [&](const QWidget* control) { return cornerOn(control, w.sheet()) * 1.2 + origin; };
            expected = {{w.titleLabel()->text(), at(w.titleLabel())},
                        {u"Rp"_qs, at(w.sheetLabel(SheetLabel::Rp))},
                        {u"姓名："_qs, at(w.headingCaption(HeadingField::Name))},
                        {u"上呼吸道感染"_qs, at(w.headingBox(HeadingField::Diagnosis))},
                        {u"阿莫西林胶囊"_qs, at(w.body()) + QPointF(0, 90)}};
            break;
        }
        case PrintCommand::Overlay:
            expected = {{u"张三"_qs, QPointF(31, 33) * kMm},
                        {u"2024"_qs, QPointF(105, 75) * kMm},
                        {u"阿莫西林胶囊"_qs, QPointF(36, 57) * kMm + QPointF(0, 90)}};
            break;
        case PrintCommand::Card: {
            const QPointF origin(25 * kMm - 567, 30 * kMm - 567);
            const auto at = [&](const QWidget* control) { return cornerOn(control, w.injectionCardPreview()) * 1.5 + origin; };
            expected = {{u"门诊注射卡"_qs, QPointF(2790, 180) + origin},
                        {u"林志远"_qs, at(w.cardHeaderBox(CardHeader::Doctor))},
                        {u"0.9%氯化钠注射液"_qs, at(w.injectionCardBox()) + QPointF(0, 60)}};
            break;
        }
        }
        print(*e.window, PrintCommand(printout));
        QVERIFY(QFileInfo::exists(pdf));

        const PdfPage page = readPdfPage(pdf);
        QCOMPARE(page.size.width() > page.size.height(), !portrait);
        for (const auto& [text, twips] : expected) {
            const QPointF points = twips / 20.0;
            const PdfWord* word = nearestWord(page, text, points);
            QVERIFY2(word, qPrintable(u"not on the page: "_qs + text));
            QVERIFY2(QLineF(word->box.topLeft(), points).length() <= 0.5,
                     qPrintable(QStringLiteral("%1 at (%2, %3), expected (%4, %5)")
                                    .arg(text)
                                    .arg(word->box.left())
                                    .arg(word->box.top())
                                    .arg(points.x())
                                    .arg(points.y())));
        }

        // Every font is embedded: the "emb" column of pdffonts says yes on each font's line.
        const QList<QByteArray> fontLines = runTool(u"pdffonts"_qs, {pdf}).split('\n');
        const qsizetype emb = fontLines.value(0).indexOf(" emb ") + 1;
        QVERIFY(emb > 0 && fontLines.size() > 2 && !fontLines[2].isEmpty());
        for (const QByteArray& font : fontLines.mid(2))
            if (!font.isEmpty())
                QVERIFY2(font.mid(emb, 3) == "yes", font.constData());
    }

    void withoutAPrinterTheUserIsToldAndMaySaveAPdf_data()
    {
        QTest::addColumn<int>("printout");
        QTest::addColumn<bool>("answer");

        QTest::newRow("sheet, 否") << int(PrintCommand::Sheet) << false;
        QTest::newRow("sheet, 是") << int(PrintCommand::Sheet) << true;
        QTest::newRow("overlay, 是") << int(PrintCommand::Overlay) << true;
        QTest::newRow("injection card, 否") << int(PrintCommand::Card) << false;
    }

    void withoutAPrinterTheUserIsToldAndMaySaveAPdf()
    {
        QFETCH(int, printout);
        QFETCH(bool, answer);

        QTemporaryDir folder;
        MessageRecorder messages;
        messages.answers = {answer};
        ScriptedFileDialog dialog;
        dialog.answer = folder.filePath(u"处方.pdf"_qs);
        NoPrinterTarget target(messages, dialog);
        Editor e(&target);
        QVERIFY(e.opened);
        fill(*e.window);
        auto* commands = e.window->findChild<PrintCommands*>(u"printCommands"_qs);
        QVERIFY(commands);
        const bool printed = printout == int(PrintCommand::Sheet)     ? commands->printSheet()
                             : printout == int(PrintCommand::Overlay) ? commands->printOverlay()
                                                                  : commands->printInjectionCard();

        // Reported as done only when the PDF was saved.
        QCOMPARE(printed, answer);
        QCOMPARE(messages.texts(), QStringList{kNoPrinterQuestion});
        QCOMPARE(messages.messages[0].title, kMessageTitle);
        QCOMPARE(dialog.asked, answer ? 1 : 0);
        QCOMPARE(QFileInfo::exists(dialog.answer), answer);
        QVERIFY(e.messages.messages.isEmpty());  // and nothing says it was printed
    }

    // Every print command gives the window back once the job is handed to the queue: the doctor
    // goes on typing while the printer holds the job, closing the main window does not drop the
    // follow, and when the queue cancels the job later the doctor is asked with that printout.
    void aHeldJobLeavesTheWindowFreeAndIsToldWhenItFails_data()
    {
        QTest::addColumn<int>("printout");
        QTest::addColumn<QString>("shown");  // a text of the printout

        QTest::newRow("sheet") << int(PrintCommand::Sheet) << u"张三"_qs;
        QTest::newRow("overlay") << int(PrintCommand::Overlay) << u"阿莫西林胶囊"_qs;
        QTest::newRow("injection card") << int(PrintCommand::Card) << u"0.9%氯化钠注射液"_qs;
    }

    void aHeldJobLeavesTheWindowFreeAndIsToldWhenItFails()
    {
        QFETCH(int, printout);
        QFETCH(QString, shown);

        QTemporaryDir folder;
        MessageRecorder messages;
        ScriptedFileDialog dialog;
        dialog.answer = folder.filePath(u"处方.pdf"_qs);
        FakePrintQueue::State queue;
        PrinterTarget target(messages, dialog, std::make_unique<FakePrintQueue>(queue), JobFollowTiming{10, 40});
        auto e = std::make_unique<Editor>(&target);
        QVERIFY(e->opened);
        fill(*e->window);
        QVERIFY(e->show());

        // The print service holds the hand-over: the command returns all the same, and the
        // window takes keys meanwhile.
        queue.holdCreateJob = true;
        QElapsedTimer clock;
        clock.start();
        print(*e->window, PrintCommand(printout));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(target.followedJobs(), 1);
        QTRY_COMPARE(queue.heldCount(), 1);
        QLineEdit* telephone = e->window->headingBox(HeadingField::Telephone);
        telephone->setFocus();
        telephone->end(false);
        QTest::keyClicks(telephone, "8");
        QCOMPARE(telephone->text(), u"139000000008"_qs);
        queue.release();
        QTRY_COMPARE(queue.jobCount(), 1);

        // And while the job waits and is asked about.
        QTest::keyClicks(telephone, "9");
        QCOMPARE(telephone->text(), u"1390000000089"_qs);
        QTRY_VERIFY(queue.questionCount() >= 3);
        QCOMPARE(messages.texts(), QStringList());

        e.reset();  // the window that printed is gone
        queue.end(1, PrintQueue::JobState::Failed);
        QTRY_COMPARE(messages.texts(), QStringList{kPrintFailedQuestion});
        QCOMPARE(target.followedJobs(), 0);
        QCOMPARE(dialog.asked, 1);
        const PdfPage page = readPdfPage(dialog.answer);
        QVERIFY(std::any_of(page.words.begin(), page.words.end(),
                            [&](const PdfWord& w) { return w.text.startsWith(shown); }));
    }
};

QTEST_MAIN(PrintCommandsTest)
#include "PrintCommandsTest.moc"
