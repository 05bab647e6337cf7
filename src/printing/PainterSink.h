#pragma once

#include "PageSink.h"

#include <QPainter>

class QPaintDevice;

namespace qelvaro {

// Draws a page on a PDF or an image (for a preview). Twips become device dots here,
// at the device's own resolution, from the corner of its printable area; fonts keep their point
// sizes, so nothing is scaled by a transform. Text is placed by its top-left corner.
class PainterSink : public PageSink {
public:
    explicit PainterSink(QPaintDevice& device);
    ~PainterSink() override;

    // Turns a paged device (a PDF) to the orientation; an image keeps its shape. A paged device's
    // margins are its printable area's: positions count from their corner.
    bool begin(QPageLayout::Orientation orientation) override;
    void text(double x, double y, const QString& text, const PageFont& font) override;
    void line(double x1, double y1, double x2, double y2, int width) override;
    // An image has one sheet only: what follows a page break is not drawn on it.
    void newPage() override;
    bool end() override;
    double lineHeight(const PageFont& font) const override;
    double textWidth(const QString& text, const PageFont& font) const override;

    // The metrics as drawn on the device, without drawing on it.
    static double lineHeightOn(const QPaintDevice& device, const PageFont& font);
    static double textWidthOn(const QPaintDevice& device, const QString& text, const PageFont& font);

private:
    double toDeviceX(double twips) const;
    double toDeviceY(double twips) const;

    QPaintDevice& m_device;
    QPainter m_painter;
    bool m_ok = true;
    bool m_pastFirstSheet = false;
};

}  // namespace qelvaro
