#include "PrintTarget.h"

#include "MessageSink.h"
#include "Page.h"
#include "PrintQueue.h"
#include "TextRules.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>

#include <mutex>
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

// Between the window thread and the print thread: the prints still on their way to the queue, so
// that exactly one side settles each one's fate: the print thread with what the queue answered,
// or the window thread that gave up waiting for it.
class HandOvers {
public:
    void add(int ticket)
    {
        const std::lock_guard lock(m_mutex);
        m_givenUp[ticket] = false;
    }
    // Print thread: whether the print is still wanted.
    bool wanted(int ticket) const
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_givenUp.find(ticket);
        return it != m_givenUp.end() && !it->second;
    }
    // Print thread, with the print's fate: false when the window thread gave it up first.
    bool settle(int ticket)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_givenUp.find(ticket);
        if (it == m_givenUp.end())
            return false;
        const bool mine = !it->second;
        m_givenUp.erase(it);
        return mine;
    }
    // Window thread: false when the print's fate is settled already (and on its way to be told).
    bool giveUp(int ticket)
    {
        const std::lock_guard lock(m_mutex);
        const auto it = m_givenUp.find(ticket);
        if (it == m_givenUp.end())
            return false;
        it->second = true;
        return true;
    }

private:
    mutable std::mutex m_mutex;
    std::map<int, bool> m_givenUp;  // by ticket
};

// Lives on the print thread: finds the default printer and its paper, puts the printout on that
// paper, hands it to the queue and follows the job, each step waiting for the print service as
// long as it takes (bounded by the service's answer time), which only this thread feels.
class PrintWorker : public QObject {
public:
    using Report = PrinterTarget::Report;
    using Reporter = std::function<void(int ticket, Report what)>;

    PrintWorker(std::unique_ptr<PrintQueue> queue, HandOvers& handOvers, JobFollowTiming timing, Reporter report)
        : m_queue(std::move(queue)),
          m_handOvers(handOvers),
          m_report(std::move(report)),
          m_follower(new JobFollower(
              *m_queue,
              [this](int ticket, PrintQueue::JobState end) {
                  m_report(ticket, end == PrintQueue::JobState::Completed ? Report::Completed : Report::Failed);
              },
              timing, this))
    {
    }

    void handOver(int ticket, const Printout& printout, QDeadlineTimer deadline)
    {
        const auto end = [&](Report what) {
            if (m_handOvers.settle(ticket))
                m_report(ticket, what);
        };
        // A print that waited here past its time (behind questions the service did not answer)
        // is told as failed: it must not come out later.
        if (deadline.hasExpired())
            return end(Report::Failed);
        const std::optional<QString> printer = m_queue->defaultPrinter();
        if (!printer)
            return end(Report::Failed);
        if (printer->isEmpty())
            return end(Report::NoPrinter);
        if (deadline.hasExpired())
            return end(Report::Failed);
        // The job goes to the queue as a PDF on the printer's paper, its origin on the corner of
        // the printable area; the queue prints it 1:1 and tells us what became of it.
        const std::optional<PrintQueue::Paper> paper = m_queue->paper(*printer, printout.orientation);
        if (!paper)
            return end(Report::Failed);
        QTemporaryFile job(QDir::temp().filePath(QStringLiteral("qelvaro-print-XXXXXX.pdf")));
        if (!job.open())
            return end(Report::Failed);
        job.close();
        const QPageLayout layout = printableLayout(paper->size, printout.orientation, paper->minimumMarginsMillimetres);
        if (!writePrintoutPdf(printout, job.fileName(), layout))
            return end(Report::Failed);
        if (deadline.hasExpired() || !m_handOvers.wanted(ticket))
            return end(Report::Failed);
        const int id = m_queue->submit(*printer, printout.jobName, job.fileName(), *paper);
        if (id <= 0)
            return end(Report::Failed);
        if (!m_handOvers.settle(ticket)) {
            // Given up while the queue took it: told as failed already, so it must not print.
            m_follower->cancel(id);
            return;
        }
        m_report(ticket, Report::HandedOver);
        m_follower->follow(id, *printer, ticket);
    }

    void stop() { m_follower->stop(); }

private:
    std::unique_ptr<PrintQueue> m_queue;
    HandOvers& m_handOvers;
    Reporter m_report;
    JobFollower* m_follower;
};

// The print thread, its worker and the prints on their way.
class PrintThread {
public:
    PrintThread(std::unique_ptr<PrintQueue> queue, JobFollowTiming timing, PrintWorker::Reporter report)
        : m_worker(new PrintWorker(std::move(queue), m_handOvers, timing, std::move(report)))
    {
        m_worker->moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("print"));
        m_thread.start();
    }
    ~PrintThread()
    {
        // Hand-overs already asked for go on to the queue first; each is bounded by its deadline
        // and the service's answer time.
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    PrintThread(const PrintThread&) = delete;
    PrintThread& operator=(const PrintThread&) = delete;

    void handOver(int ticket, const Printout& printout, QDeadlineTimer deadline)
    {
        m_handOvers.add(ticket);
        QMetaObject::invokeMethod(
            m_worker, [worker = m_worker, ticket, printout, deadline] { worker->handOver(ticket, printout, deadline); },
            Qt::QueuedConnection);
    }
    bool giveUp(int ticket) { return m_handOvers.giveUp(ticket); }
    void stop()
    {
        QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->stop(); }, Qt::QueuedConnection);
    }

private:
    HandOvers m_handOvers;
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
      m_timing(timing),
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
    m_jobs[ticket] = Job{printout};
    m_thread->handOver(ticket, printout, QDeadlineTimer(m_timing.handOverMilliseconds, Qt::PreciseTimer));
    QTimer::singleShot(m_timing.handOverMilliseconds, Qt::PreciseTimer, m_windowSide.get(),
                       [this, ticket] { giveUp(ticket); });
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
    switch (what) {
    case Report::HandedOver:
        it->second.handedOver = true;
        return;
    case Report::Completed:
        m_jobs.erase(it);
        return;
    case Report::NoPrinter:
    case Report::Failed: {
        const Printout printout = std::move(it->second.printout);
        m_jobs.erase(it);
        tellLater(what == Report::NoPrinter ? kNoPrinterQuestion : kPrintFailedQuestion, printout);
        return;
    }
    }
}

void PrinterTarget::giveUp(int ticket)
{
    const auto it = m_jobs.find(ticket);
    if (it == m_jobs.end() || it->second.handedOver || !m_thread->giveUp(ticket))
        return;
    const Printout printout = std::move(it->second.printout);
    m_jobs.erase(it);
    tellLater(kPrintFailedQuestion, printout);
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
