#include "LoginWindow.h"

#include "MessageSink.h"
#include "TextRules.h"
#include "WindowHelpers.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace qelvaro {
namespace {

const QString kInitialPassword = QStringLiteral("586");
constexpr int kPasswordLength = 15;

// A key before a padlock, drawn so the program needs no image files.
QPixmap loginPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), size / 12.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(size * 0.3, size * 0.1, size * 0.4, size * 0.45), 0, 180 * 16);
    p.drawLine(QPointF(size * 0.3, size * 0.33), QPointF(size * 0.3, size * 0.45));
    p.drawLine(QPointF(size * 0.7, size * 0.33), QPointF(size * 0.7, size * 0.45));
    p.setPen(QPen(QColor(0x8A, 0x60, 0x10), 1.5));
    p.setBrush(QColor(0xE8, 0xB8, 0x30));
    p.drawRoundedRect(QRectF(size * 0.18, size * 0.42, size * 0.64, size * 0.5), 4, 4);
    p.setBrush(QColor(0x50, 0x38, 0x08));
    p.drawEllipse(QPointF(size * 0.5, size * 0.62), size * 0.06, size * 0.06);
    p.drawRect(QRectF(size * 0.47, size * 0.64, size * 0.06, size * 0.14));
    return pixmap;
}

}  // namespace

LoginWindow::LoginWindow(const std::optional<QString>& storedPassword, MessageSink& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), m_storedPassword(storedPassword), m_messages(messages)
{
    setObjectName(QStringLiteral("loginWindow"));
    setWindowTitle(QStringLiteral("登录"));
    centreWhenFirstShown(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("loginPicture"));
    picture->setPixmap(loginPicture(48));

    QLabel* product = productNameLabel(this);

    auto* prompt = new QLabel(QStringLiteral("请输入登录密码"), this);
    prompt->setObjectName(QStringLiteral("promptLabel"));

    // Shown only while the password is still the one the program came with, exactly as stored.
    m_hint = new QLabel(QStringLiteral("(原始密码：%1)").arg(kInitialPassword), this);
    m_hint->setObjectName(QStringLiteral("initialPasswordHint"));
    m_hint->setVisible(m_storedPassword.has_value() && *m_storedPassword == kInitialPassword);

    m_entry = new QLineEdit(this);
    m_entry->setObjectName(QStringLiteral("passwordEdit"));
    m_entry->setEchoMode(QLineEdit::Password);
    m_entry->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
    m_entry->setMaxLength(kPasswordLength);
    pasteAsOneLine(m_entry);
    connect(m_entry, &QLineEdit::returnPressed, this, &LoginWindow::confirm);

    auto* ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("confirmButton"));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &LoginWindow::confirm);
    auto* cancel = new QPushButton(QStringLiteral("取  消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* head = new QHBoxLayout;
    head->addStretch(1);
    head->addWidget(picture);
    head->addWidget(product);
    head->addStretch(1);

    auto* promptLine = new QHBoxLayout;
    promptLine->addWidget(prompt);
    promptLine->addWidget(m_hint);
    promptLine->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addLayout(head);
    layout->addSpacing(12);
    layout->addLayout(promptLine);
    layout->addWidget(m_entry);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
    m_entry->setFocus();
}

void LoginWindow::confirm()
{
    // Without a stored password there is nothing to compare with: nobody is admitted, and above
    // all not an empty entry.
    if (!m_storedPassword) {
        // Not the doctor's typing is at fault but the data: say so, not "wrong password".
        m_messages.warn(kLoginClosedMessage);
        return;
    }
    if (trimBlanks(m_entry->text()).toLower() == trimBlanks(*m_storedPassword).toLower()) {
        m_accepted = true;
        hide();
        emit accepted();
        return;
    }
    m_messages.tell(QStringLiteral("密码错误！"));
}


void LoginWindow::closeEvent(QCloseEvent* event)
{
    // Once admitted the window is only hidden; a later close ends nothing.
    if (!m_accepted)
        emit cancelled();
    QWidget::closeEvent(event);
}

}  // namespace qelvaro
