#include "PainterSink.h"

#include "Fonts.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPen>

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
    const bool ok = m_ok && m_painter.isActive() && m_painter.end();
    m_ok = false;
    return ok;
}

double PainterSink::lineHeightOn(const QPaintDevice& device, const PageFont& font)
{
    const QFontMetricsF metrics(printFont(font), &device);
    return metrics.height() / device.logicalDpiY() * kTwipsPerInch;
}

double PainterSink::textWidthOn(const QPaintDevice& device, const QString& text, const PageFont& font)
{
    const QFontMetricsF metrics(printFont(font), &device);
    return metrics.horizontalAdvance(text) / device.logicalDpiX() * kTwipsPerInch;
}

double PainterSink::lineHeight(const PageFont& font) const { return lineHeightOn(m_device, font); }

double PainterSink::textWidth(const QString& text, const PageFont& font) const
{
    return textWidthOn(m_device, text, font);
}

}  // namespace qelvaro
