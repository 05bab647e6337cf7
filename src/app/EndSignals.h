#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace qelvaro {

// Turns SIGTERM, SIGINT and SIGHUP (logout, shutdown, kill, Ctrl+C) into received(), delivered by
// the event loop, so the program can end through its ordinary close instead of dying on the spot.
// The handler itself only writes a byte to a socket pair; a further signal after the first ends
// the program at once, for a close that hangs. One instance at a time; the destructor puts the
// earlier handlers back.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPending();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previous[3] = {};
};

}  // namespace qelvaro
