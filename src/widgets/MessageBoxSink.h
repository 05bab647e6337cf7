#pragma once

#include "MessageSink.h"

class QWidget;

namespace qelvaro {

// The program's messages as message boxes, each with its icon and Chinese buttons.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void tell(const QString& text, const QString& title = kMessageTitle) override;
    bool ask(const QString& text, const QString& title = kMessageTitle) override;
    void warn(const QString& text, const QString& title = kMessageTitle) override;
    bool confirm(const QString& text, const QString& title = kMessageTitle) override;

private:
    QWidget* m_parent;
};

}  // namespace qelvaro
