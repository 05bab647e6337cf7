#include "PrintQueue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

namespace qelvaro {

namespace {

constexpr int kAnswerMilliseconds = SystemPrintQueue::kAnswerSeconds * 1000;

// A connection to the print service of its own, whose every wait ends after the answer time:
// libcups' shared default connection would wait a minute and more for a service that is silent.
class Connection {
public:
    Connection()
    {
        QElapsedTimer clock;
        clock.start();
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kAnswerMilliseconds,
                              nullptr);
        if (m_http)
            httpSetTimeout(m_http, SystemPrintQueue::kAnswerSeconds, nullptr, nullptr);
        else
            m_refused = clock.elapsed() < kAnswerMilliseconds / 2;
    }
    ~Connection()
    {
        if (m_http)
            httpClose(m_http);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* http() const { return m_http; }
    // No service listens at all: no printer can be had, which is an answer of its own.
    bool refused() const { return m_refused; }

private:
    http_t* m_http = nullptr;
    bool m_refused = false;
};

// Whether the last request on the connection had an answer from the service, even a refusal; one
// that timed out or lost its connection had none (libcups then reports "not found" for a default
// printer it could not ask about).
bool answered(http_t* http)
{
    if (httpError(http) != 0)
        return false;
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_INTERNAL:
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_TIMEOUT:
        return false;
    default:
        return true;
    }
}

bool notFound(http_t* http) { return answered(http) && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND; }

// The printer as the service describes it; null when it does not, see cupsLastError().
struct Destination {
    explicit Destination(http_t* http, const QString& name)
        : dest(cupsGetNamedDest(http, name.isEmpty() ? nullptr : name.toUtf8().constData(), nullptr))
    {
    }
    ~Destination()
    {
        if (dest)
            cupsFreeDests(1, dest);
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;
    cups_dest_t* dest;
};

}  // namespace

std::optional<QString> SystemPrintQueue::defaultPrinter()
{
    const Connection connection;
    if (!connection.http())
        return connection.refused() ? std::optional<QString>(QString()) : std::nullopt;
    const Destination printer(connection.http(), QString());
    if (printer.dest)
        return QString::fromUtf8(printer.dest->name);
    if (answered(connection.http()))
        return QString();
    return std::nullopt;
}

std::optional<PrintQueue::Paper> SystemPrintQueue::paper(const QString& printer, QPageLayout::Orientation orientation)
{
    const Connection connection;
    if (!connection.http())
        return std::nullopt;
    const Destination destination(connection.http(), printer);
    if (!destination.dest)
        return std::nullopt;
    cups_dinfo_t* info = cupsCopyDestInfo(connection.http(), destination.dest);
    if (!info)
        return std::nullopt;
    // The paper the printer takes by default, and its printable area. (Asked for the default
    // paper's size alone, libcups may answer with the locale's paper instead of the printer's.)
    QByteArray media;
    if (ipp_attribute_t* preset = cupsFindDestDefault(connection.http(), destination.dest, info, "media"))
        media = ippGetString(preset, 0, nullptr);
    cups_size_t size{};
    bool found = !media.isEmpty() &&
                 cupsGetDestMediaByName(connection.http(), destination.dest, info, media.constData(), 0, &size);
    if (!found) {
        found = cupsGetDestMediaDefault(connection.http(), destination.dest, info, 0, &size);
        media = size.media;
    }
    cupsFreeDestInfo(info);
    if (!found)
        return std::nullopt;
    // The service gives hundredths of a millimetre.
    Paper paper;
    paper.size = QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter, QString(),
                           QPageSize::FuzzyMatch);
    paper.media = QString::fromUtf8(media);
    const QMarginsF m(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
    // The queue turns a landscape page a quarter turn onto the paper, its top edge along the
    // paper's left edge: the landscape page's left margin is the paper's bottom one, and so on.
    paper.minimumMarginsMillimetres =
        orientation == QPageLayout::Landscape ? QMarginsF(m.bottom(), m.left(), m.top(), m.right()) : m;
    return paper;
}

int SystemPrintQueue::submit(const QString& printer, const QString& jobName, const QString& pdfPath, const Paper& paper)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const Connection connection;
    http_t* http = connection.http();
    if (!http)
        return 0;
    cups_option_t* options = nullptr;
    int optionCount = 0;
    // The page is drawn 1:1 on the printer's own paper: no scaling to fit.
    optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
    if (!paper.media.isEmpty())
        optionCount = cupsAddOption("media", paper.media.toUtf8().constData(), optionCount, &options);
    const QByteArray name = printer.toUtf8();
    const QByteArray title = jobName.toUtf8();
    // The job is created first and its document sent after: should the service fall silent on
    // the way, the job it made has no document to print, and it is cancelled as soon as it can be.
    const int id = cupsCreateJob(http, name.constData(), title.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (id <= 0)
        return 0;
    bool sent = cupsStartDocument(http, name.constData(), id, title.constData(), CUPS_FORMAT_PDF, 1) ==
                HTTP_STATUS_CONTINUE;
    while (sent && !file.atEnd()) {
        const QByteArray chunk = file.read(64 * 1024);
        sent = !chunk.isEmpty() && cupsWriteRequestData(http, chunk.constData(), size_t(chunk.size())) ==
                                       HTTP_STATUS_CONTINUE;
    }
    if (sent && cupsFinishDocument(http, name.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return id;
    cancel(id);
    return 0;
}

bool SystemPrintQueue::cancel(int jobId)
{
    const Connection connection;
    if (!connection.http())
        return connection.refused();
    const ipp_status_t status = cupsCancelJob2(connection.http(), nullptr, jobId, 0);
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE || answered(connection.http());
}

PrintQueue::JobState SystemPrintQueue::jobState(int jobId, const QString& printer)
{
    const Connection connection;
    if (!connection.http())
        return JobState::Waiting;
    // One Get-Job-Attributes request for this job's state alone, not a listing of the queue.
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/jobs/%d", jobId);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(connection.http(), request, "/");
    int state = 0;
    if (response) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(attribute, 0);
        ippDelete(response);
    }
    if (notFound(connection.http())) {
        // No longer listed: a service that keeps no history of done jobs forgets a printed one at
        // once, so only the printer's going tells that it did not print.
        const Destination stillThere(connection.http(), printer);
        if (stillThere.dest)
            return JobState::Completed;
        return notFound(connection.http()) ? JobState::Failed : JobState::Waiting;
    }
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
