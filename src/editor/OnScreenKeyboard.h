#pragma once

#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace qelvaro {

class MainWindow;

// The always-on-top keyboard of 26 capital letters, 退格 and 清空. It types into the search box
// of the main window that last had the focus: the drug search box or one of the heading fields.
// Until one of them has had the focus its keys do nothing.
class OnScreenKeyboard : public QWidget {
    Q_OBJECT
public:
    explicit OnScreenKeyboard(MainWindow& window);

    // The box the keys type into; null before any search box had the focus.
    QLineEdit* target() const { return m_target; }

    // Shows the keyboard without blocking the main window. When it was closed, it is placed
    // again over the right-hand part of the main window near its top.
    void open();

private:
    void typeLetter(const QString& letter);
    void backspace();
    void clear();
    void focusChanged(QWidget* now);

    MainWindow& m_window;
    QList<QPointer<QLineEdit>> m_searchBoxes;
    QPointer<QLineEdit> m_target;
};

}  // namespace qelvaro
