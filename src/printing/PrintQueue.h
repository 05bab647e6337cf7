#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

namespace qelvaro {

// The system's print queues as a print job needs them: which printer is the default, what paper
// it holds and how far its printable area lies from the paper's edges, taking a finished PDF as a
// job and telling where a job stands. Tests put a fake in its place, so no print service is needed.
class PrintQueue {
public:
    enum class JobState {
        Waiting,    // held, pending or printing; also when the service cannot be asked just now
        Completed,
        Failed,     // cancelled, aborted, stopped, or no longer known to the queue
    };
    struct Paper {
        QPageSize size{QPageSize::A4};
        QMarginsF minimumMarginsMillimetres;  // for the given orientation, as the printer reports them
    };

    virtual ~PrintQueue() = default;
    // Empty when the system has no default printer.
    virtual QString defaultPrinter() = 0;
    virtual Paper paper(const QString& printer, QPageLayout::Orientation orientation) = 0;
    // Hands the PDF file to the printer's queue and returns at once: the job's id, or 0 when the
    // queue refused it. The queue keeps its own copy; the file may go as soon as this returns.
    virtual int submit(const QString& printer, const QString& jobName, const QString& pdfPath) = 0;
    // Where the job stands now; asks about that one job only, and never waits for it.
    virtual JobState jobState(int jobId) = 0;
};

// The print queues of the system's print service (CUPS).
class SystemPrintQueue : public PrintQueue {
public:
    QString defaultPrinter() override;
    Paper paper(const QString& printer, QPageLayout::Orientation orientation) override;
    int submit(const QString& printer, const QString& jobName, const QString& pdfPath) override;
    JobState jobState(int jobId) override;
};

}  // namespace qelvaro
