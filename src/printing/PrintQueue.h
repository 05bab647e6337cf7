#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

namespace qelvaro {

// The system's print queues as a print job needs them: which printer is the default, what paper
// it holds and how far its printable area lies from the paper's edges, taking a finished PDF as a
// job and telling what became of it. Tests put a fake in its place, so no print service is needed.
class PrintQueue {
public:
    enum class Fate {
        Refused,   // the queue did not take the job (stopped accepting, unknown printer, ...)
        Failed,    // taken, then aborted or cancelled
        Printed,   // completed
        Accepted,  // taken and still waiting or printing when we stopped following it
    };
    struct Paper {
        QPageSize size{QPageSize::A4};
        QMarginsF minimumMarginsMillimetres;  // for the given orientation, as the printer reports them
    };

    virtual ~PrintQueue() = default;
    // Empty when the system has no default printer.
    virtual QString defaultPrinter() = 0;
    virtual Paper paper(const QString& printer, QPageLayout::Orientation orientation) = 0;
    // Submits the PDF file and follows the job for a short while.
    virtual Fate print(const QString& printer, const QString& jobName, const QString& pdfPath) = 0;
};

// The print queues of the system's print service (CUPS).
class SystemPrintQueue : public PrintQueue {
public:
    QString defaultPrinter() override;
    Paper paper(const QString& printer, QPageLayout::Orientation orientation) override;
    Fate print(const QString& printer, const QString& jobName, const QString& pdfPath) override;
};

}  // namespace qelvaro
