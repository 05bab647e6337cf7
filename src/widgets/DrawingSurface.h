#pragma once

#include <QColor>
#include <QLine>
#include <QList>
#include <QWidget>

namespace qelvaro {

// A flat surface with a background colour and straight rules drawn on it (the prescription sheet,
// a heading field box, the injection-card preview). A left click on the surface itself, not on one
// of its child controls, is reported as backgroundClicked.
class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    struct Rule {
        QLine line;  // pixels, in the surface's coordinates
        int width = 1;
    };

    explicit DrawingSurface(QWidget* parent = nullptr, const QColor& background = Qt::white);

    void addRule(const QLine& line, int width = 1);
    const QList<Rule>& rules() const { return m_rules; }
    // A thin frame around the surface's edge.
    void setBorder(bool border);

signals:
    void backgroundClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<Rule> m_rules;
    bool m_border = false;
};

}  // namespace qelvaro
