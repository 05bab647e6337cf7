#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace qelvaro {

// The system's print queues as a print job needs them: which printer is the default, what paper
// it holds and how far its printable area lies from the paper's edges, creating a job and sending
// it its document, cancelling one and telling where a job stands. Every call may wait for the
// print service, so the program calls it off the window thread only. A service that answers is
// waited for however slowly it answers; one that stays silent for the answer time is given up on,
// and the call says it had no answer. Tests put a fake in its place, so no print service is needed.
class PrintQueue {
public:
    enum class Reply {
        Given,     // the service answered and did what was asked
        Refused,   // the service answered no
        Silent,    // no answer within the answer time, or the queue was interrupted
    };
    enum class JobState {
        Waiting,     // held, pending or printing, with its document
        Incoming,    // listed without its document: it is still coming in, or never will
        Completed,   // printed, or no longer listed while its printer is still there
        Failed,      // cancelled, aborted or stopped, or gone with its printer
        Unanswered,  // the service did not answer: ask again later
    };
    // What became of a job's document.
    enum class Delivery {
        Accepted,    // sent whole and taken
        Unanswered,  // sent to the last piece, but no answer came (silence, or the connection broke):
                     // whether the job holds it whole only the job can tell
        Refused,     // the service answered that it would not take it
        CutShort,    // not sent whole: silence or a break on the way, the file unreadable, or no longer wanted
    };
    struct Paper {
        QPageSize size{QPageSize::A4};
        QMarginsF minimumMarginsMillimetres;  // for the given orientation, as the printer reports them
        QString media;                        // the service's name of the paper, for the job
    };

    virtual ~PrintQueue() = default;
    // The default printer's name, given empty when the service answers that there is none.
    virtual Reply defaultPrinter(QString& name) = 0;
    // Refused: the service knows no paper for that printer.
    virtual Reply paper(const QString& printer, QPageLayout::Orientation orientation, Paper& paper) = 0;
    // A job with no document yet, on the printer as the paper step described it; a job made
    // without a document never prints.
    virtual Reply createJob(const QString& printer, const QString& jobName, const Paper& paper, int& jobId) = 0;
    // Sends the PDF file as the job's one and last document, asking `wanted` before each piece.
    // The queue keeps its own copy; the file may go as soon as this returns, and so has the
    // connection it went on.
    virtual Delivery sendDocument(int jobId, const QString& printer, const QString& pdfPath,
                                  const std::function<bool()>& wanted) = 0;
    // Given: cancelled. Refused: the service would not (the job is printing, has ended, or is
    // not listed); what became of it is then for jobState to say.
    virtual Reply cancel(int jobId) = 0;
    // Where the job stands now; asks about that one job only (and its printer, when the job is no
    // longer listed), never searching the network for the printer.
    virtual JobState jobState(int jobId, const QString& printer) = 0;
    // The program is ending: a call under way ends at once, as if unanswered, and each later call
    // waits no longer than kEndingMilliseconds for an answer. Any thread may call it, again and again.
    virtual void interrupt() = 0;

    static constexpr int kEndingMilliseconds = 1000;
};

// The print queues of the system's print service (CUPS), each call on a connection of its own.
class SystemPrintQueue : public PrintQueue {
public:
    // A wait for the service that hears nothing for this long gives the request up.
    static constexpr int kAnswerSeconds = 5;

    SystemPrintQueue();
    ~SystemPrintQueue() override;

    Reply defaultPrinter(QString& name) override;
    Reply paper(const QString& printer, QPageLayout::Orientation orientation, Paper& paper) override;
    Reply createJob(const QString& printer, const QString& jobName, const Paper& paper, int& jobId) override;
    Delivery sendDocument(int jobId, const QString& printer, const QString& pdfPath,
                          const std::function<bool()>& wanted) override;
    Reply cancel(int jobId) override;
    JobState jobState(int jobId, const QString& printer) override;
    void interrupt() override;

private:
    friend class PrintServiceConnection;
    class OpenConnections;
    class KnownPrinter;
    std::unique_ptr<OpenConnections> m_open;
    std::unique_ptr<KnownPrinter> m_known;  // print thread only
    std::atomic<bool> m_interrupted{false};
    // Read by libcups while it connects; a plain int, as libcups takes it.
    alignas(std::atomic_ref<int>::required_alignment) int m_cancelConnect = 0;
};

}  // namespace qelvaro
