#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;

namespace qelvaro {

class MessageSink;

// What the login says to any entry when start-up found the data unusable.
inline const QString kLoginClosedMessage =
    QStringLiteral("数据文件有问题，程序不能登录。请按启动时提示的问题处理后，再重新启动程序。");

// "登录": asks for the login password before the main window is shown. A correct entry hides the
// window and emits accepted(); 取消 or the close box emits cancelled() and the program ends.
class LoginWindow : public QWidget {
    Q_OBJECT
public:
    // With no stored password (start-up failed) nobody is admitted.
    LoginWindow(const std::optional<QString>& storedPassword, MessageSink& messages, QWidget* parent = nullptr);

signals:
    void accepted();
    void cancelled();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void confirm();

    std::optional<QString> m_storedPassword;
    MessageSink& m_messages;
    QLineEdit* m_entry;
    QLabel* m_hint;
    bool m_accepted = false;
};

}  // namespace qelvaro
