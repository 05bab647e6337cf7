#include "MessageBoxSink.h"

#include <QMessageBox>
#include <QPushButton>

#include <initializer_list>
#include <utility>

namespace qelvaro {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    return icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
}

// Shows a modal box with the given buttons and their Chinese captions; returns the button pressed.
QMessageBox::StandardButton show(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
                                 std::initializer_list<std::pair<QMessageBox::StandardButton, QString>> buttons)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::NoButton, parent);
    for (const auto& [button, caption] : buttons)
        box.addButton(button)->setText(caption);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

const QString kOk = QStringLiteral("确定");

}  // namespace

void MessageBoxSink::tell(const QString& text, const QString& title)
{
    show(m_parent, MessageIcon::None, title, text, {{QMessageBox::Ok, kOk}});
}

void MessageBoxSink::warn(const QString& text, const QString& title)
{
    show(m_parent, MessageIcon::Warning, title, text, {{QMessageBox::Ok, kOk}});
}

bool MessageBoxSink::ask(const QString& text, const QString& title)
{
    return show(m_parent, MessageIcon::Warning, title, text,
                {{QMessageBox::Yes, QStringLiteral("是")}, {QMessageBox::No, QStringLiteral("否")}})
           == QMessageBox::Yes;
}

bool MessageBoxSink::confirm(const QString& text, const QString& title)
{
    return show(m_parent, MessageIcon::Warning, title, text,
                {{QMessageBox::Ok, kOk}, {QMessageBox::Cancel, QStringLiteral("取消")}})
           == QMessageBox::Ok;
}

}  // namespace qelvaro
