#pragma once

#include <QString>

namespace qelvaro {

inline const QString kMessageTitle = QStringLiteral("提示");

// The icon of a message box. A plain report shows none; a refusal, or a problem the doctor has to
// act on, shows the exclamation mark.
enum class MessageIcon { None, Warning };

// Where the program's messages go: message boxes for the doctor, a recorder in tests (a modal box
// would block a test).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A plain report: no icon, one 确定 button.
    virtual void tell(const QString& text, const QString& title = kMessageTitle) = 0;
    // What to do about a problem (exclamation icon), with 是 / 否; true for 是.
    virtual bool ask(const QString& text, const QString& title = kMessageTitle) = 0;
    // A refusal or a problem: exclamation icon, one 确定 button. A sink that shows no box (one
    // that counts or drops messages) may take it as any other message.
    virtual void warn(const QString& text, const QString& title = kMessageTitle) { tell(text, title); }
    // A warning that asks to go on (exclamation icon), with 确定 / 取消; true for 确定.
    virtual bool confirm(const QString& text, const QString& title = kMessageTitle) { return ask(text, title); }
};

}  // namespace qelvaro
