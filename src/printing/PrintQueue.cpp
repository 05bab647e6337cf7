#include "PrintQueue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSizeF>

#include <cups/cups.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <iterator>
#include <map>
#include <mutex>

namespace qelvaro {

namespace {

constexpr int kAnswerMilliseconds = SystemPrintQueue::kAnswerSeconds * 1000;

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

using Reply = PrintQueue::Reply;

QByteArray addressOf(const QString& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.toUtf8().constData());
    return uri;
}

// What a failed call says: an answer that said no, or none.
Reply refusedOrSilent(http_t* http) { return answered(http) ? Reply::Refused : Reply::Silent; }

// A printer as the service describes it; null when it does not, see cupsLastError().
struct Destination {
    // The default printer: the user's own choice, else the service's.
    explicit Destination(http_t* http) : dest(cupsGetNamedDest(http, nullptr, nullptr)) {}
    // A queue of the service by its address, asking nothing.
    explicit Destination(const QString& queue) : dest(cupsGetDestWithURI(nullptr, addressOf(queue).constData())) {}
    ~Destination()
    {
        if (dest)
            cupsFreeDests(1, dest);
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;
    cups_dest_t* dest;
};

// Where a job the service no longer lists stands, by whether its printer is still there.
PrintQueue::JobState forgotten(http_t* http, const QString& printer)
{
    // No longer listed: a service that keeps no history of done jobs forgets a printed one at
    // once, so only the printer's going tells that it did not print. The printer is asked for by
    // its queue's address: one that is gone is not looked for all over the network.
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, addressOf(printer).constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state");
    ippDelete(cupsDoRequest(http, request, "/"));
    if (!answered(http))
        return PrintQueue::JobState::Unanswered;
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return PrintQueue::JobState::Completed;
    return notFound(http) ? PrintQueue::JobState::Failed : PrintQueue::JobState::Waiting;
}

}  // namespace

// The connections open now, each with the service's address and port as it connected, so that
// the program's end can break off what they wait for.
class SystemPrintQueue::OpenConnections {
public:
    void add(http_t* http)
    {
        sockaddr_storage peer{};
        if (!peerOf(httpGetFd(http), peer))
            peer.ss_family = AF_UNSPEC;  // matches no socket: left to its own answer time
        const std::lock_guard lock(m_mutex);
        m_open[http] = peer;
    }
    void remove(http_t* http)
    {
        const std::lock_guard lock(m_mutex);
        m_open.erase(http);
    }
    // Shuts each connection's socket down from this thread: the wait on the print thread ends at
    // once, as on a connection the service closed.
    void breakOff()
    {
        const std::lock_guard lock(m_mutex);
        for (const auto& [http, service] : m_open)
            if (const int fd = httpGetFd(http); isConnectedTo(fd, service))
                ::shutdown(fd, SHUT_RDWR);
    }

private:
    static bool peerOf(int fd, sockaddr_storage& peer)
    {
        socklen_t length = sizeof peer;
        return fd >= 0 && ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
    }
    // libcups changes a connection's socket when it reconnects: whatever the number names at this
    // moment is shut down only if it is a socket to the print service's own address and port.
    static bool isConnectedTo(int fd, const sockaddr_storage& service)
    {
        sockaddr_storage peer{};
        if (!peerOf(fd, peer) || peer.ss_family != service.ss_family)
            return false;
        switch (peer.ss_family) {
        case AF_INET: {
            const auto& a = reinterpret_cast<const sockaddr_in&>(peer);
            const auto& b = reinterpret_cast<const sockaddr_in&>(service);
            return a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
        }
        case AF_INET6: {
            const auto& a = reinterpret_cast<const sockaddr_in6&>(peer);
            const auto& b = reinterpret_cast<const sockaddr_in6&>(service);
            return a.sin6_port == b.sin6_port && a.sin6_scope_id == b.sin6_scope_id &&
                   std::memcmp(&a.sin6_addr, &b.sin6_addr, sizeof a.sin6_addr) == 0;
        }
        case AF_LOCAL:
            return std::strncmp(reinterpret_cast<const sockaddr_un&>(peer).sun_path,
                                reinterpret_cast<const sockaddr_un&>(service).sun_path,
                                sizeof(sockaddr_un::sun_path)) == 0;
        default:
            return false;
        }
    }

