#include "WidgetFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace qelvaro {

QString WidgetFileDialog::saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter)
{
    QFileDialog dialog(m_parent, caption, QFileInfo(suggestedPath).absolutePath(), filter);
    dialog.setObjectName(QStringLiteral("pdfSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The suggested name brings the kind of file: "pdf" for printouts, "xlsx" for the log export.
    const QString suffix = QFileInfo(suggestedPath).suffix();
    dialog.setDefaultSuffix(suffix.isEmpty() ? QStringLiteral("pdf") : suffix);
    dialog.selectFile(QFileInfo(suggestedPath).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace qelvaro
