#include "PrintTarget.h"

#include "MessageSink.h"
#include "Page.h"
#include "PrintQueue.h"
#include "TextRules.h"

#include <QDir>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <atomic>
#include <chrono>
#include <csignal>
#include <optional>

namespace qelvaro {

namespace {

// A job name made fit to be a file name: separators and characters that file systems refuse go.
QString fileNameFor(const QString& jobName)
{
    QString name;
    for (const QChar c : jobName)
        name += (c < u' ' || QStringView(u"/\\:*?\"<>|").contains(c)) ? u'_' : c;
    name = trimBlanks(name);
    return name.isEmpty() ? QStringLiteral("打印") : name;
}

QString suggestedPdfPath(const QString& jobName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileNameFor(jobName) + QStringLiteral(".pdf"));
}

// A4 with no hardware margins: a PDF's printable area is the whole sheet.
QPageLayout a4(const QMarginsF& margins = QMarginsF())
{
    return printableLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins);
}

}  // namespace

using Clock = std::chrono::steady_clock;
using Reply = PrintQueue::Reply;
using Delivery = PrintQueue::Delivery;
using JobState = PrintQueue::JobState;

// The queue as the print thread uses it: it notes when the service last left a call unanswered,
// so that prints that waited behind such a call are given up with it instead of each waiting for
// the service's silence again.
class WatchedQueue : public PrintQueue {
public:
    explicit WatchedQueue(std::unique_ptr<PrintQueue> queue) : m_queue(std::move(queue)) {}

    // Whether a call the service did not answer ended at or after that time.
    bool silentSince(Clock::time_point time) const { return m_lastSilence && *m_lastSilence >= time; }

    Reply defaultPrinter(QString& name) override { return noted(m_queue->defaultPrinter(name)); }
    Reply paper(const QString& printer, QPageLayout::Orientation orientation, Paper& paper) override
    {
        return noted(m_queue->paper(printer, orientation, paper));
    }
    Reply createJob(const QString& printer, const QString& jobName, const Paper& paper, int& jobId) override
    {
        return noted(m_queue->createJob(printer, jobName, paper, jobId));
    }
    Delivery sendDocument(int jobId, const QString& printer, const QString& pdfPath,
                          const std::function<bool()>& wanted) override
    {
        const Delivery delivery = m_queue->sendDocument(jobId, printer, pdfPath, wanted);
        if (delivery == Delivery::Unanswered || (delivery == Delivery::CutShort && wanted()))
            m_lastSilence = Clock::now();
        return delivery;
    }
    Reply cancel(int jobId) override { return noted(m_queue->cancel(jobId)); }
    JobState jobState(int jobId, const QString& printer) override
    {
        const JobState state = m_queue->jobState(jobId, printer);
        if (state == JobState::Unanswered)
            m_lastSilence = Clock::now();
        return state;
    }
    void interrupt() override { m_queue->interrupt(); }

private:
    Reply noted(Reply reply)
    {
        if (reply == Reply::Silent)
            m_lastSilence = Clock::now();
        return reply;
    }

    std::unique_ptr<PrintQueue> m_queue;
    std::optional<Clock::time_point> m_lastSilence;  // touched on the print thread only
};

// Lives on the print thread: finds the default printer and its paper, puts the printout on that
// paper, hands it to the queue and follows the job, each step waiting for the print service as
// long as it answers, which only this thread feels.
class PrintWorker : public QObject {
public:
    using Report = PrinterTarget::Report;
    using Reporter = std::function<void(int ticket, Report what)>;

    PrintWorker(WatchedQueue& queue, const std::atomic<bool>& ending, JobFollowTiming timing, Reporter report)
        : m_queue(queue),
          m_ending(ending),
          m_report(std::move(report)),
          m_follower(new JobFollower(
              m_queue,
              [this](int ticket, JobState end) {
                  m_report(ticket, end == JobState::Completed ? Report::Completed : Report::Failed);
              },
              timing, this))
    {
    }