    std::mutex m_mutex;
    std::map<http_t*, sockaddr_storage> m_open;
};

// The printer a print goes to as the service last described it: the default printer with the
// user's own options for it (any other by its queue's address), and what the paper step read of
// it, on which its job is then made. Asked for again by name, libcups would, should the service
// fall silent just then, look for the printer all over the network, on connections of its own
// that nothing can break off.
class SystemPrintQueue::KnownPrinter {
public:
    KnownPrinter() = default;
    ~KnownPrinter() { forget(); }
    KnownPrinter(const KnownPrinter&) = delete;
    KnownPrinter& operator=(const KnownPrinter&) = delete;

    void keep(cups_dest_t* dest)
    {
        forget();
        m_count = cupsCopyDest(dest, 0, &m_dests);
    }
    // Null when that is not the printer kept.
    cups_dest_t* find(const QString& name) const
    {
        return cupsGetDest(name.toUtf8().constData(), nullptr, m_count, m_dests);
    }
    // What the service told of the printer kept; null until it is described.
    cups_dinfo_t* info() const { return m_info; }
    // Reads what the service tells of the printer now (one request), keeping it by its queue's
    // address when it is not the printer kept.
    Reply describe(http_t* http, const QString& name, cups_dinfo_t*& info)
    {
        info = nullptr;
        if (!find(name)) {
            const Destination byAddress(name);
            if (!byAddress.dest)
                return Reply::Refused;
            keep(byAddress.dest);
        }
        cups_dinfo_t* read = cupsCopyDestInfo(http, m_dests);
        if (!read)
            return refusedOrSilent(http);
        if (m_info)
            cupsFreeDestInfo(m_info);
        info = m_info = read;
        return Reply::Given;
    }
    cups_dest_t* dest() const { return m_dests; }

private:
    void forget()
    {
        if (m_info)
            cupsFreeDestInfo(m_info);
        m_info = nullptr;
        cupsFreeDests(m_count, m_dests);
        m_dests = nullptr;
        m_count = 0;
    }

    cups_dest_t* m_dests = nullptr;
    int m_count = 0;
    cups_dinfo_t* m_info = nullptr;
};

// A connection to the print service of its own (libcups' shared default connection would wait a
// minute and more for a service that is silent). Each wait ends once the service has been silent
// for the answer time, however long the whole request has taken while it answered, and at once
// when the queue is interrupted.
class PrintServiceConnection {
public:
    explicit PrintServiceConnection(SystemPrintQueue& queue) : m_queue(queue)
    {
        const bool ending = queue.m_interrupted.load();
        const int answerMilliseconds = ending ? PrintQueue::kEndingMilliseconds : kAnswerMilliseconds;
        QElapsedTimer clock;
        clock.start();
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, answerMilliseconds,
                              ending ? nullptr : &queue.m_cancelConnect);
        if (!m_http) {
            m_refused = !queue.m_interrupted.load() && clock.elapsed() < answerMilliseconds / 2;
            return;
        }
        httpSetTimeout(m_http, answerMilliseconds / 1000.0, nullptr, nullptr);
        queue.m_open->add(m_http);
        if (!ending && queue.m_interrupted.load())
            queue.m_open->breakOff();  // interrupted while it connected
    }
    ~PrintServiceConnection()
    {
        if (!m_http)
            return;
        m_queue.m_open->remove(m_http);
        httpClose(m_http);
    }
    PrintServiceConnection(const PrintServiceConnection&) = delete;
    PrintServiceConnection& operator=(const PrintServiceConnection&) = delete;

