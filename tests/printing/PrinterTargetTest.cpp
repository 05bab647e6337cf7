// The printer road: where the origin lies on the printer's paper, what the print queue's answer
// does, and a printout with nothing on it.

#include "Fonts.h"
#include "OverlayPrint.h"
#include "Page.h"
#include "PdfText.h"
#include "PrintQueue.h"
#include "PrintTarget.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

Q_DECLARE_METATYPE(QMarginsF)

namespace {

constexpr double kPointsPerMillimetre = 72 / 25.4;

// A print queue as a test sets it up; it keeps a copy of every PDF it is given.
class FakeQueue : public PrintQueue {
public:
    struct State {
        QString printer = QStringLiteral("诊室打印机");
        QMarginsF minimumMargins;
        Fate fate = Fate::Printed;
        QStringList jobs;       // job names
        QStringList given;      // paths the jobs were given as
        QString keptPdf;        // where the last job's PDF was copied
        QList<QPageLayout::Orientation> asked;
    };
    explicit FakeQueue(State& state) : m_state(state) {}

    QString defaultPrinter() override { return m_state.printer; }
    Paper paper(const QString& printer, QPageLayout::Orientation orientation) override
    {
        m_state.asked << orientation;
        Q_UNUSED(printer);
        return {QPageSize(QPageSize::A4), m_state.minimumMargins};
    }
    Fate print(const QString& printer, const QString& jobName, const QString& pdfPath) override
    {
        if (printer != m_state.printer)
            return Fate::Refused;
        m_state.jobs << jobName;
        m_state.given << pdfPath;
        if (!m_state.keptPdf.isEmpty()) {
            QFile::remove(m_state.keptPdf);
            QFile::copy(pdfPath, m_state.keptPdf);
        }
        return m_state.fate;
    }

private:
    State& m_state;
};

class ScriptedFileDialog : public FileDialog {
public:
    QString saveFileName(const QString&, const QString&, const QString&) override
    {
        ++asked;
        return answer;
    }
    QString answer;
    int asked = 0;
};

// A text and a rule at known places, in either orientation.
PageDrawing drawing(QPageLayout::Orientation orientation)
{
    return [orientation](Page& page) {
        page.setOrientation(orientation);
        page.setFontName(QStringLiteral("宋体"));
        page.setFontSize(12);
        page.setCurrentX(1000);
        page.setCurrentY(2000);
        page.print(QStringLiteral("门诊处方笺"));
        page.line(0, 3000, 4000, 3000);
        page.endDoc();
    };
}

}  // namespace

class PrinterTargetTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    // Positions count from the corner of the printer's printable area: no margin of the toolkit's
    // own is added, and a printer that cannot print to the edge moves everything by its minimum.
    void originIsTheCornerOfThePrintableArea_data()
    {
        QTest::addColumn<QMarginsF>("minimum");
        QTest::addColumn<bool>("landscape");

        QTest::newRow("prints to the edge") << QMarginsF() << false;
        QTest::newRow("minimum margins") << QMarginsF(4.2, 6.35, 3, 12.7) << false;
        QTest::newRow("minimum margins, landscape") << QMarginsF(12.7, 4.2, 6.35, 3) << true;
    }

    void originIsTheCornerOfThePrintableArea()
    {
        QFETCH(QMarginsF, minimum);
        QFETCH(bool, landscape);

        QTemporaryDir folder;
        FakeQueue::State queue;
        queue.minimumMargins = minimum;
        queue.keptPdf = folder.filePath(QStringLiteral("printed.pdf"));
        MessageRecorder messages;
        ScriptedFileDialog dialog;
        PrinterTarget target(messages, dialog, std::make_unique<FakeQueue>(queue));

        const auto orientation = landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
        QVERIFY(target.run(QStringLiteral("处方"), drawing(orientation)));
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(queue.asked, QList{orientation});
        QCOMPARE(queue.jobs, QStringList{QStringLiteral("处方")});
        // The queue had the PDF for the time of the job only.
        QVERIFY(!QFileInfo::exists(queue.given.value(0)));

        const PdfPage page = readPdfPage(queue.keptPdf);
        QCOMPARE(page.size.width() > page.size.height(), landscape);
        const QPointF corner(minimum.left() * kPointsPerMillimetre, minimum.top() * kPointsPerMillimetre);
        const QPointF expected = corner + QPointF(1000, 2000) / 20.0;
        QCOMPARE(page.words.size(), 1);
        const QRectF box = page.words[0].box;
        QVERIFY2(QLineF(box.topLeft(), expected).length() <= 0.5,
                 qPrintable(QStringLiteral("text at (%1, %2), expected (%3, %4)")
                                .arg(box.left()).arg(box.top()).arg(expected.x()).arg(expected.y())));
    }

    // What the queue says of the job decides what the doctor is told; nothing counts as printed
    // that the queue did not take.
    void theQueueDecidesTheJobsFate_data()
    {
        QTest::addColumn<QString>("printer");  // the default printer; empty: none
        QTest::addColumn<int>("fate");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("messages");

        using F = PrintQueue::Fate;
        const QString office = QStringLiteral("诊室打印机");
        QTest::newRow("completed") << office << int(F::Printed) << true << QStringList();
        QTest::newRow("taken, still waiting") << office << int(F::Accepted) << true << QStringList();
        QTest::newRow("refused") << office << int(F::Refused) << true << QStringList{kPrintFailedQuestion};
        QTest::newRow("aborted") << office << int(F::Failed) << true << QStringList{kPrintFailedQuestion};
        QTest::newRow("no default printer") << QString() << int(F::Printed) << true
                                            << QStringList{kNoPrinterQuestion};
    }

    void theQueueDecidesTheJobsFate()
    {
        QFETCH(QString, printer);
        QFETCH(int, fate);
        QFETCH(bool, result);
        QFETCH(QStringList, messages);

        QTemporaryDir folder;
        FakeQueue::State queue;
        queue.printer = printer;
        queue.fate = PrintQueue::Fate(fate);
        MessageRecorder recorder;
        ScriptedFileDialog dialog;
        const QString offered = folder.filePath(QStringLiteral("处方.pdf"));
        dialog.answer = offered;
        PrinterTarget target(recorder, dialog, std::make_unique<FakeQueue>(queue));

        QCOMPARE(target.run(QStringLiteral("处方"), drawing(QPageLayout::Portrait)), result);
        QCOMPARE(recorder.texts(), messages);
        // Offered: the PDF has the printout at the page corner, as a PDF has no hardware margins.
        QCOMPARE(QFileInfo::exists(offered), !messages.isEmpty());
        if (!messages.isEmpty()) {
            const PdfPage page = readPdfPage(offered);
            QCOMPARE(page.words.value(0).text, QStringLiteral("门诊处方笺"));
            QVERIFY(QLineF(page.words[0].box.topLeft(), QPointF(50, 100)).length() <= 0.5);
        }
    }

    // A printout with nothing visible on it is told, goes to no printer and offers no file.
    void anEmptyPrintoutIsTold_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("what");

        const QString office = QStringLiteral("诊室打印机");
        QTest::newRow("overlay, nothing ticked, empty body") << office << 0;
        QTest::newRow("overlay, ticked fields empty, body of blanks") << office << 1;
        QTest::newRow("no printer either") << QString() << 0;
    }

    void anEmptyPrintoutIsTold()
    {
        QFETCH(QString, printer);
        QFETCH(int, what);

        OverlaySnapshot overlay;
        overlay.fontName = QStringLiteral("宋体");
        overlay.fontSize = QStringLiteral("12");
        if (what == 1) {
            overlay.items[0] = {true, QStringLiteral("26"), QStringLiteral("36")};
            overlay.items[3] = {true, QStringLiteral("60"), QStringLiteral("36")};
            overlay.body = QStringLiteral("   \r\n\r\n  ");
        }

        FakeQueue::State queue;
        queue.printer = printer;
        MessageRecorder recorder;
        ScriptedFileDialog dialog;
        QTemporaryDir folder;
        dialog.answer = folder.filePath(QStringLiteral("处方套打.pdf"));
        PrinterTarget target(recorder, dialog, std::make_unique<FakeQueue>(queue));

        QVERIFY(!target.run(QStringLiteral("处方套打"), [&](Page& page) { printOverlay(page, overlay); }));
        QCOMPARE(recorder.texts(), QStringList{kNothingToPrintMessage});
        QCOMPARE(recorder.messages.value(0).title, kMessageTitle);
        QCOMPARE(queue.jobs, QStringList());
        QCOMPARE(dialog.asked, 0);

        // Straight into a file, the same printout writes nothing and does not claim success.
        QVERIFY(!PdfTarget(dialog.answer).run(QStringLiteral("处方套打"), [&](Page& page) { printOverlay(page, overlay); }));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(PrinterTargetTest)
#include "PrinterTargetTest.moc"
