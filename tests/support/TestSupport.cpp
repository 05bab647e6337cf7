#include "TestSupport.h"

#include <QFile>

#include <csignal>

#include <sys/resource.h>

namespace qelvaro::test {

TempProgramFolder::TempProgramFolder() : m_dir(QDir::tempPath() + QStringLiteral("/qelvaro-test-XXXXXX")) {}

// The icons are those MessageBoxSink shows (its test holds the two side by side).
void MessageRecorder::tell(const QString& text, const QString& title)
{
    messages.append({title, text, false, MessageIcon::None, QStringLiteral("确定")});
    if (onMessage)
        onMessage();
}

void MessageRecorder::warn(const QString& text, const QString& title)
{
    messages.append({title, text, false, MessageIcon::Warning, QStringLiteral("确定")});
    if (onMessage)
        onMessage();
}

bool MessageRecorder::ask(const QString& text, const QString& title)
{
    messages.append({title, text, true, MessageIcon::Warning, QStringLiteral("是/否")});
    if (onMessage)
        onMessage();
    return answers.isEmpty() ? true : answers.takeFirst();
}

bool MessageRecorder::confirm(const QString& text, const QString& title)
{
    messages.append({title, text, true, MessageIcon::Warning, QStringLiteral("确定/取消")});
    if (onMessage)
        onMessage();
    return answers.isEmpty() ? true : answers.takeFirst();
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const Message& m : messages)
        result << m.text;
    return result;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

DiskFullBeyond::DiskFullBeyond(qint64 bytes)
{
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

DiskFullBeyond::~DiskFullBeyond()
{
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

}  // namespace qelvaro::test
