#include "OverlayPrint.h"

#include "Page.h"
#include "ScreenCopy.h"
#include "TextRules.h"

namespace qelvaro {
namespace {

// Where an item's value comes from: a field, a piece of the date, or a sex mark.
enum class Source { Field, Year, Month, Day, MaleMark, FemaleMark };

struct ItemRule {
    int item;
    Source source;
    int field;  // Source::Field
};

constexpr int kSexField = 1;
constexpr int kDateField = 9;

// The items in the order they print; the body (item 13) comes after them.
constexpr std::array<ItemRule, 22> kItems{{
    {0, Source::Field, 0},      {1, Source::Field, 1},      {2, Source::Field, 2},
    {3, Source::Field, 3},      {4, Source::Field, 4},      {5, Source::Field, 6},
    {6, Source::Field, 8},      {7, Source::Year, 0},       {17, Source::Month, 0},
    {18, Source::Day, 0},       {8, Source::Field, 10},     {9, Source::Field, 11},
    {10, Source::Field, 12},    {11, Source::Field, 13},    {12, Source::Field, 14},
    {14, Source::Field, 5},     {16, Source::MaleMark, 0},  {15, Source::FemaleMark, 0},
    {19, Source::Field, 9},     {22, Source::Field, 7},     {21, Source::Field, 16},
    {20, Source::Field, 15},
}};

// The value an item prints; false when it prints nothing even though ticked.
bool itemValue(const OverlaySnapshot& overlay, const ItemRule& rule, QString* value)
{
    const QString& date = overlay.fields[kDateField];
    const QString& sex = overlay.fields[kSexField];
    switch (rule.source) {
    case Source::Field:
        *value = overlay.fields[rule.field];
        return true;
    case Source::Year:
        *value = date.mid(0, 4);
        return true;
    case Source::Month:
        *value = date.mid(5, 2);
        return true;
    case Source::Day:
        *value = date.mid(8, 2);
        return true;
    case Source::MaleMark:
    case Source::FemaleMark:
        // The mark strikes out the other sex word that the form carries.
        *value = QStringLiteral("\\");
        return sex == QStringView(rule.source == Source::MaleMark ? u"男" : u"女");
    }
    return false;
}

double millimetres(const QString& text) { return numericValue(text) * kTwipsPerMillimetre; }

}  // namespace

void printOverlay(Page& page, const OverlaySnapshot& overlay)
{
    const double top = millimetres(overlay.top);
    const double left = millimetres(overlay.left);
    page.setScaleLeft(-left);
    page.setScaleTop(-top);

    page.setFontName(QStringLiteral("宋体"));
    page.setFontSize(12);
    for (const ItemRule& rule : kItems) {
        const OverlaySnapshot::Item& item = overlay.items[rule.item];
        QString value;
        if (!item.printed || !itemValue(overlay, rule, &value))
            continue;
        page.setCurrentX(millimetres(item.left));
        page.setCurrentY(millimetres(item.top));
        page.print(value);
    }

    setBodyFont(page, overlay.fontName, overlay.fontSize);
    const OverlaySnapshot::Item& body = overlay.items[kOverlayBodyItem];
    printBodyText(page, overlay.body, millimetres(body.left), millimetres(body.top), kOverlayBodyCap, BlankLines::Skip,
                  kOverlayBodyGap);
    page.endDoc();
}

}  // namespace qelvaro
