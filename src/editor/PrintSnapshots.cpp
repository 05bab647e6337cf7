#include "PrintSnapshots.h"

#include "DrawingSurface.h"
#include "MainWindow.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qelvaro {
namespace {

QPointF toTwips(const QPoint& pixels) { return QPointF(pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y())); }

QLineF toTwips(const QLine& pixels) { return QLineF(toTwips(pixels.p1()), toTwips(pixels.p2())); }

PageFont screenFont(const QWidget* widget)
{
    const QFont& font = widget->font();
    return {font.family(), font.pointSizeF(), font.bold()};
}

// A control on a surface: its text, its font, the corner of the control on the surface, and
// whether it shows (a hidden container hides it too).
ScreenText screenText(const QWidget* control, const QString& text, const QWidget* surface)
{
    return {text, screenFont(control), toTwips(control->mapTo(surface, QPoint())), control->isVisibleTo(surface)};
}

QList<ScreenRule> surfaceRules(const DrawingSurface* surface)
{
    QList<ScreenRule> rules;
    for (const DrawingSurface::Rule& r : surface->rules())
        rules.append({toTwips(r.line), r.width, true});
    return rules;
}

}  // namespace

SheetSnapshot sheetSnapshot(const MainWindow& window, const SettingsCopy::Values& settings)
{
    const DrawingSurface* sheet = window.sheet();
    const Prescription prescription = window.prescription();
    SheetSnapshot s;
    for (int i = 0; i < kSheetLabelCount; ++i)
        s.texts.append(screenText(window.sheetLabel(SheetLabel(i)), window.sheetLabel(SheetLabel(i))->text(), sheet));
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        const QLabel* caption = window.headingCaption(HeadingField(i));
        s.texts.append(screenText(caption, caption->text(), sheet));
    }
    for (int i = 0; i < kHeadingFieldCount; ++i)
        s.texts.append(screenText(window.headingBox(HeadingField(i)), prescription.fields[i], sheet));

    s.rules = surfaceRules(sheet);
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        const QWidget* box = window.headingFieldBox(HeadingField(i));
        const auto* surface = qobject_cast<const DrawingSurface*>(box);
        const int width = surface ? surface->rules().value(0).width : 1;
        const QLine underline = window.headingUnderline(HeadingField(i)).translated(box->mapTo(sheet, QPoint()));
        s.rules.append({toTwips(underline), width, box->isVisibleTo(sheet)});
    }

    s.body = prescription.body;
    s.bodyPosition = toTwips(window.body()->mapTo(sheet, QPoint()));
    s.marginLeft = settings.sheetLeft;
    s.marginTop = settings.sheetTop;
    s.portrait = settings.portrait;
    s.fontName = settings.fontName;
    s.fontSize = settings.fontSize;
    return s;
}

OverlaySnapshot overlaySnapshot(const MainWindow& window, const SettingsCopy::Values& settings)
{
    const Prescription prescription = window.prescription();
    OverlaySnapshot s;
    for (int i = 0; i < kOverlayFieldCount; ++i)
        s.fields[i] = prescription.fields[i];
    s.body = prescription.body;
    s.left = settings.overlayLeft;
    s.top = settings.overlayTop;
    for (int i = 0; i < kOverlayItemCount; ++i)
        s.items[i] = {settings.overlay[i].printed, settings.overlay[i].left, settings.overlay[i].top};
    s.fontName = settings.fontName;
    s.fontSize = settings.fontSize;
    return s;
}

InjectionCardSnapshot injectionCardSnapshot(const MainWindow& window, const SettingsCopy::Values& settings)
{
    const DrawingSurface* card = window.injectionCardPreview();
    InjectionCardSnapshot s;
    for (int i = 0; i < kCardCaptionCount; ++i) {
        const QLabel* caption = window.cardCaption(CardCaption(i));
        s.captions.append(screenText(caption, caption->text(), card));
    }
    for (int i = 0; i < kCardHeaderCount; ++i)
        s.header.append(screenText(window.cardHeaderBox(CardHeader(i)), window.cardHeaderBox(CardHeader(i))->text(), card));
    s.body = window.prescription().injectionCard;
    s.bodyPosition = toTwips(window.injectionCardBox()->mapTo(card, QPoint()));
    s.rules = surfaceRules(card);
    s.marginLeft = settings.cardLeft;
    s.marginTop = settings.cardTop;
    return s;
}

}  // namespace qelvaro
