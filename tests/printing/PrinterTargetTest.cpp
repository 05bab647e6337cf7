// The printer road: where the origin lies on the printer's paper, what the print queue's answer
// does, that the command never waits for the queue, how a job is followed to its end after the
// command returned, and a printout with nothing on it.

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
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

Q_DECLARE_METATYPE(QMarginsF)

namespace {

constexpr double kPointsPerMillimetre = 72 / 25.4;

using FakeQueue = FakePrintQueue;
using JobState = PrintQueue::JobState;

// Quick enough for a test, and still doubling; at the end, prints on their way get a fifth of a
// second; a job is taken to lack its document after two answers 20 ms apart.
constexpr JobFollower::Timing kQuick{10, 80, 200, 20};

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
    PrinterTarget target;

    explicit Printing(JobFollower::Timing timing = kQuick)
        : target(recorder, dialog, std::make_unique<FakeQueue>(queue), timing)
    {
        dialog.answer = offered;
    }
};

PageDrawing patientOnly(const QString& patient)
{
    return [patient](Page& page) { page.print(patient); };
}

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
        QTRY_COMPARE(queue.jobCount(), 1);
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(queue.asked, QList{orientation});
        QCOMPARE(queue.jobs, QStringList{QStringLiteral("处方")});
        // The queue had the PDF for the time of the job only.
        QTRY_VERIFY(!QFileInfo::exists(queue.given.value(0)));

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

    // What the queue answers to the hand-over decides what the doctor is told: a job taken says
    // nothing yet; nothing counts as sent that the queue did not take; "no printer" only when the
    // service says there is none.
    void theQueueDecidesTheJobsFate_data()
    {
        QTest::addColumn<QString>("printer");  // the default printer; empty: none
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("messages");

        const QString office = QStringLiteral("诊室打印机");
        QTest::newRow("taken") << office << false << false << QStringList();
        QTest::newRow("refused") << office << true << false << QStringList{kPrintFailedQuestion};
        QTest::newRow("no default printer") << QString() << false << false << QStringList{kNoPrinterQuestion};
        QTest::newRow("service silent") << office << false << true << QStringList{kPrintFailedQuestion};
    }

    void theQueueDecidesTheJobsFate()
    {
        QFETCH(QString, printer);
        QFETCH(bool, refuse);
        QFETCH(bool, silent);
        QFETCH(QStringList, messages);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.printer = printer;
        queue.refuse = refuse;
        queue.silent = silent;

        QVERIFY(target.run(QStringLiteral("处方"), drawing(QPageLayout::Portrait)));
        if (messages.isEmpty())
            QTRY_COMPARE(queue.jobCount(), 1);
        QTRY_COMPARE(recorder.texts(), messages);
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
    // long that takes, and through a while the service does not answer. A completed job says
    // nothing, and so does one the queue no longer lists while its printer is there (a service
    // that keeps no history of done jobs); a job cancelled, aborted or gone with its printer is
    // told with the PDF offer of that printout, drawn from the values of the moment it was printed.
    void aJobIsFollowedToItsEnd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("told");

        QTest::newRow("completed") << "completed" << false;
        QTest::newRow("cancelled or aborted") << "failed" << true;
        QTest::newRow("no longer listed, printer there") << "forgotten" << false;
        QTest::newRow("no longer listed, printer gone") << "printer gone" << true;
    }

    void aJobIsFollowedToItsEnd()
    {
        QFETCH(QString, end);
        QFETCH(bool, told);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;

        {
            QString patient = QStringLiteral("张三");
            QVERIFY(target.run(QStringLiteral("处方"), [&patient](Page& page) { page.print(patient); }));
            patient = QStringLiteral("李四");  // what the window shows next is not that printout
        }
        QTRY_COMPARE(queue.jobCount(), 1);
        QCOMPARE(queue.read<JobState>([](const FakeQueue::State& s) { return s.states.value(1); }), JobState::Waiting);
        QCOMPARE(target.followedJobs(), 1);

        // Held for a while: asked about now and then, nothing told.
        QTRY_VERIFY(queue.questionCount() >= 3);
        // The service falls silent for a while: nothing is told, and it is asked again later.
        queue.set([](FakeQueue::State& s) { s.silent = true; });
        const int beforeSilence = queue.questionCount();
        QTRY_VERIFY(queue.questionCount() >= beforeSilence + 2);
        queue.set([](FakeQueue::State& s) { s.silent = false; });
        QCOMPARE(recorder.texts(), QStringList());
        QCOMPARE(target.followedJobs(), 1);

        if (end == u"completed")
            queue.end(1, JobState::Completed);
        else if (end == u"failed")
            queue.end(1, JobState::Failed);
        else
            queue.set([gone = end == u"printer gone"](FakeQueue::State& s) {
                s.states.remove(1);
                s.printerGone = gone;
            });
        QTRY_COMPARE(target.followedJobs(), 0);
        QCOMPARE(recorder.texts(), told ? QStringList{kPrintFailedQuestion} : QStringList());
        QCOMPARE(dialog.asked, told ? 1 : 0);
        QCOMPARE(QFileInfo::exists(offered), told);
        if (told) {
            QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("张三"));
            QCOMPARE(QFileInfo(offered).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
        }

        // Ended jobs are asked about no more.
        const int questions = queue.questionCount();
        QTest::qWait(200);
        QCOMPARE(queue.questionCount(), questions);
    }

    // Each job keeps its own follow and its own printout: the second of two failing offers the
    // second printout, and the first completing says nothing. While several jobs wait, the queue
    // is asked less and less often.
    void twoJobsTheSecondFailing()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;

        for (const QString& patient : {QStringLiteral("张三"), QStringLiteral("李四")})
            QVERIFY(target.run(QStringLiteral("处方"), patientOnly(patient)));
        QCOMPARE(target.followedJobs(), 2);
        QTRY_COMPARE(queue.jobCount(), 2);

        // Doubling from 10 ms to 80 ms: some 12 questions per job in 800 ms, 160 at a fixed 10 ms.
        QTest::qWait(800);
        QVERIFY2(queue.questionCount() >= 6 && queue.questionCount() <= 40, qPrintable(QString::number(queue.questionCount())));
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
        QTRY_COMPARE(queue.jobCount(), 1);

        target.stopFollowing();
        QCOMPARE(target.followedJobs(), 0);
        QTest::qWait(50);
        const int questions = queue.questionCount();
        queue.end(1, JobState::Failed);
        QTest::qWait(100);
        QCOMPARE(queue.questionCount(), questions);
        QCOMPARE(recorder.texts(), QStringList());
    }

    // A service that does not answer holds the print thread only: the command returns at once and
    // the window's event loop goes on. The print is told as failed with its own PDF offer once the
    // service has said nothing for its answer time, and so is a print that waited behind it,
    // without a wait of its own and without asking the service anything. A print made once the
    // silence was told asks the service afresh.
    void aSilentServiceGivesUpThePrintsWaitingForIt()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.silent = true;
        queue.silentMilliseconds = 300;
        bool windowWentOn = false;
        QTimer::singleShot(20, [&] { windowWentOn = true; });

        QElapsedTimer clock;
        clock.start();
        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("李四"))));
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY(windowWentOn);
        QCOMPARE(recorder.texts(), QStringList());

        QTRY_COMPARE(recorder.texts(), (QStringList{kPrintFailedQuestion, kPrintFailedQuestion}));
        QVERIFY(clock.elapsed() >= 300);
        QCOMPARE(queue.callCount(), 1);
        QCOMPARE(target.followedJobs(), 0);
        QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("李四"));

        queue.set([](FakeQueue::State& s) { s.silent = false; });
        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("王五"))));
        QTRY_COMPARE(queue.jobCount(), 1);
        QCOMPARE(queue.createdCount(), 1);
        queue.end(1, JobState::Completed);
        QTRY_COMPARE(target.followedJobs(), 0);
        QCOMPARE(recorder.texts().size(), 2);
    }

    // A service that answers every call, however late, is waited for: the print comes out once and
    // nothing is told, though the whole hand-over takes far longer than any one answer.
    void aSlowServiceIsWaitedFor()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.delayMilliseconds = 3000;

        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QTRY_COMPARE_WITH_TIMEOUT(queue.jobCount(), 1, 20000);
        queue.end(1, JobState::Completed);
        QTRY_COMPARE_WITH_TIMEOUT(target.followedJobs(), 0, 10000);
        QCOMPARE(recorder.texts(), QStringList());
        QCOMPARE(queue.createdCount(), 1);
        QCOMPARE(queue.cancels(), QList<int>());
    }

    // Once its document is sent whole, the print belongs to its job: a service that then falls
    // silent tells nothing, the job is followed through the silence, and it is told only when the
    // queue reports it failed.
    void silenceAfterTheWholeDocumentIsNoFailure()
    {
        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.silentAfterDocument = true;

        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QTRY_COMPARE(queue.documents(), QList<int>{1});
        const int questions = queue.questionCount();
        QTRY_VERIFY(queue.questionCount() >= questions + 3);
        QCOMPARE(recorder.texts(), QStringList());
        QCOMPARE(target.followedJobs(), 1);
        QCOMPARE(queue.cancels(), QList<int>());

        queue.set([](FakeQueue::State& s) {
            s.silent = false;
            s.states[1] = JobState::Failed;
        });
        QTRY_COMPARE(recorder.texts(), QStringList{kPrintFailedQuestion});
        QCOMPARE(target.followedJobs(), 0);
        QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("张三"));
    }

    // A document sent to its last piece with no answer (the connection broke, or the service fell
    // silent) is whole only when the job shows it: a job that holds it is followed and tells
    // nothing; one the service lists without it, in two answers some time apart, is cancelled and
    // told once the cancel is done; one without it at first and with it later is not cancelled.
    // While the service says nothing, nothing is told.
    void anUnansweredDocumentIsAskedOfItsJob_data()
    {
        QTest::addColumn<int>("incomingAnswers");
        QTest::addColumn<bool>("silentAfter");
        QTest::addColumn<bool>("told");

        QTest::newRow("the job holds it") << 0 << false << false;
        QTest::newRow("the job lacks it") << -1 << false << true;
        QTest::newRow("the job lacks it, then holds it") << 1 << false << false;
        QTest::newRow("the service falls silent, the job holds it") << 0 << true << false;
        QTest::newRow("the service falls silent, the job lacks it") << -1 << true << true;
    }

    void anUnansweredDocumentIsAskedOfItsJob()
    {
        QFETCH(int, incomingAnswers);
        QFETCH(bool, silentAfter);
        QFETCH(bool, told);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.answerDocument = false;
        queue.incomingAnswers = incomingAnswers;
        queue.silentAfterDocument = silentAfter;
        queue.silentAtCancel = true;  // so that nothing told before the cancel is done shows

        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QTRY_COMPARE(queue.jobCount(), 1);
        if (silentAfter) {
            QTRY_VERIFY(queue.questionCount() >= 3);
            QCOMPARE(recorder.texts(), QStringList());
            queue.set([](FakeQueue::State& s) { s.silent = false; });
        }
        if (told) {
            QTRY_VERIFY(!queue.read<bool>([](const FakeQueue::State& s) { return s.silentAtCancel; }));
            QTest::qWait(50);
            QCOMPARE(recorder.texts(), QStringList());
            QCOMPARE(target.followedJobs(), 1);
            queue.set([](FakeQueue::State& s) { s.silent = false; });
            QTRY_COMPARE(recorder.texts(), QStringList{kPrintFailedQuestion});
            QCOMPARE(queue.cancels(), QList<int>{1});
            QCOMPARE(queue.documents(), QList<int>());
            QCOMPARE(readPdfPage(offered).words.value(0).text, QStringLiteral("张三"));
        } else {
            QTRY_COMPARE(queue.documents(), QList<int>{1});
            const int questions = queue.questionCount();
            QTRY_VERIFY(queue.questionCount() >= questions + 3);
            QCOMPARE(target.followedJobs(), 1);
            queue.end(1, JobState::Completed);
            QTRY_COMPARE(target.followedJobs(), 0);
            QCOMPARE(recorder.texts(), QStringList());
            QCOMPARE(queue.cancels(), QList<int>());
        }
        QTest::qWait(50);
        QCOMPARE(recorder.texts().size(), told ? 1 : 0);
    }

    // Once the service answers again after a long silence, a job that lacks its document is asked
    // again when the settle time is up, not after the wait the silence had grown to.
    void aJobLackingItsDocumentIsDecidedAfterTheSettleTime()
    {
        Printing p({10, 1000, 200, 100});
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.answerDocument = false;
        queue.incomingAnswers = -1;
        queue.silentAfterDocument = true;

        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QTRY_VERIFY_WITH_TIMEOUT(queue.questionCount() >= 8, 10000);  // the wait is at its longest
        queue.set([](FakeQueue::State& s) { s.silent = false; });
        QTRY_COMPARE_WITH_TIMEOUT(recorder.texts(), QStringList{kPrintFailedQuestion}, 10000);
        QCOMPARE(queue.cancels(), QList<int>{1});
        const QList<qint64> asked = queue.read<QList<qint64>>([](const FakeQueue::State& s) { return s.askedAt; });
        const qint64 lastGap = asked.value(asked.size() - 1) - asked.value(asked.size() - 2);
        QVERIFY2(lastGap >= 100 && lastGap < 500, qPrintable(QString::number(lastGap)));
    }

    // A job whose document did not get through whole is cancelled, and told as failed once it is:
    // while the service says nothing, nothing is told. A cancel the service refuses (the job is
    // printing) is no cancel: the job's own end decides.
    void aJobCutShortIsToldOnceItCannotPrint_data()
    {
        QTest::addColumn<bool>("refuseCancel");
        QTest::addColumn<QString>("end");  // what the job comes to when it could not be cancelled
        QTest::addColumn<bool>("told");

        QTest::newRow("cancelled") << false << QString() << true;
        QTest::newRow("cancel refused, printed") << true << "completed" << false;
        QTest::newRow("cancel refused, aborted") << true << "failed" << true;
    }

    void aJobCutShortIsToldOnceItCannotPrint()
    {
        QFETCH(bool, refuseCancel);
        QFETCH(QString, end);
        QFETCH(bool, told);

        Printing p;
        auto& [folder, queue, recorder, dialog, offered, target] = p;
        queue.cutDocument = true;  // and silent when the cancel is first tried
        queue.refuseCancel = refuseCancel;

        QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
        QTRY_VERIFY(queue.callCount() >= 6);
        QCOMPARE(recorder.texts(), QStringList());
        QCOMPARE(queue.documents(), QList<int>());

        queue.set([](FakeQueue::State& s) { s.silent = false; });
        if (!refuseCancel) {
            QTRY_COMPARE(recorder.texts(), QStringList{kPrintFailedQuestion});
            QCOMPARE(queue.cancels(), QList<int>{1});
        } else {
            QTRY_VERIFY(queue.questionCount() >= 2);
            QCOMPARE(recorder.texts(), QStringList());
            queue.end(1, end == u"completed" ? JobState::Completed : JobState::Failed);
            QTRY_COMPARE(target.followedJobs(), 0);
            QCOMPARE(recorder.texts(), told ? QStringList{kPrintFailedQuestion} : QStringList());
        }
        QCOMPARE(target.followedJobs(), 0);
    }

    // At program end a print on its way gets the end time; past it the service's call is broken off.
    // A job whose answer came as the program ended gets no document and is cancelled; nothing is told.
    void aJobCreatedAsTheProgramEndsGetsNoDocument()
    {
        QElapsedTimer clock;
        FakeQueue::State queue;
        MessageRecorder recorder;
        ScriptedFileDialog dialog;
        {
            PrinterTarget target(recorder, dialog, std::make_unique<FakeQueue>(queue), kQuick);
            queue.holdCreateJob = true;
            QVERIFY(target.run(QStringLiteral("处方"), patientOnly(QStringLiteral("张三"))));
            QTRY_COMPARE(queue.heldCount(), 1);
            target.stopFollowing();
            clock.start();
        }
        QVERIFY2(clock.elapsed() < kQuick.endMilliseconds + 500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(queue.createdCount(), 1);
        QCOMPARE(queue.documents(), QList<int>());
        QCOMPARE(queue.cancels(), QList<int>{1});
        QCOMPARE(recorder.texts(), QStringList());
    }

    // Two prints on their way to a service that does not answer: the program ends within the
    // README's bound (the end time, five seconds, and a little), not one wait after the other.
    void theProgramEndsWithinItsBound()
    {
        QElapsedTimer clock;
        FakeQueue::State queue;
        queue.silent = true;
        queue.silentMilliseconds = 60000;
        MessageRecorder recorder;
        ScriptedFileDialog dialog;
        {
            PrinterTarget target(recorder, dialog, std::make_unique<FakeQueue>(queue));
            for (const QString& patient : {QStringLiteral("张三"), QStringLiteral("李四")})
                QVERIFY(target.run(QStringLiteral("处方"), patientOnly(patient)));
            QTRY_COMPARE(queue.callCount(), 1);
            target.stopFollowing();
            clock.start();
        }
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(queue.callCount(), 1);
        QCOMPARE(queue.createdCount(), 0);
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