    http_t* http() const { return m_http; }
    // No service listens at all: no printer can be had, which is an answer of its own.
    bool refused() const { return m_refused; }

private:
    SystemPrintQueue& m_queue;
    http_t* m_http = nullptr;
    bool m_refused = false;
};

SystemPrintQueue::SystemPrintQueue()
    : m_open(std::make_unique<OpenConnections>()), m_known(std::make_unique<KnownPrinter>())
{
}

SystemPrintQueue::~SystemPrintQueue() = default;

Reply SystemPrintQueue::defaultPrinter(QString& name)
{
    name.clear();
    const PrintServiceConnection connection(*this);
    if (!connection.http())
        return connection.refused() ? Reply::Given : Reply::Silent;
    const Destination printer(connection.http());
    if (printer.dest) {
        name = QString::fromUtf8(printer.dest->name);
        m_known->keep(printer.dest);
        return Reply::Given;
    }
    return answered(connection.http()) ? Reply::Given : Reply::Silent;
}

Reply SystemPrintQueue::paper(const QString& printer, QPageLayout::Orientation orientation, Paper& paper)
{
    const PrintServiceConnection connection(*this);
    http_t* http = connection.http();
    if (!http)
        return Reply::Silent;
    // The default printer as found just before; any other by its queue's address alone.
    cups_dinfo_t* info = nullptr;
    if (const Reply described = m_known->describe(http, printer, info); described != Reply::Given)
        return described;
    cups_dest_t* dest = m_known->dest();
    // The paper the printer takes by default, and its printable area. (Asked for the default
    // paper's size alone, libcups may answer with the locale's paper instead of the printer's.)
    QByteArray media;
    if (ipp_attribute_t* preset = cupsFindDestDefault(http, dest, info, "media"))
        media = ippGetString(preset, 0, nullptr);
    cups_size_t size{};
    bool found = !media.isEmpty() && cupsGetDestMediaByName(http, dest, info, media.constData(), 0, &size);
    if (!found) {
        found = cupsGetDestMediaDefault(http, dest, info, 0, &size);
        media = size.media;
    }
    if (!found)
        return refusedOrSilent(http);
    // The service gives hundredths of a millimetre.
    paper.size = QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter, QString(),
                           QPageSize::FuzzyMatch);
    paper.media = QString::fromUtf8(media);
    const QMarginsF m(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
    // The queue turns a landscape page a quarter turn onto the paper, its top edge along the
    // paper's left edge: the landscape page's left margin is the paper's bottom one, and so on.
    paper.minimumMarginsMillimetres =
        orientation == QPageLayout::Landscape ? QMarginsF(m.bottom(), m.left(), m.top(), m.right()) : m;
    return Reply::Given;
}

Reply SystemPrintQueue::createJob(const QString& printer, const QString& jobName, const Paper& paper, int& jobId)
{
    jobId = 0;
    const PrintServiceConnection connection(*this);
    if (!connection.http())
        return Reply::Silent;
    cups_option_t* options = nullptr;
    int optionCount = 0;
    // The page is drawn 1:1 on the printer's own paper: no scaling to fit.
    optionCount = cupsAddOption("fit-to-page", "false", optionCount, &options);
    if (!paper.media.isEmpty())
        optionCount = cupsAddOption("media", paper.media.toUtf8().constData(), optionCount, &options);
    // Made on the printer as the paper step described it: asked for again by name, it would cost
    // two more requests and, should they go unanswered, a search of the network.
    cups_dinfo_t* info = m_known->find(printer) ? m_known->info() : nullptr;
    Reply reply = info ? Reply::Given : m_known->describe(connection.http(), printer, info);
    if (reply == Reply::Given) {
        const ipp_status_t status = cupsCreateDestJob(connection.http(), m_known->dest(), info, &jobId,
                                                      jobName.toUtf8().constData(), optionCount, options);
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE || jobId <= 0)
            reply = refusedOrSilent(connection.http());
    }
    cupsFreeOptions(optionCount, options);
    if (reply != Reply::Given)
        jobId = 0;
    return reply;
}

