#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>

namespace qelvaro::test {

TempProgramFolder::TempProgramFolder() : m_dir(QDir::tempPath() + QStringLiteral("/qelvaro-test-XXXXXX")) {}

// The icons are those MessageBoxSink shows (its test holds the two side by side).
void MessageRecorder::tell(const QString& text, const QString& title)
{
    messages.append({title, text, false, MessageIcon::None});
}

void MessageRecorder::warn(const QString& text, const QString& title)
{
    messages.append({title, text, false, MessageIcon::Warning});
}

bool MessageRecorder::ask(const QString& text, const QString& title)
{
    messages.append({title, text, true, MessageIcon::Warning});
    return answers.isEmpty() ? true : answers.takeFirst();
}

bool MessageRecorder::confirm(const QString& text, const QString& title)
{
    messages.append({title, text, true, MessageIcon::Warning});
    return answers.isEmpty() ? true : answers.takeFirst();
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const Message& m : messages)
        result << m.text;
    return result;
}

void typeText(QWidget* widget, const QString& text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const bool ascii = text[i].unicode() < 0x80;
        qsizetype j = i;
        while (j < text.size() && (text[j].unicode() < 0x80) == ascii)
            ++j;
        const QString run = text.mid(i, j - i);
        if (ascii) {
            QTest::keyClicks(widget, run);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QApplication::sendEvent(widget, &commit);
        }
        i = j;
    }
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
