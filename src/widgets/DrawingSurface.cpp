#include "DrawingSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace qelvaro {

DrawingSurface::DrawingSurface(QWidget* parent, const QColor& background) : QWidget(parent)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background);
    setPalette(pal);
    setAutoFillBackground(true);
}

void DrawingSurface::addRule(const QLine& line, int width)
{
    m_rules.append({line, width});
    update();
}

void DrawingSurface::setBorder(bool border)
{
    m_border = border;
    update();
}

void DrawingSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_border) {
        painter.setPen(QPen(palette().color(QPalette::Dark), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    for (const Rule& rule : m_rules) {
        if (rule.line.isNull())
            continue;
        painter.setPen(QPen(Qt::black, rule.width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(rule.line);
    }
}

// Presses and releases are kept here so a click inside a child box never reaches the surface
// below it; labels pass their clicks on, so those are told apart by what lies under the pointer.
void DrawingSurface::mousePressEvent(QMouseEvent* event) { event->accept(); }

void DrawingSurface::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(pos) && !childAt(pos))
        emit backgroundClicked();
}

}  // namespace qelvaro
