#include "UnattendedMessages.h"

#include <cstdio>

namespace qelvaro {

namespace {

// "qelvaro: " and the message on one line: its line breaks become blanks.
void writeLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    const QByteArray bytes = QStringLiteral("qelvaro: %1\n").arg(line).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

bool UnattendedMessages::writtenInstead(const QString& text)
{
    if (m_unattended)
        writeLine(text);
    return m_unattended;
}

void UnattendedMessages::tell(const QString& text, const QString& title)
{
    if (!writtenInstead(text))
        m_shown.tell(text, title);
}

bool UnattendedMessages::ask(const QString& text, const QString& title)
{
    return !writtenInstead(text) && m_shown.ask(text, title);
}

void UnattendedMessages::warn(const QString& text, const QString& title)
{
    if (!writtenInstead(text))
        m_shown.warn(text, title);
}

bool UnattendedMessages::confirm(const QString& text, const QString& title)
{
    return !writtenInstead(text) && m_shown.confirm(text, title);
}

}  // namespace qelvaro
