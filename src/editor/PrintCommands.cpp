#include "PrintCommands.h"

#include "AppContext.h"
#include "MainWindow.h"
#include "Page.h"
#include "PrintSnapshots.h"
#include "PrintTarget.h"
#include "SettingsCopy.h"

#include <algorithm>

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace qelvaro {
namespace {

bool run(AppContext& context, const QString& jobName, const PageDrawing& draw)
{
    return context.printTarget && context.printTarget->run(jobName, draw);
}

}  // namespace

PrintCommands::PrintCommands(MainWindow& window, AppContext& context)
    : QObject(&window), m_window(window), m_context(context)
{
    setObjectName(QStringLiteral("printCommands"));
    window.provideCommand(Command::Print, [this] { printSheet(); });
    window.provideCommand(Command::OverlayPrint, [this] { printOverlay(); });
    for (int i = 0; i < kCardButtonCount; ++i) {
        const CardButton button = CardButton(i);
        m_cardButtons[button] = window.cardButton(button);
        m_cardButtons[button]->installEventFilter(this);
    }
}

bool PrintCommands::printSheet()
{
    // Taken before the job starts: the page sees the prescription and settings of this moment.
    const SheetSnapshot sheet = sheetSnapshot(m_window, m_context.settings.values());
    return run(m_context, QStringLiteral("处方"), [&sheet](Page& page) { qelvaro::printSheet(page, sheet); });
}

bool PrintCommands::printOverlay()
{
    const OverlaySnapshot overlay = overlaySnapshot(m_window, m_context.settings.values());
    return run(m_context, QStringLiteral("处方套打"), [&overlay](Page& page) { qelvaro::printOverlay(page, overlay); });
}

bool PrintCommands::printInjectionCard()
{
    const InjectionCardSnapshot card = injectionCardSnapshot(m_window, m_context.settings.values());
    return run(m_context, QStringLiteral("注射卡"), [&card](Page& page) { qelvaro::printInjectionCard(page, card); });
}

bool PrintCommands::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = std::find(m_cardButtons.begin(), m_cardButtons.end(), watched);
    if (found == m_cardButtons.end())
        return QObject::eventFilter(watched, event);
    QLabel* button = *found;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // the second press of a double click
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            button->setFrameShadow(QFrame::Sunken);
        return true;
    case QEvent::MouseButtonRelease:
        // Only the left button acts; the release belongs to the pressed button wherever it happens.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            button->setFrameShadow(QFrame::Raised);
            releaseCardButton(CardButton(found - m_cardButtons.begin()));
        }
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void PrintCommands::releaseCardButton(CardButton button)
{
    switch (button) {
    case CardButton::InjectionCard:
        printInjectionCard();
        break;
    case CardButton::History:
        emit historyCardRequested();
        break;
    case CardButton::InfusionCard:
        emit infusionCardRequested();
        break;
    case CardButton::HiddenHistory:
    case CardButton::Count:  // not a button
        break;
    }
}

}  // namespace qelvaro
