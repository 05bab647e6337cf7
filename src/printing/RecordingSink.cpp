#include "RecordingSink.h"

#include "Page.h"

namespace qelvaro {

namespace {

bool isWide(char32_t c)
{
    if (c < 0x1100)
        return false;
    // Half-width katakana and the half-width symbols of the full-width block are narrow.
    if ((c >= 0xFF61 && c <= 0xFFDC) || (c >= 0xFFE8 && c <= 0xFFEE))
        return false;
    return (c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
           c >= 0x20000;
}

}  // namespace

double RecordingSink::textWidthFor(const QString& text, double pointSize)
{
    double ems = 0;
    for (char32_t c : text.toUcs4())
        ems += isWide(c) ? 1.0 : 0.5;
    return ems * pointSize * 20.0;
}

bool RecordingSink::begin(QPageLayout::Orientation orientation)
{
    PageOperation op;
    op.kind = PageOperation::Kind::Begin;
    op.orientation = orientation;
    operations << op;
    return !failBegin;
}

void RecordingSink::text(double x, double y, const QString& text, const PageFont& font)
{
    PageOperation op;
    op.kind = PageOperation::Kind::Text;
    op.x = x;
    op.y = y;
    op.text = text;
    op.font = font;
    operations << op;
}

void RecordingSink::line(double x1, double y1, double x2, double y2, int width)
{
    PageOperation op;
    op.kind = PageOperation::Kind::Line;
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.width = width;
    operations << op;
}

void RecordingSink::newPage()
{
    PageOperation op;
    op.kind = PageOperation::Kind::NewPage;
    operations << op;
}

bool RecordingSink::end()
{
    PageOperation op;
    op.kind = PageOperation::Kind::End;
    operations << op;
    return !failEnd;
}

QList<PageOperation> RecordingSink::ofKind(PageOperation::Kind kind) const
{
    QList<PageOperation> result;
    for (const PageOperation& op : operations)
        if (op.kind == kind)
            result << op;
    return result;
}

QStringList RecordingSink::texts() const
{
    QStringList result;
    for (const PageOperation& op : operations)
        if (op.kind == PageOperation::Kind::Text)
            result << op.text;
    return result;
}

bool RecordingTarget::run(const QString& jobName, const PageDrawing& draw)
{
    RecordingSink sink;
    Page page(sink);
    draw(page);
    const bool ok = page.endDoc();
    jobs.append({jobName, sink.operations});
    return ok && succeed;
}

}  // namespace qelvaro
