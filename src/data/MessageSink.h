#pragma once

#include <QString>

namespace qelvaro {

inline const QString kMessageTitle = QStringLiteral("提示");

// Where the program's messages go: message boxes for the doctor, a recorder in tests (a modal box
// would block a test).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // An information box with one 确定 button.
    virtual void tell(const QString& text, const QString& title = kMessageTitle) = 0;
    // A question with 是 / 否; true for 是.
    virtual bool ask(const QString& text, const QString& title = kMessageTitle) = 0;
    // A warning (exclamation icon) with one 确定 button.
    virtual void warn(const QString& text, const QString& title = kMessageTitle) { tell(text, title); }
    // A warning that asks to go on, with 确定 / 取消; true for 确定.
    virtual bool confirm(const QString& text, const QString& title = kMessageTitle) { return ask(text, title); }
};

}  // namespace qelvaro
