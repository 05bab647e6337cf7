#include "PrintTarget.h"

#include "MessageSink.h"
#include "Page.h"
#include "PainterSink.h"
#include "TextRules.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace qelvaro {

namespace {

// A job name made fit to be a file name: separators and characters that file systems refuse go.
QString fileNameFor(const QString& jobName)
{
    QString name;
    for (const QChar c : jobName)
        name += (c < u' ' || QStringView(u"/\\:*?\"<>|").contains(c)) ? u'_' : c;
    name = trimBlanks(name);
    return name.isEmpty() ? QStringLiteral("打印") : name;
}

QString suggestedPdfPath(const QString& jobName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileNameFor(jobName) + QStringLiteral(".pdf"));
}

}  // namespace

bool printJob(QPrinter& printer, const PageDrawing& draw, bool* drewSomething)
{
    PainterSink sink(printer);
    Page page(sink);
    draw(page);
    const bool ok = page.endDoc();
    if (drewSomething)
        *drewSomething = page.hasOutput();
    return ok;
}

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

PdfTarget::PdfTarget(QString path, QMarginsF marginsMillimetres)
    : m_path(std::move(path)), m_margins(marginsMillimetres)
{
}

bool PdfTarget::run(const QString& jobName, const PageDrawing& draw)
{
    // Written beside the target under a temporary name, so a failed job leaves no torn file and
    // an existing file is only replaced by a complete one.
    const QFileInfo target(m_path);
    QTemporaryFile scratch(target.absolutePath() + QStringLiteral("/.qelvaro-XXXXXX.pdf"));
    if (!scratch.open())
        return false;
    scratch.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(scratch.fileName());
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(m_margins, QPageLayout::Millimeter);
    printer.setDocName(jobName);
    printer.setCreator(QStringLiteral("Qelvaro"));

    bool drew = false;
    if (!printJob(printer, draw, &drew))
        return false;
    if (!drew)
        return true;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(scratch.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return false;
    scratch.setAutoRemove(false);
    return true;
}

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog)
    : m_messages(messages), m_fileDialog(fileDialog)
{
}

PrinterTarget::Outcome PrinterTarget::printOnDefaultPrinter(const QString& jobName, const PageDrawing& draw)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return Outcome::NoPrinter;
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid())
        return Outcome::NoPrinter;
    printer.setDocName(jobName);
    printer.setCreator(QStringLiteral("Qelvaro"));
    return printJob(printer, draw) ? Outcome::Printed : Outcome::Failed;
}

bool PrinterTarget::run(const QString& jobName, const PageDrawing& draw)
{
    switch (printOnDefaultPrinter(jobName, draw)) {
    case Outcome::Printed:
        return true;
    case Outcome::NoPrinter:
        return offerPdf(kNoPrinterQuestion, jobName, draw);
    case Outcome::Failed:
        break;
    }
    return offerPdf(kPrintFailedQuestion, jobName, draw);
}

bool PrinterTarget::offerPdf(const QString& question, const QString& jobName, const PageDrawing& draw)
{
    if (!m_messages.ask(question))
        return false;
    const QString path = m_fileDialog.saveFileName(QStringLiteral("保存为PDF文件"), suggestedPdfPath(jobName),
                                                   QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (PdfTarget(path).run(jobName, draw))
        return true;
    m_messages.tell(kPdfFailedMessage);
    return false;
}

}  // namespace qelvaro
