#pragma once

#include "MainWindow.h"

#include <QObject>

#include <array>

class QLabel;

namespace qelvaro {

struct AppContext;

// The main window's print commands: 打印 (the sheet on blank paper), 套打 (the overlay on a
// pre-printed form) and the card buttons below the history text and the card preview. Each job
// goes to the context's print target, which tells the user when there is no printer or the job
// fails; nothing else is shown.
class PrintCommands : public QObject {
    Q_OBJECT
public:
    PrintCommands(MainWindow& window, AppContext& context);

    // True only when the job reached a printer or a file.
    bool printSheet();
    bool printOverlay();
    bool printInjectionCard();

signals:
    // Released card buttons whose windows belong to the cards (the composition opens them).
    void historyCardRequested();
    void infusionCardRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseCardButton(CardButton button);

    MainWindow& m_window;
    AppContext& m_context;
    EnumArray<CardButton, QLabel*> m_cardButtons;
};

}  // namespace qelvaro
