#include "PrintQueue.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace qelvaro {

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

int SystemPrintQueue::submit(const QString& printer, const QString& jobName, const QString& pdfPath)
{
    cups_option_t* options = nullptr;
    int optionCount = 0;
    // The page is drawn 1:1 on the printer's own paper: no scaling to fit.
    optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
    const QPageSize size = paper(printer, QPageLayout::Portrait).size;
    if (!size.key().isEmpty())
        optionCount = cupsAddOption("media", size.key().toUtf8().constData(), optionCount, &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), QFile::encodeName(pdfPath).constData(),
                                  jobName.toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    return id > 0 ? id : 0;
}

PrintQueue::JobState SystemPrintQueue::jobState(int jobId)
{
    // One Get-Job-Attributes request for this job's state alone, not a listing of the queue.
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/jobs/%d", jobId);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    const ipp_status_t status = cupsLastError();
    int state = 0;
    if (response) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(attribute, 0);
        ippDelete(response);
    }
    if (status == IPP_STATUS_ERROR_NOT_FOUND)
        return JobState::Failed;  // gone with its printer, or purged: it did not print as far as we know
    switch (state) {
    case IPP_JSTATE_COMPLETED:
        return JobState::Completed;
    case IPP_JSTATE_STOPPED:
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        return JobState::Failed;
    default:
        // Pending, held, processing, or the service did not answer: ask again later.
        return JobState::Waiting;
    }
}

}  // namespace qelvaro
