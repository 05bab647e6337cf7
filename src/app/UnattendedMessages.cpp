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

void UnattendedMessages::tell(const QString& text, const QString& title)
{
    if (m_unattended)
        return writeLine(text);
    m_shown.tell(text, title);
}

bool UnattendedMessages::ask(const QString& text, const QString& title)
{
    if (!m_unattended)
        return m_shown.ask(text, title);
    writeLine(text);
    return false;
}

void UnattendedMessages::warn(const QString& text, const QString& title)
{
    if (m_unattended)
        return writeLine(text);
    m_shown.warn(text, title);
}

bool UnattendedMessages::confirm(const QString& text, const QString& title)
{
    if (!m_unattended)
        return m_shown.confirm(text, title);
    writeLine(text);
    return false;
}

}  // namespace qelvaro
