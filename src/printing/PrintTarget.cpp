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

// Writes a file beside its place under a temporary name (readable by its owner only) and renames
// it over the place once complete, so a failure leaves no torn file and an existing file is only
// replaced by a complete one.
PdfResult writeInPlace(const QString& path, const std::function<PdfResult(QTemporaryFile& scratch)>& write)
{
    const QFileInfo target(path);
    QTemporaryFile scratch(target.absolutePath() + QStringLiteral("/.qelvaro-XXXXXX.pdf"));
    if (!scratch.open())
        return PdfResult::Failed;
    const PdfResult result = write(scratch);
    scratch.close();
    if (result != PdfResult::Written)
        return result;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(scratch.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return PdfResult::Failed;
    scratch.setAutoRemove(false);
    return PdfResult::Written;
}

PdfResult writePdf(const QString& path, const QPageLayout& layout, const QString& jobName, const PageDrawing& draw)
{
    return writeInPlace(path, [&](QTemporaryFile& scratch) {
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
        return drew ? PdfResult::Written : PdfResult::Empty;
    });
}

// A kept printout copied to where the user wants it.
bool copyPdf(const QString& from, const QString& to)
{
    return writeInPlace(to, [&](QTemporaryFile& scratch) {
               QFile source(from);
               if (!source.open(QIODevice::ReadOnly))
                   return PdfResult::Failed;
               const QByteArray bytes = source.readAll();
               return !bytes.isEmpty() && scratch.write(bytes) == bytes.size() && scratch.flush()
                          ? PdfResult::Written
                          : PdfResult::Failed;
           }) == PdfResult::Written;
}

// A temporary file in the system's temporary folder, created (and so readable by its owner only).
std::unique_ptr<QTemporaryFile> temporaryPdf(const QString& pattern)
{
    auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(pattern));
    if (!file->open())
        return nullptr;
    file->close();
    return file;
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

PrinterTarget::PrinterTarget(MessageSink& messages, FileDialog& fileDialog, std::unique_ptr<PrintQueue> queue,
                             JobFollowTiming timing)
    : m_messages(messages),
      m_fileDialog(fileDialog),
      m_queue(std::move(queue)),
      m_follower(
          *m_queue,
          [this](const QString& jobName, const QString& printout) {
              offerPdf(kPrintFailedQuestion, jobName, [&](const QString& path) { return copyPdf(printout, path); });
          },
          timing)
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
    const std::unique_ptr<QTemporaryFile> job = temporaryPdf(QStringLiteral("qelvaro-print-XXXXXX.pdf"));
    if (!job || writePdf(job->fileName(), printableLayout(paper.size, orientation, paper.minimumMarginsMillimetres),
                         jobName, draw) != PdfResult::Written)
        return Outcome::Failed;
    // The drawing refers to the window's values of this moment; should the job fail later, the
    // offer is this PDF, drawn now, as the no-printer offer would be.
    std::unique_ptr<QTemporaryFile> offer = temporaryPdf(QStringLiteral("qelvaro-printout-XXXXXX.pdf"));
    if (!offer || !PdfTarget(offer->fileName()).run(jobName, draw))
        return Outcome::Failed;
    const int id = m_queue->submit(printer, jobName, job->fileName());
    if (id <= 0)
        return Outcome::Failed;
    m_follower.follow(id, jobName, std::move(offer));
    return Outcome::Sent;
}

bool PrinterTarget::run(const QString& jobName, const PageDrawing& draw)
{
    if (!preview(draw).visible) {
        m_messages.warn(kNothingToPrintMessage);
        return false;
    }
    const auto drawn = [&](const QString& path) { return PdfTarget(path).run(jobName, draw); };
    switch (printOnDefaultPrinter(jobName, draw)) {
    case Outcome::Sent:
        return true;
    case Outcome::NoPrinter:
        return offerPdf(kNoPrinterQuestion, jobName, drawn);
    case Outcome::Failed:
        break;
    }
    return offerPdf(kPrintFailedQuestion, jobName, drawn);
}

bool PrinterTarget::offerPdf(const QString& question, const QString& jobName,
                             const std::function<bool(const QString&)>& save)
{
    if (!m_messages.ask(question))
        return false;
    const QString path = m_fileDialog.saveFileName(QStringLiteral("保存为PDF文件"), suggestedPdfPath(jobName),
                                                   QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (save(path))
        return true;
    m_messages.warn(kPdfFailedMessage);
    return false;
}

}  // namespace qelvaro
