#include "Printout.h"

#include "Page.h"
#include "PainterSink.h"
#include "RecordingSink.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace qelvaro {

namespace {

// PDF files are written at this resolution, and printouts are measured at it.
constexpr int kPdfResolution = 600;

// Keeps the operations and measures the texts as a PDF of the print resolution will, so the
// layout a printout makes of its texts is the one the paper shows.
class MeasuringRecorder : public RecordingSink {
public:
    MeasuringRecorder() : m_writer(&m_nowhere) { m_writer.setResolution(kPdfResolution); }
    double lineHeight(const PageFont& font) const override { return PainterSink::lineHeightOn(m_writer, font); }
    double textWidth(const QString& text, const PageFont& font) const override
    {
        return PainterSink::textWidthOn(m_writer, text, font);
    }

private:
    QBuffer m_nowhere;  // never painted on: only its metrics are read
    QPdfWriter m_writer;
};

}  // namespace

Printout drawPrintout(const QString& jobName, const PageDrawing& draw)
{
    MeasuringRecorder sink;
    Page page(sink);
    draw(page);
    page.endDoc();
    Printout printout;
    printout.jobName = jobName;
    printout.operations = sink.operations;
    printout.visible = page.hasVisibleOutput();
    for (const PageOperation& op : sink.operations)
        if (op.kind == PageOperation::Kind::Begin)
            printout.orientation = op.orientation;
    return printout;
}

bool replay(const Printout& printout, PageSink& sink)
{
    bool begun = false;
    for (const PageOperation& op : printout.operations) {
        switch (op.kind) {
        case PageOperation::Kind::Begin:
            if (!sink.begin(op.orientation))
                return false;
            begun = true;
            break;
        case PageOperation::Kind::Text:
            sink.text(op.x, op.y, op.text, op.font);
            break;
        case PageOperation::Kind::Line:
            sink.line(op.x, op.y, op.x2, op.y2, op.width);
            break;
        case PageOperation::Kind::NewPage:
            sink.newPage();
            break;
        case PageOperation::Kind::End:
            return sink.end();
        }
    }
    return begun && sink.end();
}

QPageLayout printableLayout(const QPageSize& size, QPageLayout::Orientation orientation, const QMarginsF& minimum)
{
    return QPageLayout(size, orientation, minimum, QPageLayout::Millimeter, minimum);
}

bool writePdf(const QString& path, const QPageLayout& layout, const QString& title,
              const std::function<bool(PageSink& sink, bool& drewSomething)>& draw)
{
    const QFileInfo target(path);
    QTemporaryFile scratch(target.absolutePath() + QStringLiteral("/.qelvaro-XXXXXX.pdf"));
    if (!scratch.open())
        return false;
    bool drew = false;
    bool ok = false;
    {
        QPdfWriter writer(&scratch);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Qelvaro"));
        PainterSink sink(writer);
        ok = draw(sink, drew);
    }
    ok = ok && drew && scratch.flush() && scratch.error() == QFileDevice::NoError;
    scratch.close();
    if (!ok)
        return false;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(scratch.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return false;
    scratch.setAutoRemove(false);
    return true;
}

bool writePrintoutPdf(const Printout& printout, const QString& path, const QPageLayout& layout)
{
    return writePdf(path, layout, printout.jobName, [&](PageSink& sink, bool& drew) {
        drew = printout.visible;
        return replay(printout, sink);
    });
}

}  // namespace qelvaro