    void handOver(int ticket, const Printout& printout, Clock::time_point commandedAt)
    {
        const auto end = [&](Report what) { m_report(ticket, what); };
        const auto wanted = [this] { return !m_ending.load(); };
        // Nothing of these reached the service, so they cannot come out: the program is ending,
        // or the print waited behind a call the service left unanswered.
        if (!wanted() || m_queue.silentSince(commandedAt))
            return end(Report::Failed);
        QString printer;
        if (m_queue.defaultPrinter(printer) != Reply::Given)
            return end(Report::Failed);
        if (printer.isEmpty())
            return end(Report::NoPrinter);
        // The job goes to the queue as a PDF on the printer's paper, its origin on the corner of
        // the printable area; the queue prints it 1:1 and tells us what became of it.
        PrintQueue::Paper paper;
        if (m_queue.paper(printer, printout.orientation, paper) != Reply::Given)
            return end(Report::Failed);
        QTemporaryFile job(QDir::temp().filePath(QStringLiteral("qelvaro-print-XXXXXX.pdf")));
        if (!job.open())
            return end(Report::Failed);
        job.close();
        const QPageLayout layout = printableLayout(paper.size, printout.orientation, paper.minimumMarginsMillimetres);
        if (!writePrintoutPdf(printout, job.fileName(), layout) || !wanted())
            return end(Report::Failed);
        // Should the answer not come, a job the service made all the same has no document and
        // never prints.
        int id = 0;
        if (m_queue.createJob(printer, printout.jobName, paper, id) != Reply::Given)
            return end(Report::Failed);
        const Delivery delivery =
            wanted() ? m_queue.sendDocument(id, printer, job.fileName(), wanted) : Delivery::CutShort;
        if (delivery == Delivery::Accepted)
            return m_follower->follow(id, printer, ticket);
        // Whether the job holds what was written to it only the job can tell: nothing is told
        // until the service says.
        if (delivery == Delivery::Unanswered)
            return m_follower->confirm(id, printer, ticket);
        if (!wanted()) {
            // The program is ending: the job, without its whole document, is cancelled while the
            // queue still gives a cancel its moment.
            m_queue.cancel(id);
            return end(Report::Failed);
        }
        m_follower->withdraw(id, printer, ticket);  // told once it is sure not to print
    }

    void stop() { m_follower->stop(); }

private:
    WatchedQueue& m_queue;
    const std::atomic<bool>& m_ending;
    Reporter m_report;
    JobFollower* m_follower;
};

// The print thread, its worker and the queue they use.
class PrintThread {
public:
    PrintThread(std::unique_ptr<PrintQueue> queue, JobFollowTiming timing, PrintWorker::Reporter report)
        : m_queue(std::move(queue)),
          m_endMilliseconds(timing.endMilliseconds),
          m_worker(new PrintWorker(m_queue, m_ending, timing, std::move(report)))
    {
        m_worker->moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("print"));
        m_thread.start();
        // A write to a connection the service (or the program's end) closed must fail as a write,
        // not end the program: libcups writes without asking the system to spare the signal.
        QMetaObject::invokeMethod(m_worker, [] {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        }, Qt::QueuedConnection);
    }
    ~PrintThread()
    {
        // Prints already asked for go on to the queue for the end time, all together; then the
        // queue is interrupted: the call under way ends at once, and what is left is given up.
        QSemaphore reached;
        QMetaObject::invokeMethod(m_worker, [&reached] { reached.release(); }, Qt::QueuedConnection);
        if (!reached.tryAcquire(1, m_endMilliseconds)) {
            m_ending.store(true);
            // A call made after this one (a cancel) is broken off in its turn.
            do
                m_queue.interrupt();
            while (!reached.tryAcquire(1, PrintQueue::kEndingMilliseconds));
        }
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    PrintThread(const PrintThread&) = delete;
    PrintThread& operator=(const PrintThread&) = delete;

    void handOver(int ticket, const Printout& printout)
    {
        QMetaObject::invokeMethod(
            m_worker,
            [worker = m_worker, ticket, printout, commandedAt = Clock::now()] {
                worker->handOver(ticket, printout, commandedAt);
            },
            Qt::QueuedConnection);
    }
    void stop()
    {
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->stop(); }, Qt::QueuedConnection);
    }

