#include "OnScreenKeyboard.h"

#include "MainWindow.h"
#include "Twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace qelvaro {
namespace {

constexpr int kKeySize = 300;
constexpr int kMargin = 120;
constexpr int kKeysPerRow = 10;
constexpr int kEditKeyWidth = 600;
// Where the keyboard opens, from the main window's top-left corner.
constexpr int kOffsetLeft = 11000;
constexpr int kOffsetTop = 1000;

QPushButton* makeKey(QWidget* parent, const QString& caption, const QString& objectName, const QRect& geometry)
{
    auto* key = new QPushButton(caption, parent);
    key->setObjectName(objectName);
    key->setGeometry(geometry);
    return key;
}

}  // namespace

OnScreenKeyboard::OnScreenKeyboard(MainWindow& window)
    : QWidget(&window, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_window(window)
{
    setObjectName(QStringLiteral("onScreenKeyboard"));
    setWindowTitle(QStringLiteral("软键盘"));
    QFont keyFont(QStringLiteral("宋体"));
    keyFont.setPointSizeF(9);
    setFont(keyFont);

    for (int i = 0; i < 26; ++i) {
        const QString letter(QChar(u'A' + i));
        const QRect geometry = twipsRect(kMargin + (i % kKeysPerRow) * kKeySize, kMargin + (i / kKeysPerRow) * kKeySize,
                                         kKeySize, kKeySize);
        QPushButton* key = makeKey(this, letter, QStringLiteral("keyboardKey") + letter, geometry);
        connect(key, &QPushButton::clicked, this, [this, letter] { typeLetter(letter); });
    }
    const int editRow = kMargin + 2 * kKeySize;
    connect(makeKey(this, QStringLiteral("退格"), QStringLiteral("keyboardBackspace"),
                    twipsRect(1920, editRow, kEditKeyWidth, kKeySize)),
            &QPushButton::clicked, this, &OnScreenKeyboard::backspace);
    connect(makeKey(this, QStringLiteral("清空"), QStringLiteral("keyboardClear"),
                    twipsRect(2520, editRow, kEditKeyWidth, kKeySize)),
            &QPushButton::clicked, this, &OnScreenKeyboard::clear);
    setFixedSize(twipsToPixels(2 * kMargin + kKeysPerRow * kKeySize), twipsToPixels(2 * kMargin + 3 * kKeySize));

    m_searchBoxes << window.drugSearchBox();
    for (int i = 0; i < kHeadingFieldCount; ++i)
        m_searchBoxes << window.headingBox(HeadingField(i));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusChanged(now); });
}

void OnScreenKeyboard::focusChanged(QWidget* now)
{
    for (const QPointer<QLineEdit>& box : m_searchBoxes) {
        if (box && box == now) {
            m_target = box;
            return;
        }
    }
}

void OnScreenKeyboard::open()
{
    if (!isVisible())
        move(m_window.pos() + twipsPoint(kOffsetLeft, kOffsetTop));
    show();
    raise();
}

void OnScreenKeyboard::typeLetter(const QString& letter)
{
    QLineEdit* box = m_target;
    if (!box)
        return;
    box->insert(letter);  // in place of the selection, as a typed letter
    box->setCursorPosition(int(box->text().size()));
    box->window()->activateWindow();
    box->setFocus();
}

void OnScreenKeyboard::backspace()
{
    QLineEdit* box = m_target;
    if (!box || box->text().isEmpty())
        return;
    // The last character, whatever the caret; a character outside the BMP goes whole.
    const QString text = box->text();
    qsizetype cut = 1;
    if (text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate())
        cut = 2;
    box->setText(text.chopped(cut));
}

void OnScreenKeyboard::clear()
{
    if (m_target)
        m_target->setText(QString());
}

}  // namespace qelvaro