PrintQueue::Delivery SystemPrintQueue::sendDocument(int jobId, const QString& printer, const QString& pdfPath,
                                                    const std::function<bool()>& wanted)
{
    const auto failed = [](http_status_t status) {
        return status == HTTP_STATUS_ERROR ? Delivery::CutShort : Delivery::Refused;
    };
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return Delivery::CutShort;
    const PrintServiceConnection connection(*this);
    http_t* http = connection.http();
    if (!http)
        return Delivery::CutShort;
    const QByteArray name = printer.toUtf8();
    const http_status_t started = cupsStartDocument(http, name.constData(), jobId, nullptr, CUPS_FORMAT_PDF, 1);
    if (started != HTTP_STATUS_CONTINUE)
        return failed(started);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty() || !wanted())
            return Delivery::CutShort;
        const http_status_t status = cupsWriteRequestData(http, chunk.constData(), size_t(chunk.size()));
        if (status != HTTP_STATUS_CONTINUE)
            return failed(status);
    }
    if (!wanted())
        return Delivery::CutShort;
    // The empty last piece ends the document. Written is not received: a connection that breaks
    // before the answer may have lost any of it, which only the job can tell.
    if (httpWrite2(http, "", 0) < 0 || httpError(http) != 0)
        return Delivery::CutShort;
    const ipp_status_t status = cupsFinishDocument(http, name.constData());
    if (!answered(http))
        return Delivery::Unanswered;
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE ? Delivery::Accepted : Delivery::Refused;
}

Reply SystemPrintQueue::cancel(int jobId)
{
    const PrintServiceConnection connection(*this);
    if (!connection.http())
        return Reply::Silent;
    if (cupsCancelJob2(connection.http(), nullptr, jobId, 0) <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return Reply::Given;
    // "Not possible" (printing, or ended already) and "not found" are no cancel.
    return refusedOrSilent(connection.http());
}

void SystemPrintQueue::interrupt()
{
    m_interrupted.store(true);
    std::atomic_ref<int>(m_cancelConnect).store(1);
    m_open->breakOff();
}

PrintQueue::JobState SystemPrintQueue::jobState(int jobId, const QString& printer)
{
    const PrintServiceConnection connection(*this);
    if (!connection.http())
        return JobState::Unanswered;
    // One Get-Job-Attributes request for this job alone, not a listing of the queue.
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/jobs/%d", jobId);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char* const kAsked[] = {"job-state", "job-state-reasons", "number-of-documents"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", std::size(kAsked), nullptr,
                  kAsked);
    ipp_t* response = cupsDoRequest(connection.http(), request, "/");
    int state = 0;
    int documents = -1;  // not told
    bool incoming = false;
    if (response) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(attribute, 0);
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "number-of-documents", IPP_TAG_INTEGER))
            documents = ippGetInteger(attribute, 0);
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD))
            incoming = ippContainsString(attribute, "job-incoming");
        ippDelete(response);
    } else if (!answered(connection.http())) {
        return JobState::Unanswered;
    }
    if (notFound(connection.http()))
        return forgotten(connection.http(), printer);
    switch (state) {
    case IPP_JSTATE_COMPLETED:
        return JobState::Completed;
    case IPP_JSTATE_STOPPED:
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        return JobState::Failed;
    case IPP_JSTATE_PENDING:
    case IPP_JSTATE_HELD:
        // Made, but not yet given its document (a service that does not count documents still
        // marks such a job as incoming).
        if (documents == 0 || (documents < 0 && incoming))
            return JobState::Incoming;
        return JobState::Waiting;
    default:
        // Printing, or a state the service did not say: ask again later.
        return JobState::Waiting;
    }
}

}  // namespace qelvaro
