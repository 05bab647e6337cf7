#pragma once

#include "PageSink.h"

#include <QPageLayout>
#include <QString>

namespace qelvaro {

// Print units: 56.7 twips make a millimetre throughout the program (not 1440 / 25.4).
inline constexpr double kTwipsPerMillimetre = 56.7;
// The 10 mm base that the margins of the sheet and card prints are counted from.
inline constexpr double kBaseOffsetTwips = 10 * kTwipsPerMillimetre;
// How far right a landscape sheet or card sits: it takes the right half of the paper.
inline constexpr double kLandscapeShiftTwips = 135 * kTwipsPerMillimetre;

// The printer state a printout is written against, one Page per job. Positions are in the page's
// unit (twips unless millimetres are chosen) and are measured from the scale origin: a point
// (x, y) lands x - scaleLeft units right of and y - scaleTop units below the top-left corner of the
// printable area. Properties hold single-precision values like the printer they stand in for.
//
// An assignment that makes no sense (a font size of 0, below 0, NaN, or too large for the sink's
// device to scale its face to; an empty font name; a position that is not a finite single-precision
// number) is refused: the setter returns false and the value in force stays.
//
// Output goes to the sink only from the first text, line or page break on; after endDoc, or once
// the sink could not begin, nothing more is sent.
class Page {
public:
    enum class Unit { Twips, Millimetres };
    enum class Advance {
        NextLine,    // y grows by one line height, x stays
        StayOnLine,  // x grows by the width of the text, y stays
    };

    explicit Page(PageSink& sink);
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    QPageLayout::Orientation orientation() const { return m_orientation; }
    // Refused once output has begun.
    bool setOrientation(QPageLayout::Orientation orientation);

    Unit unit() const { return m_unit; }
    // Choosing a unit puts the scale origin and the current position back on the top-left corner
    // of the printable area, so set it before the origin.
    void setUnit(Unit unit);

    double scaleLeft() const { return m_scaleLeft; }
    double scaleTop() const { return m_scaleTop; }
    bool setScaleLeft(double value);
    bool setScaleTop(double value);

    QString fontName() const { return m_font.name; }
    double fontSize() const { return m_font.pointSize; }
    bool setFontName(const QString& name);
    bool setFontSize(double points);
    void setFontBold(bool bold) { m_font.bold = bold; }
    const PageFont& font() const { return m_font; }

    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    bool setCurrentX(double value);
    bool setCurrentY(double value);

    // Width of the lines drawn next, in device dots (1 or more).
    int drawWidth() const { return m_drawWidth; }
    bool setDrawWidth(int dots);

    // Draws the text with its top-left corner at the current position, then advances. A text
    // holding line breaks prints as several lines, each starting at the current x.
    void print(const QString& text, Advance advance = Advance::NextLine);
    void line(double x1, double y1, double x2, double y2);
    // Starts the next sheet; the current position goes to the top-left corner of the printable area.
    void newPage();
    // Ends the job. True when it reached the device, or when nothing was ever drawn (nothing to
    // send); false when the sink failed. Later calls return the first result.
    bool endDoc();

    bool hasOutput() const { return m_begun; }
    // True once a line or a text with more than white space went to the sink: a job without it
    // would come out as a blank sheet.
    bool hasVisibleOutput() const { return m_visible; }
    bool succeeded() const { return m_result; }

    // Extent of a text in the current font and unit; the height counts its lines.
    double textWidth(const QString& text) const;
    double textHeight(const QString& text = QString()) const;

private:
    double unitTwips() const { return m_unit == Unit::Millimetres ? kTwipsPerMillimetre : 1.0; }
    double toSinkX(double x) const { return (x - m_scaleLeft) * unitTwips(); }
    double toSinkY(double y) const { return (y - m_scaleTop) * unitTwips(); }
    double lineHeight() const;
    bool ready();

    PageSink& m_sink;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    Unit m_unit = Unit::Twips;
    double m_scaleLeft = 0;
    double m_scaleTop = 0;
    PageFont m_font{QStringLiteral("宋体"), 12.0, false};
    double m_currentX = 0;
    double m_currentY = 0;
    int m_drawWidth = 1;
    bool m_begun = false;
    bool m_visible = false;
    bool m_failed = false;
    bool m_ended = false;
    bool m_result = true;
};

// Puts the page's scale origin on margins typed in millimetres: page point (567, 567), the 10 mm
// base, lands left mm right of and top mm below the corner of the printable area. With the
// landscape shift the picture moves 135 mm further right and the 10 mm base on the left is dropped.
void setMarginOrigin(Page& page, double leftMillimetres, double topMillimetres, bool landscapeShift);

// How the body printer treats lines that are empty or hold only blanks.
enum class BlankLines {
    Skip,   // neither printed nor counted, and they leave no gap
    Print,  // printed (an empty line) and counted
};

// Prints the hard lines of a multi-line text one below the other in the page's current font:
// before each line the position goes to x and down by gap, so the first line's top lies at
// y + gap. At most cap lines print; the rest is dropped. A text ending in a line break has an empty
// last line, and an empty text is one empty line. Leading blanks of a line are kept.
void printBodyText(Page& page, const QString& text, double x, double y, int cap, BlankLines blankLines,
                   double gap);

}  // namespace qelvaro
