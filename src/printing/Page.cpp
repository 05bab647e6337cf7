#include "Page.h"

#include "TextRules.h"

#include <cmath>
#include <limits>

namespace qelvaro {

namespace {

// Twips per point. A face's line is at least half its em high; a smaller (or negative) line
// height means the toolkit could not scale the face that far on this device.
constexpr double kTwipsPerPoint = 20;
constexpr double kLeastLineOfEm = 0.5;
constexpr int kMaxDrawWidth = 32767;

// The value as the single-precision property will hold it; false when it cannot be held.
bool toSingle(double value, double* out)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return false;
    *out = static_cast<float>(value);
    return true;
}

}  // namespace

Page::Page(PageSink& sink) : m_sink(sink) {}

bool Page::setOrientation(QPageLayout::Orientation orientation)
{
    // The sheet is already started in the orientation it began with.
    if (m_begun)
        return false;
    m_orientation = orientation;
    return true;
}

void Page::setUnit(Unit unit)
{
    m_unit = unit;
    m_scaleLeft = m_scaleTop = 0;
    m_currentX = m_currentY = 0;
}

bool Page::setScaleLeft(double value) { return toSingle(value, &m_scaleLeft); }

bool Page::setScaleTop(double value) { return toSingle(value, &m_scaleTop); }

bool Page::setFontName(const QString& name)
{
    if (trimBlanks(name).isEmpty())
        return false;
    m_font.name = name;
    return true;
}

bool Page::setFontSize(double points)
{
    double size = 0;
    if (!toSingle(points, &size) || size <= 0)
        return false;
    // Any size is taken as it stands, up to where the device's font metrics stop holding (on a
    // 600 dpi page some faces break past about 2000 points): beyond that the size in force stays.
    PageFont font = m_font;
    font.pointSize = size;
    const double line = m_sink.lineHeight(font);
    if (!std::isfinite(line) || line < size * kTwipsPerPoint * kLeastLineOfEm)
        return false;
    m_font.pointSize = size;
    return true;
}

bool Page::setCurrentX(double value) { return toSingle(value, &m_currentX); }

bool Page::setCurrentY(double value) { return toSingle(value, &m_currentY); }

bool Page::setDrawWidth(int dots)
{
    if (dots < 1 || dots > kMaxDrawWidth)
        return false;
    m_drawWidth = dots;
    return true;
}

bool Page::ready()
{
    if (m_ended || m_failed)
        return false;
    if (!m_begun) {
        m_begun = true;
        if (!m_sink.begin(m_orientation)) {
            m_failed = true;
            return false;
        }
    }
    return true;
}

double Page::lineHeight() const { return m_sink.lineHeight(m_font) / unitTwips(); }

void Page::print(const QString& text, Advance advance)
{
    const QStringList lines = splitLines(text);
    const bool live = ready();
    const double x = m_currentX;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (live) {
            m_sink.text(toSinkX(x), toSinkY(m_currentY), lines[i], m_font);
            m_visible = m_visible || !lines[i].trimmed().isEmpty();
        }
        const bool last = i + 1 == lines.size();
        if (!last || advance == Advance::NextLine) {
            // A position driven past what a single can hold stays where it was.
            toSingle(m_currentY + lineHeight(), &m_currentY);
        } else {
            toSingle(x + textWidth(lines[i]), &m_currentX);
        }
    }
}

void Page::line(double x1, double y1, double x2, double y2)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    if (ready()) {
        m_sink.line(toSinkX(x1), toSinkY(y1), toSinkX(x2), toSinkY(y2), m_drawWidth);
        m_visible = true;
    }
}

void Page::newPage()
{
    if (ready())
        m_sink.newPage();
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
}

bool Page::endDoc()
{
    if (m_ended)
        return m_result;
    m_ended = true;
    if (m_begun)
        m_result = !m_failed && m_sink.end();
    return m_result;
}

double Page::textWidth(const QString& text) const
{
    double widest = 0;
    for (const QString& line : splitLines(text))
        widest = std::max(widest, m_sink.textWidth(line, m_font));
    return widest / unitTwips();
}

double Page::textHeight(const QString& text) const
{
    return static_cast<double>(splitLines(text).size()) * lineHeight();
}

void setMarginOrigin(Page& page, double leftMillimetres, double topMillimetres, bool landscapeShift)
{
    const double left = leftMillimetres * kTwipsPerMillimetre;
    const double top = topMillimetres * kTwipsPerMillimetre;
    page.setScaleLeft(landscapeShift ? -left - kLandscapeShiftTwips : kBaseOffsetTwips - left);
    page.setScaleTop(kBaseOffsetTwips - top);
}

void printBodyText(Page& page, const QString& text, double x, double y, int cap, BlankLines blankLines,
                   double gap)
{
    page.setCurrentX(x);
    page.setCurrentY(y);
    int printed = 0;
    for (const QString& line : splitLines(text)) {
        if (blankLines == BlankLines::Skip && trimBlanks(line).isEmpty())
            continue;
        if (++printed > cap)
            break;
        page.setCurrentX(x);
        page.setCurrentY(page.currentY() + gap);
        page.print(line);
    }
}

}  // namespace qelvaro
