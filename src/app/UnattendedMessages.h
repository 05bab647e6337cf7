#pragma once

#include "MessageSink.h"

namespace qelvaro {

// The program's messages, shown by the sink it is given until the program ends on a signal (a
// logout, a shutdown, kill): nobody is at the screen then to press 确定, so from that moment each
// message is written to standard error as one line (the system's journal keeps it) and each
// question is answered no.
class UnattendedMessages : public MessageSink {
public:
    explicit UnattendedMessages(MessageSink& shown) : m_shown(shown) {}

    void setUnattended() { m_unattended = true; }

    void tell(const QString& text, const QString& title = kMessageTitle) override;
    bool ask(const QString& text, const QString& title = kMessageTitle) override;
    void warn(const QString& text, const QString& title = kMessageTitle) override;
    bool confirm(const QString& text, const QString& title = kMessageTitle) override;

private:
    // Writes the message to standard error when nobody is there to see it; true when it did.
    bool writtenInstead(const QString& text);

    MessageSink& m_shown;
    bool m_unattended = false;
};

}  // namespace qelvaro
