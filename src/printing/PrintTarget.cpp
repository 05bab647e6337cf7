#include "PrintTarget.h"

#include "MessageSink.h"
#include "Page.h"
#include "PainterSink.h"
#include "PrintQueue.h"
#include "RecordingSink.h"
#include "TextRules.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
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

// What a drawing will put on paper, learnt from a run on a recorder.
struct Preview {
    bool visible = false;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

Preview preview(const PageDrawing& draw)
{
    RecordingSink sink;
    Page page(sink);
    draw(page);
    page.endDoc();
    Preview result;
    result.visible = page.hasVisibleOutput();
    for (const PageOperation& op : sink.operations)
        if (op.kind == PageOperation::Kind::Begin)
            result.orientation = op.orientation;
    return result;
}

// A layout whose printable area starts at the minimum margins.
QPageLayout printableLayout(const QPageSize& size, QPageLayout::Orientation orientation, const QMarginsF& minimum)
{
    return QPageLayout(size, orientation, minimum, QPageLayout::Millimeter, minimum);
}

enum class PdfResult { Failed, Empty, Written };

PdfResult writePdf(const QString& path, const QPageLayout& layout, const QString& jobName, const PageDrawing& draw)
{
    // Written beside the target under a temporary name, so a failed job leaves no torn file and
    // an existing file is only replaced by a complete one.
    const QFileInfo target(path);
    QTemporaryFile scratch(target.absolutePath() + QStringLiteral("/.qelvaro-XXXXXX.pdf"));
    if (!scratch.open())
        return PdfResult::Failed;
    scratch.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(scratch.fileName());
    printer.setResolution(600);
    printer.setPageLayout(layout);
    printer.setDocName(jobName);
    printer.setCreator(QStringLiteral("Qelvaro"));

    bool drew = false;
    if (!printJob(printer, draw, &drew))
        return PdfResult::Failed;
    if (!drew)
        return PdfResult::Empty;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(scratch.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return PdfResult::Failed;
    scratch.setAutoRemove(false);
    return PdfResult::Written;
}

}  // namespace

bool printJob(QPrinter& printer, const PageDrawing& draw, bool* drewSomething)
{
    PainterSink sink(printer);
    Page page(sink);
    draw(page);
    const bool ok = page.endDoc();
    if (drewSomething)
        *drewSomething = page.hasVisibleOutput();
    return ok;
}

PdfTarget::PdfTarget(QString path, QMarginsF marginsMillimetres)
    : m_path(std::move(path)), m_margins(marginsMillimetres)
{
}

bool PdfTarget::run(const QString& jobName, const PageDrawing& draw)
{
    const QPageLayout layout = printableLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, m_margins);
    return writePdf(m_path, layout, jobName, draw) == PdfResult::Written;
}

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog)
    : PrinterTarget(messages, fileDialog, std::make_unique<SystemPrintQueue>())
{
}

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue)
    : m_messages(messages), m_fileDialog(fileDialog), m_queue(std::move(queue))
{
}

PrinterTarget::~PrinterTarget() = default;

PrinterTarget::Outcome PrinterTarget::printOnDefaultPrinter(const QString& jobName, const PageDrawing& draw)
{
    const QString printer = m_queue->defaultPrinter();
    if (printer.isEmpty())
        return Outcome::NoPrinter;
    // The job goes to the queue as a PDF on the printer's paper, its origin on the corner of the
    // printable area; the queue prints it 1:1 and tells us what became of it, which Qt does not.
    const QPageLayout::Orientation orientation = preview(draw).orientation;
    const PrintQueue::Paper paper = m_queue->paper(printer, orientation);
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("qelvaro-print-XXXXXX.pdf")));
    if (!file.open())
        return Outcome::Failed;
    file.close();
    if (writePdf(file.fileName(), printableLayout(paper.size, orientation, paper.minimumMarginsMillimetres), jobName,
                 draw) != PdfResult::Written)
        return Outcome::Failed;
    switch (m_queue->print(printer, jobName, file.fileName())) {
    case PrintQueue::Fate::Printed:
    case PrintQueue::Fate::Accepted:
        return Outcome::Printed;
    case PrintQueue::Fate::Refused:
    case PrintQueue::Fate::Failed:
        break;
    }
    return Outcome::Failed;
}

bool PrinterTarget::run(const QString& jobName, const PageDrawing& draw)
{
    if (!preview(draw).visible) {
        m_messages.warn(kNothingToPrintMessage);
        return false;
    }
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
    m_messages.warn(kPdfFailedMessage);
    return false;
}

}  // namespace qelvaro
