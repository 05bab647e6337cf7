#pragma once

#include <QPageLayout>
#include <QString>

namespace qelvaro {

// The font of a printed text as a printout asks for it: a face name such as "宋体", a size in
// points and the weight. Sinks map the name onto an installed face.
struct PageFont {
    QString name;
    double pointSize = 12.0;
    bool bold = false;

    friend bool operator==(const PageFont&, const PageFont&) = default;
};

// One operation as the page sent it, coordinates in twips from the printable area's corner.
struct PageOperation {
    enum class Kind { Begin, Text, Line, NewPage, End };
    Kind kind = Kind::Begin;
    double x = 0;  // text: top-left corner; line: first end point
    double y = 0;
    double x2 = 0;  // line: second end point
    double y2 = 0;
    QString text;
    PageFont font;
    int width = 0;  // line width in dots
    QPageLayout::Orientation orientation = QPageLayout::Portrait;  // Begin
};

// Where a Page sends its output once every coordinate is resolved: twips from the top-left corner
// of the printable area, x to the right, y downwards. The metrics are twips on the same device, so
// the page can advance by a line the way the paper will show it.
class PageSink {
public:
    virtual ~PageSink() = default;

    // Starts the job; false when it cannot start (the page then sends nothing more).
    virtual bool begin(QPageLayout::Orientation orientation) = 0;
    // A text whose top-left corner lies at (x, y).
    virtual void text(double x, double y, const QString& text, const PageFont& font) = 0;
    // A black straight line, width in device dots.
    virtual void line(double x1, double y1, double x2, double y2, int width) = 0;
    virtual void newPage() = 0;
    // Ends the job; true when everything reached the device.
    virtual bool end() = 0;

    virtual double lineHeight(const PageFont& font) const = 0;
    virtual double textWidth(const QString& text, const PageFont& font) const = 0;
};

}  // namespace qelvaro
