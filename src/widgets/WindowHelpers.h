#pragma once

#include <QPlainTextEdit>
#include <QValidator>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace qelvaro {

// Every multi-line box of the program: Tab and Shift+Tab move the focus on in the window's order,
// as in every other box, instead of typing a tab character (which would be stored, print as a jump
// and break the blank-counted herb columns). Tabs already in a text are kept as they are.
class MultiLineBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MultiLineBox(QWidget* parent = nullptr);
};

// The prescription body box: the toolkit's own edit menu never appears, by mouse or keyboard;
// contextMenuRequested tells the owner to show the program's menu instead.
class BodyTextEdit : public MultiLineBox {
    Q_OBJECT
public:
    explicit BodyTextEdit(QWidget* parent = nullptr);

signals:
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// Limits what the user types into a line box, as an edit box's typing limit does: text the program
// puts there (defaults, a name taken from a list) is never cut, and a text already longer than the
// limit may still be shortened. Unlike QLineEdit::setMaxLength, which cuts setText() too. A paste
// into the box is fitted to the limit as pasteAsOneLine() says.
class TypingLimit : public QValidator {
    Q_OBJECT
public:
    TypingLimit(int limit, QLineEdit* box);
    int limit() const { return m_limit; }
    State validate(QString& input, int& position) const override;

private:
    int m_limit;
    qsizetype m_length;
};

// What a paste of text puts into a one-line box with room for `room` more characters (counted as
// the limits count them, QString units): its first line, each tab as a blank, cut to the room
// without splitting a character outside the BMP.
QString oneLinePaste(const QString& text, qsizetype room);

// Pastes into the box (keys, its own menu, the middle button) insert oneLinePaste() of the
// clipboard, with the room its TypingLimit, or else its maxLength, leaves beside the text kept:
// a tab or line break never reaches a one-line field, and a long paste is cut instead of refused
// whole. Typing is left as it is.
void pasteAsOneLine(QLineEdit* box);

// The text of one displayed line of a multi-line box (a wrapped paragraph counts as several
// lines), without its line break; empty past the last line.
QString textBoxLine(const QPlainTextEdit* box, int line);
int textBoxLineCount(const QPlainTextEdit* box);

// Creates every folder along the path ("/" separates, a doubled one counts once; "\" is an ordinary
// character of a name).
// Returns the path in normal form, ending with "/"; *ok tells whether the folder now exists.
QString makeDirs(const QString& path, bool* ok = nullptr);

// The height the main window and the infusion card keep free below them for the task bar, in
// twips: each stands half of it above the centre of the whole screen.
inline constexpr int kTaskBarReserveTwips = 400;

// How centreOnScreen measures. The defaults centre the window's frame in the screen's free area.
struct Centring {
    const QWidget* screenOf = nullptr;  // the screen this widget is on; the window's own when null
    bool wholeScreen = false;           // the whole screen, panels included, not its free area
    bool withoutFrame = false;          // the window's size without its frame
    int reserveTwips = 0;               // height kept free at the foot of the area
    int raiseTwips = 0;                 // this much above the centre, but not above the screen's top
};

// Centres a window on a screen (the primary one when the widget is on none).
void centreOnScreen(QWidget* window, const Centring& how = {});
// Centres the window the first time it is shown; later shows leave it where the user put it.
void centreWhenFirstShown(QWidget* window);

// The product name as the login window and the about box show it.
QLabel* productNameLabel(QWidget* parent);

// Loads the toolkit's Chinese texts so standard dialogs read 确定/取消.
void installChineseTranslations();

}  // namespace qelvaro
