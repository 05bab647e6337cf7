#pragma once

#include "AppPaths.h"
#include "MessageSink.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace qelvaro::test {

// A fresh program folder for one test; removed with the object.
class TempProgramFolder {
public:
    TempProgramFolder();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    AppPaths paths() const { return AppPaths::inFolder(m_dir.path(), m_dir.path() + QStringLiteral("/qelvaro")); }

private:
    QTemporaryDir m_dir;
};

// Records every message instead of showing a box; ask() answers from a queue (default: yes).
class MessageRecorder : public MessageSink {
public:
    struct Message {
        QString title;
        QString text;
        bool question = false;  // two buttons, answered from `answers` (ask, confirm)
        MessageIcon icon = MessageIcon::None;
        QString buttons;  // the captions of the box's buttons as the doctor reads them, "确定/取消"
    };
    void tell(const QString& text, const QString& title = kMessageTitle) override;
    void warn(const QString& text, const QString& title = kMessageTitle) override;
    bool ask(const QString& text, const QString& title = kMessageTitle) override;
    bool confirm(const QString& text, const QString& title = kMessageTitle) override;

    QList<Message> messages;
    QList<bool> answers;  // consumed front first
    std::function<void()> onMessage;  // run as each message is shown, to see the screen at that moment
    QStringList texts() const;
    void clear() { messages.clear(); }
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// A full disk for as long as it lives: no file this process writes grows beyond the given size
// (the write fails instead of the process being stopped).
class DiskFullBeyond {
public:
    explicit DiskFullBeyond(qint64 bytes);
    ~DiskFullBeyond();
    DiskFullBeyond(const DiskFullBeyond&) = delete;
    DiskFullBeyond& operator=(const DiskFullBeyond&) = delete;

private:
    quint64 m_previous = 0;
    void (*m_previousHandler)(int) = nullptr;
};

}  // namespace qelvaro::test
