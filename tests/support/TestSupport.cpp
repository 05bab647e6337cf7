#include "TestSupport.h"

#include <QFile>

namespace qelvaro::test {

TempProgramFolder::TempProgramFolder() : m_dir(QDir::tempPath() + QStringLiteral("/qelvaro-test-XXXXXX")) {}

void MessageRecorder::tell(const QString& text, const QString& title)
{
    messages.append({title, text, false});
}

bool MessageRecorder::ask(const QString& text, const QString& title)
{
    messages.append({title, text, true});
    return answers.isEmpty() ? true : answers.takeFirst();
}

void MessageRecorder::warn(const QString& text, const QString& title)
{
    messages.append({title, text, false, true});
}

bool MessageRecorder::confirm(const QString& text, const QString& title)
{
    messages.append({title, text, true, true});
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

}  // namespace qelvaro::test