private:
    WatchedQueue m_queue;
    std::atomic<bool> m_ending{false};
    int m_endMilliseconds;
    QThread m_thread;
    PrintWorker* m_worker;
};

PdfTarget::PdfTarget(QString path, QMarginsF marginsMillimetres)
    : m_path(std::move(path)), m_margins(marginsMillimetres)
{
}

bool PdfTarget::run(const QString& jobName, const PageDrawing& draw)
{
    return writePdf(m_path, a4(m_margins), jobName, [&](PageSink& sink, bool& drew) {
        Page page(sink);
        draw(page);
        const bool ok = page.endDoc();
        drew = page.hasVisibleOutput();
        return ok;
    });
}

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog)
    : PrinterTarget(messages, fileDialog, std::make_unique<SystemPrintQueue>())
{
}

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue,
                             JobFollowTiming timing)
    : m_messages(messages),
      m_fileDialog(fileDialog),
      m_windowSide(std::make_unique<QObject>()),
      m_thread(std::make_unique<PrintThread>(std::move(queue), timing,
                                             [this, receiver = m_windowSide.get()](int ticket, Report what) {
                                                 QMetaObject::invokeMethod(
                                                     receiver, [this, ticket, what] { report(ticket, what); },
                                                     Qt::QueuedConnection);
                                             }))
{
}

PrinterTarget::~PrinterTarget()
{
    // The print thread ends first, while the reports it may still send have somewhere to go.
    m_thread.reset();
}

void PrinterTarget::stopFollowing()
{
    m_jobs.clear();
    m_untold.clear();
    m_thread->stop();
}

PrinterTarget::Outcome PrinterTarget::printOnDefaultPrinter(const Printout& printout)
{
    const int ticket = ++m_lastTicket;
    m_jobs[ticket] = printout;
    m_thread->handOver(ticket, printout);
    return Outcome::Sent;
}

bool PrinterTarget::run(const QString& jobName, const PageDrawing& draw)
{
    // Drawn once, now: the job, and the offer should it fail, show the values of this moment.
    const Printout printout = drawPrintout(jobName, draw);
    if (!printout.visible) {
        m_messages.warn(kNothingToPrintMessage);
        return false;
    }
    switch (printOnDefaultPrinter(printout)) {
    case Outcome::Sent:
        return true;
    case Outcome::NoPrinter:
        return offerPdf(kNoPrinterQuestion, printout);
    case Outcome::Failed:
        break;
    }
    return offerPdf(kPrintFailedQuestion, printout);
}

void PrinterTarget::report(int ticket, Report what)
{
    const auto it = m_jobs.find(ticket);
    if (it == m_jobs.end())
        return;
    const Printout printout = std::move(it->second);
    m_jobs.erase(it);
    if (what != Report::Completed)
        tellLater(what == Report::NoPrinter ? kNoPrinterQuestion : kPrintFailedQuestion, printout);
}

void PrinterTarget::tellLater(const QString& question, const Printout& printout)
{
    m_untold.emplace_back(question, printout);
    // The question is a modal box whose event loop brings further reports: they wait their turn
    // instead of opening a second box over the first.
    if (m_telling)
        return;
    m_telling = true;
    while (!m_untold.empty()) {
        const auto [nextQuestion, nextPrintout] = std::move(m_untold.front());
        m_untold.pop_front();
        offerPdf(nextQuestion, nextPrintout);
    }
    m_telling = false;
}

bool PrinterTarget::offerPdf(const QString& question, const Printout& printout)
{
    if (!m_messages.ask(question))
        return false;
    const QString path = m_fileDialog.saveFileName(QStringLiteral("保存为PDF文件"), suggestedPdfPath(printout.jobName),
                                                   QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    // A PDF has no hardware margins: the printout sits at the page corner.
    if (writePrintoutPdf(printout, path, a4()))
        return true;
    m_messages.warn(kPdfFailedMessage);
    return false;
}

}  // namespace qelvaro
