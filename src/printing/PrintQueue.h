#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <optional>

namespace qelvaro {

// The system's print queues as a print job needs them: which printer is the default, what paper
// it holds and how far its printable area lies from the paper's edges, taking a finished PDF as a
// job, cancelling one and telling where a job stands. Every call may wait for the print service
// (up to its answer time), so the program calls it off the window thread only. Tests put a fake
// in its place, so no print service is needed.
class PrintQueue {
public:
    enum class JobState {
        Waiting,    // held, pending or printing; also when the service does not answer just now
        Completed,  // printed, or no longer listed while its printer is still there
        Failed,     // cancelled, aborted or stopped, or gone with its printer
    };
    struct Paper {
        QPageSize size{QPageSize::A4};
        QMarginsF minimumMarginsMillimetres;  // for the given orientation, as the printer reports them
        QString media;                        // the service's name of the paper, for the job
    };

    virtual ~PrintQueue() = default;
    // The default printer's name; an empty name when the service answers that there is none;
    // nothing when it does not answer in time.
    virtual std::optional<QString> defaultPrinter() = 0;
    // Nothing when the service does not answer in time.
    virtual std::optional<Paper> paper(const QString& printer, QPageLayout::Orientation orientation) = 0;
    // Hands the PDF file to the printer's queue: the job's id, or 0 when the queue refused it or
    // did not answer in time (a job it had begun to take is cancelled then). The queue keeps its
    // own copy; the file may go as soon as this returns.
    virtual int submit(const QString& printer, const QString& jobName, const QString& pdfPath, const Paper& paper) = 0;
    // True when the service answered (the job is cancelled, or had ended already).
    virtual bool cancel(int jobId) = 0;
    // Where the job stands now; asks about that one job only (and its printer, when the job is no
    // longer listed).
    virtual JobState jobState(int jobId, const QString& printer) = 0;
};

// The print queues of the system's print service (CUPS), each call on a connection of its own
// that gives up when the service does not answer within the answer time.
class SystemPrintQueue : public PrintQueue {
public:
    static constexpr int kAnswerSeconds = 5;

    std::optional<QString> defaultPrinter() override;
    std::optional<Paper> paper(const QString& printer, QPageLayout::Orientation orientation) override;
    int submit(const QString& printer, const QString& jobName, const QString& pdfPath, const Paper& paper) override;
    bool cancel(int jobId) override;
    JobState jobState(int jobId, const QString& printer) override;
};

}  // namespace qelvaro
