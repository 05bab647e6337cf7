#include "EndSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace qelvaro {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t g_writeFd = -1;
volatile std::sig_atomic_t g_received = 0;

// Only async-signal-safe calls here: the work is done by the event loop.
void onEndSignal(int signalNumber)
{
    if (g_received != 0) {
        // The ordinary close is under way already (or hangs): end now, as the signal would have.
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    g_received = signalNumber;
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_fds) != 0) {
        // Without the pair the signals keep their default: the program ends at once as before.
        m_fds[0] = m_fds[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::readPending);
    g_received = 0;
    g_writeFd = m_fds[1];

    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

EndSignals::~EndSignals()
{
    if (m_fds[0] < 0)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void EndSignals::readPending()
{
    char bytes[16];
    int last = 0;
    ssize_t n;
    while ((n = ::read(m_fds[0], bytes, sizeof bytes)) > 0)
        last = static_cast<unsigned char>(bytes[n - 1]);
    if (last != 0)
        emit received(last);
}

}  // namespace qelvaro
