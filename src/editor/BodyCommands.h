#pragma once

#include "BodyText.h"

#include <QObject>
#include <QString>

class QPlainTextEdit;

namespace qelvaro {

class MainWindow;
class OnScreenKeyboard;

// Puts a body edit into a box through a text cursor, so the box keeps its undo history; the
// caret ends after the inserted text.
void applyBodyEdit(QPlainTextEdit* box, const BodyEdit& edit);

// The editing commands around the prescription body: its own right-click menu (clipboard
// commands on the body's selection, copy to the injection card, the four usage lines), the
// shorthand strip, the 软键盘 link, and the injection card that follows every change of the body.
class BodyCommands : public QObject {
    Q_OBJECT
public:
    explicit BodyCommands(MainWindow& window);

    OnScreenKeyboard* keyboard() const { return m_keyboard; }

private:
    void updateMenu();
    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void copyToCard();
    void insertUsageLine(UsageInserter inserter);
    void insertShorthandLabel(int index);
    void openKeyboard();
    void bodyChanged();
    void replaceBodySelection(const QString& text);
    QString bodySelection() const;

    MainWindow& m_window;
    OnScreenKeyboard* m_keyboard;
    QString m_lastBody;  // the body the card was last built from
};

}  // namespace qelvaro
