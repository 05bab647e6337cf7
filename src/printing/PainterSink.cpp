#include "PainterSink.h"

#include "Fonts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPen>
#include <QPrinter>

namespace qelvaro {

namespace {

constexpr double kTwipsPerInch = 1440.0;

}  // namespace

PainterSink::PainterSink(QPaintDevice& device) : m_device(device) {}

PainterSink::~PainterSink()
{
    if (m_painter.isActive())
        m_painter.end();
}

double PainterSink::toDeviceX(double twips) const { return twips / kTwipsPerInch * m_device.logicalDpiX(); }

double PainterSink::toDeviceY(double twips) const { return twips / kTwipsPerInch * m_device.logicalDpiY(); }

bool PainterSink::begin(QPageLayout::Orientation orientation)
{
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&m_device))
        paged->setPageOrientation(orientation);
    if (auto* printer = dynamic_cast<QPrinter*>(&m_device)) {
        // Positions count from the corner of the printable area, with no margins of the toolkit's
        // own on top of the printer's minimum.
        QPageLayout layout = printer->pageLayout();
        layout.setMargins(layout.minimumMargins());
        printer->setPageLayout(layout);
    }
    m_ok = m_painter.begin(&m_device);
    if (m_ok)
        m_painter.setRenderHint(QPainter::Antialiasing);
    return m_ok;
}

void PainterSink::text(double x, double y, const QString& text, const PageFont& font)
{
    if (!m_ok || m_pastFirstSheet || text.isEmpty())
        return;
    const QFont f = printFont(font);
    m_painter.setFont(f);
    m_painter.setPen(Qt::black);
    const QFontMetricsF metrics(f, &m_device);
    m_painter.drawText(QPointF(toDeviceX(x), toDeviceY(y) + metrics.ascent()), text);
}

void PainterSink::line(double x1, double y1, double x2, double y2, int width)
{
    if (!m_ok || m_pastFirstSheet)
        return;
    QPen pen(Qt::black);
    pen.setWidthF(width);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(toDeviceX(x1), toDeviceY(y1)), QPointF(toDeviceX(x2), toDeviceY(y2)));
}

void PainterSink::newPage()
{
    if (!m_ok)
        return;
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(&m_device)) {
        if (!paged->newPage())
            m_ok = false;
    } else {
        m_pastFirstSheet = true;
    }
}

bool PainterSink::end()
{
    bool ok = m_ok && m_painter.isActive() && m_painter.end();
    if (auto* printer = dynamic_cast<QPrinter*>(&m_device))
        ok = ok && printer->printerState() != QPrinter::Error && printer->printerState() != QPrinter::Aborted;
    m_ok = false;
    return ok;
}

double PainterSink::lineHeight(const PageFont& font) const
{
    const QFontMetricsF metrics(printFont(font), &m_device);
    return metrics.height() / m_device.logicalDpiY() * kTwipsPerInch;
}

double PainterSink::textWidth(const QString& text, const PageFont& font) const
{
    const QFontMetricsF metrics(printFont(font), &m_device);
    return metrics.horizontalAdvance(text) / m_device.logicalDpiX() * kTwipsPerInch;
}

}  // namespace qelvaro
