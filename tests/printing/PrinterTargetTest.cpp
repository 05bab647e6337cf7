// The printer road: where the origin lies on the printer's paper, what the print queue's answer
// does, how a job is followed to its end after the command returned, and a printout with nothing
// on it.

#include "Fonts.h"
#include "OverlayPrint.h"
#include "Page.h"
#include "FakePrintQueue.h"
#include "PdfText.h"
#include "PrintQueue.h"
#include "PrintTarget.h"
#include "ScriptedFileDialog.h"
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

using FakeQueue = FakePrintQueue;
using JobState = PrintQueue::JobState;

// Quick enough for a test, and still doubling.
constexpr JobFollower::Timing kQuick{10, 80};

// A job's PDF as the queue was given it, written out to be read back.
PdfPage givenPdf(const FakeQueue::State& queue, int index, const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("given-%1.pdf").arg(index));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(queue.pdfs.value(index)) < 0)
        return {};
    file.close();
    return readPdfPage(path);
}

// A printer target over a fake queue, its answers and the file a PDF offer is saved as.
struct Printing {
    QTemporaryDir folder;
    FakeQueue::State queue;
    MessageRecorder recorder;
    ScriptedFileDialog dialog;
    QString offered = folder.filePath(QStringLiteral("处方.pdf"));
    PrinterTarget target{recorder, dialog, std::make_unique<FakeQueue>(queue), kQuick};

    Printing() { dialog.answer = offered; }
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

        const PdfPage page = givenPdf(queue, 0, folder);
        QCOMPARE(page.size.width() > page.size.height(), landscape);
        const QPointF corner(minimum.left() * kPointsPerMillimetre, minimum.top() * kPointsPerMillimetre);
        const QPointF expected = corner + QPointF(1000, 2000) / 20.0;
        QCOMPARE(page.words.size(), 1);
        const QRectF box = page.words[0].box;
        QVERIFY2(QLineF(box.topLeft(), expected).length() <= 0.5,
                 qPrintable(QStringLiteral("text at (%1, %2), expected (%3, %4)")
                                .arg(box.left()).arg(box.top()).arg(expected.x()).arg(expected.y())));
    }

    // What the queue answers at once decides what the doctor is told at once: a job taken says
    // nothing yet; nothing counts as sent that the queue did not take.
    void theQueueDecidesTheJobsFate_data()
    {
        QTest::addColumn<QString>("printer");  // the default printer; empty: none
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QStringList>("messages");

        const QString office = QStringLiteral("诊室打印机");
        QTest::newRow("taken") << office << false << QStringList();
        QTest::newRow("refused") << office << true << QStringList{kPrintFailedQuestion};
        QTest::newRow("no default printer") << QString() << false << QStringList{kNoPrinterQuestion};
    }

    void theQueueDecidesTheJobsFate()
    {
        QFETCH(QString, printer);
        QFETCH(bool, refuse);
        QFETCH(QStringList, messages);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.printer = printer;
        queue.refuse = refuse;

        QVERIFY(target.run(QStringLiteral("处方"), drawing(QPageLayout::Portrait)));
        QCOMPARE(recorder.texts(), messages);
        QCOMPARE(target.followedJobs(), messages.isEmpty() ? 1 : 0);
        // Offered: the PDF has the printout at the page corner, as a PDF has no hardware margins.
        QCOMPARE(QFileInfo::exists(offered), !messages.isEmpty());
        if (!messages.isEmpty()) {
            const PdfPage page = readPdfPage(offered);
            QCOMPARE(page.words.value(0).text, QStringLiteral("门诊处方笺"));
            QVERIFY(QLineF(page.words[0].box.topLeft(), QPointF(50, 100)).length() <= 0.5);
        }
    }

    // The command returns with the job still waiting; the job is followed until it ends, however
    // long that takes. A completed job says nothing; any other end is told with the PDF offer of
    // that printout, drawn from the values of the moment it was printed.
    void aJobIsFollowedToItsEnd_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("told");

        QTest::newRow("completed") << int(JobState::Completed) << false;
        QTest::newRow("cancelled or aborted") << int(JobState::Failed) << true;
    }

    void aJobIsFollowedToItsEnd()
    {
        QFETCH(int, end);
        QFETCH(bool, told);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;

        {
            QString patient = QStringLiteral("张三");
            QVERIFY(target.run(QStringLiteral("处方"), [&patient](Page& page) { page.print(patient); }));
            patient = QStringLiteral("李四");  // what the window shows next is not that printout
        }
        QCOMPARE(queue.jobs.size(), 1);
        QCOMPARE(queue.states.value(1), JobState::Waiting);
        QCOMPARE(target.followedJobs(), 1);

        // Held for a while: asked about now and then, nothing told.
        QTRY_VERIFY(queue.questions >= 3);
        QCOMPARE(recorder.texts(), QStringList());

        queue.end(1, JobState(end));
        QTRY_COMPARE(target.followedJobs(), 0);
        QCOMPARE(recorder.texts(), told ? QStringList{kPrintFailedQuestion} : QStringList());
        QCOMPARE(dialog.asked, told ? 1 : 0);
        QCOMPARE(QFileInfo::exists(offered), told);
        if (told) {
            QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("张三"));
            QCOMPARE(QFileInfo(offered).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
        }

        // Ended jobs are asked about no more.
        const int questions = queue.questions;
        QTest::qWait(200);
        QCOMPARE(queue.questions, questions);
    }

    // Each job keeps its own follow and its own printout: the second of two failing offers the
    // second printout, and the first completing says nothing. While several jobs wait, the queue
    // is asked less and less often.
    void twoJobsTheSecondFailing()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;

        for (const QString& patient : {QStringLiteral("张三"), QStringLiteral("李四")})
            QVERIFY(target.run(QStringLiteral("处方"), [&patient](Page& page) { page.print(patient); }));
        QCOMPARE(target.followedJobs(), 2);

        // Doubling from 10 ms to 80 ms: some 12 questions per job in 800 ms, 160 at a fixed 10 ms.
        QTest::qWait(800);
        QVERIFY2(queue.questions >= 6 && queue.questions <= 40, qPrintable(QString::number(queue.questions)));
        QCOMPARE(recorder.texts(), QStringList());

        queue.end(2, JobState::Failed);
        QTRY_COMPARE(target.followedJobs(), 1);
        QCOMPARE(recorder.texts(), QStringList{kPrintFailedQuestion});
        QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("李四"));

        queue.end(1, JobState::Completed);
        QTRY_COMPARE(target.followedJobs(), 0);
        QCOMPARE(recorder.texts(), QStringList{kPrintFailedQuestion});
    }

    // At program end the jobs are let go: whatever becomes of them later asks nothing.
    void stoppedFollowingAsksNothing()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        QVERIFY(target.run(QStringLiteral("处方"), drawing(QPageLayout::Portrait)));

        target.stopFollowing();
        queue.end(1, JobState::Failed);
        QTest::qWait(100);
        QCOMPARE(target.followedJobs(), 0);
        QCOMPARE(queue.questions, 0);
        QCOMPARE(recorder.texts(), QStringList());
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
