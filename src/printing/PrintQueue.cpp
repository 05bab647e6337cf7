#include "PrintQueue.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

#include <cups/cups.h>

namespace qelvaro {

namespace {

// How long a job is followed before it counts as taken: long enough for a queue that fails a job
// at once, short enough that the doctor is not kept waiting for a slow printer.
constexpr int kFollowMilliseconds = 3000;
constexpr int kPollMilliseconds = 100;

// The job's state as the print service tells it; 0 when the job is not (or no longer) listed.
int jobState(const QByteArray& printer, int id)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.constData(), 0, CUPS_WHICHJOBS_ALL);
    int state = 0;
    for (int i = 0; i < count; ++i)
        if (jobs[i].id == id)
            state = jobs[i].state;
    cupsFreeJobs(count, jobs);
    return state;
}

}  // namespace

QString SystemPrintQueue::defaultPrinter() { return QPrinterInfo::defaultPrinter().printerName(); }

PrintQueue::Paper SystemPrintQueue::paper(const QString& printer, QPageLayout::Orientation orientation)
{
    const QPrinter device(QPrinterInfo::printerInfo(printer), QPrinter::HighResolution);
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF m = layout.minimumMargins();  // of the paper as it runs through the printer
    // The queue turns a landscape page a quarter turn onto the paper, its top edge along the
    // paper's left edge: the landscape page's left margin is the paper's bottom one, and so on.
    if (orientation == QPageLayout::Landscape)
        return {layout.pageSize(), QMarginsF(m.bottom(), m.left(), m.top(), m.right())};
    return {layout.pageSize(), m};
}

PrintQueue::Fate SystemPrintQueue::print(const QString& printer, const QString& jobName, const QString& pdfPath)
{
    const QByteArray name = printer.toUtf8();
    cups_option_t* options = nullptr;
    int optionCount = 0;
    // The page is drawn 1:1 on the printer's own paper: no scaling to fit.
    optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
    const QPageSize size = paper(printer, QPageLayout::Portrait).size;
    if (!size.key().isEmpty())
        optionCount = cupsAddOption("media", size.key().toUtf8().constData(), optionCount, &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), QFile::encodeName(pdfPath).constData(),
                                  jobName.toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (id <= 0)
        return Fate::Refused;

    QDeadlineTimer deadline(kFollowMilliseconds);
    for (;;) {
        switch (jobState(name, id)) {
        case IPP_JSTATE_COMPLETED:
            return Fate::Printed;
        case IPP_JSTATE_CANCELED:
        case IPP_JSTATE_ABORTED:
            return Fate::Failed;
        default:
            break;
        }
        if (deadline.hasExpired())
            return Fate::Accepted;
        QThread::msleep(kPollMilliseconds);
    }
}

}  // namespace qelvaro
