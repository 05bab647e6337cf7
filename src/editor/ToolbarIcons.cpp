#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace qelvaro {
namespace {

const QColor kInk(0x40, 0x40, 0x40);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kAccent(0x1E, 0x5A, 0xB4);
const QColor kWarm(0xC8, 0x3C, 0x28);

// A sheet of paper with a folded corner inside r.
void drawSheet(QPainter& p, const QRectF& r, const QColor& fill = kPaper)
{
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawTextLines(QPainter& p, const QRectF& r, int count)
{
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + r.height() * (i + 1) / (count + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void drawPrinter(QPainter& p, qreal s, bool form)
{
    drawSheet(p, QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.38), form ? QColor(0xFF, 0xF4, 0xD8) : kPaper);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xB8, 0xBC, 0xC4));
    p.drawRoundedRect(QRectF(s * 0.1, s * 0.4, s * 0.8, s * 0.34), 3, 3);
    p.setBrush(kPaper);
    p.drawRect(QRectF(s * 0.26, s * 0.62, s * 0.48, s * 0.3));
    drawTextLines(p, QRectF(s * 0.32, s * 0.64, s * 0.36, s * 0.26), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0xA0, 0x40));
    p.drawEllipse(QPointF(s * 0.78, s * 0.5), s * 0.04, s * 0.04);
}

}  // namespace

QPixmap toolbarIcon(ToolbarCommand command, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    switch (command) {
    case ToolbarCommand::New: {
        const QRectF sheet(s * 0.2, s * 0.08, s * 0.6, s * 0.84);
        drawSheet(p, sheet);
        p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.5, s * 0.4), QPointF(s * 0.5, s * 0.72));
        p.drawLine(QPointF(s * 0.34, s * 0.56), QPointF(s * 0.66, s * 0.56));
        break;
    }
    case ToolbarCommand::Renew: {
        drawSheet(p, QRectF(s * 0.2, s * 0.08, s * 0.6, s * 0.84));
        drawTextLines(p, QRectF(s * 0.28, s * 0.3, s * 0.44, s * 0.3), 3);
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(s * 0.34, s * 0.56, s * 0.32, s * 0.28), 30 * 16, 280 * 16);
        p.drawLine(QPointF(s * 0.64, s * 0.58), QPointF(s * 0.66, s * 0.66));
        break;
    }
    case ToolbarCommand::Save: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76), 3, 3);
        p.setBrush(kPaper);
        p.drawRect(QRectF(s * 0.26, s * 0.12, s * 0.48, s * 0.3));
        p.setBrush(QColor(0xD8, 0xD8, 0xD8));
        p.drawRect(QRectF(s * 0.26, s * 0.56, s * 0.48, s * 0.32));
        break;
    }
    case ToolbarCommand::Print:
        drawPrinter(p, s, false);
        break;
    case ToolbarCommand::OverlayPrint:
        drawPrinter(p, s, true);
        p.setPen(QPen(kWarm, 1.5));
        p.drawRect(QRectF(s * 0.34, s * 0.16, s * 0.22, s * 0.12));
        break;
    case ToolbarCommand::Copy:
        drawSheet(p, QRectF(s * 0.12, s * 0.08, s * 0.5, s * 0.62));
        drawSheet(p, QRectF(s * 0.38, s * 0.3, s * 0.5, s * 0.62));
        drawTextLines(p, QRectF(s * 0.44, s * 0.48, s * 0.38, s * 0.38), 3);
        break;
    case ToolbarCommand::Paste: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xC8, 0x96, 0x5A));
        p.drawRoundedRect(QRectF(s * 0.16, s * 0.14, s * 0.6, s * 0.78), 3, 3);
        p.setBrush(QColor(0xA0, 0xA0, 0xA8));
        p.drawRoundedRect(QRectF(s * 0.32, s * 0.06, s * 0.28, s * 0.14), 2, 2);
        drawSheet(p, QRectF(s * 0.42, s * 0.38, s * 0.46, s * 0.54));
        drawTextLines(p, QRectF(s * 0.48, s * 0.5, s * 0.34, s * 0.36), 3);
        break;
    }
    case ToolbarCommand::Log: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0x3C, 0x8C, 0x50));
        p.drawRoundedRect(QRectF(s * 0.18, s * 0.08, s * 0.64, s * 0.84), 3, 3);
        p.setBrush(kPaper);
        p.drawRect(QRectF(s * 0.3, s * 0.16, s * 0.46, s * 0.68));
        drawTextLines(p, QRectF(s * 0.36, s * 0.18, s * 0.34, s * 0.64), 5);
        break;
    }
    case ToolbarCommand::Statistics: {
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(s * 0.12, s * 0.88), QPointF(s * 0.9, s * 0.88));
        p.drawLine(QPointF(s * 0.12, s * 0.1), QPointF(s * 0.12, s * 0.88));
        const qreal heights[] = {0.3, 0.55, 0.42, 0.7};
        const QColor colours[] = {kAccent, kWarm, QColor(0x3C, 0x8C, 0x50), QColor(0xE0, 0xA0, 0x20)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            const qreal x = s * (0.2 + 0.17 * i);
            p.drawRect(QRectF(x, s * (0.88 - heights[i]), s * 0.12, s * heights[i]));
        }
        break;
    }
    case ToolbarCommand::Help: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kAccent);
        p.drawEllipse(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
        QFont font(QStringLiteral("Sans"));
        font.setPixelSize(int(s * 0.56));
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ToolbarCommand::Count:  // not a command
        break;
    }
    return pixmap;
}

}  // namespace qelvaro
