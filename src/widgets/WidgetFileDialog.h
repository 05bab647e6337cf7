#pragma once

#include "PrintTarget.h"

class QWidget;

namespace qelvaro {

// The platform's save dialog.
class WidgetFileDialog : public FileDialog {
public:
    explicit WidgetFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) override;

private:
    QWidget* m_parent;
};

}  // namespace qelvaro
