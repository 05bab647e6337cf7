#include "BodyCommands.h"

#include "ClickLabel.h"
#include "InjectionCardText.h"
#include "MainWindow.h"
#include "OnScreenKeyboard.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace qelvaro {
namespace {

struct UsageAction {
    Command command;
    UsageInserter inserter;
};
constexpr UsageAction kUsageActions[] = {
    {Command::Drip, UsageInserter::IntravenousDrip},
    {Command::Intramuscular, UsageInserter::Intramuscular},
    {Command::Intravenous, UsageInserter::IntravenousPush},
    {Command::DripTube, UsageInserter::Dropper},
};

// The box's form of a text: "\n" between lines.
QString boxText(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    out.replace(QChar::ParagraphSeparator, u'\n');
    out.replace(QChar::LineSeparator, u'\n');
    return out;
}

}  // namespace

void applyBodyEdit(QPlainTextEdit* box, const BodyEdit& edit)
{
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.setPosition(edit.from);
    cursor.setPosition(edit.to, QTextCursor::KeepAnchor);
    cursor.insertText(edit.inserted);
    cursor.endEditBlock();
    box->setTextCursor(cursor);
}

BodyCommands::BodyCommands(MainWindow& window)
    : QObject(&window), m_window(window), m_keyboard(new OnScreenKeyboard(window)),
      m_lastBody(window.body()->toPlainText())
{
    window.provideCommand(Command::BodyCut, [this] { cut(); });
    window.provideCommand(Command::BodyCopy, [this] { copy(); });
    window.provideCommand(Command::BodyPaste, [this] { paste(); });
    window.provideCommand(Command::BodyDelete, [this] { deleteSelection(); });
    window.provideCommand(Command::CopyToCard, [this] { copyToCard(); });
    for (const UsageAction& u : kUsageActions) {
        const UsageInserter inserter = u.inserter;
        window.provideCommand(u.command, [this, inserter] { insertUsageLine(inserter); });
    }
    connect(window.bodyMenu(), &QMenu::aboutToShow, this, &BodyCommands::updateMenu);
    updateMenu();

    for (int i = 0; i < kShorthandLabelCount; ++i) {
        if (!isShorthandInsert(i))
            continue;
        connect(window.shorthandLabel(i), &ClickLabel::clicked, this, [this, i] { insertShorthandLabel(i); });
    }
    connect(window.softKeyboardLink(), &ClickLabel::clicked, this, &BodyCommands::openKeyboard);
    connect(window.body(), &QPlainTextEdit::textChanged, this, &BodyCommands::bodyChanged);
}

void BodyCommands::updateMenu()
{
    const bool selection = m_window.body()->textCursor().hasSelection();
    for (Command command : {Command::BodyCut, Command::BodyCopy, Command::BodyDelete, Command::CopyToCard})
        m_window.action(command)->setEnabled(selection);
    m_window.action(Command::BodyPaste)->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    // Hands the selection to the set window, once that window is provided.
    m_window.action(Command::AddToSets)->setEnabled(selection && m_window.isProvided(Command::AddToSets));
}

QString BodyCommands::bodySelection() const { return boxText(m_window.body()->textCursor().selectedText()); }

void BodyCommands::replaceBodySelection(const QString& text)
{
    QPlainTextEdit* body = m_window.body();
    const QTextCursor cursor = body->textCursor();
    applyBodyEdit(body, replaceSelection(body->toPlainText(), cursor.selectionStart(), cursor.selectionEnd(), text));
}

// The menu belongs to the body: its clipboard commands take the body's selection, whichever box
// has the focus when they run.
void BodyCommands::cut()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(bodySelection());
    replaceBodySelection(QString());
}

void BodyCommands::copy()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(bodySelection());
}

void BodyCommands::paste() { replaceBodySelection(QGuiApplication::clipboard()->text()); }

void BodyCommands::deleteSelection() { replaceBodySelection(QString()); }

void BodyCommands::copyToCard()
{
    QPlainTextEdit* card = m_window.injectionCardBox();
    const QString text = bodySelection();
    if (card->toPlainText() != text)
        card->setPlainText(text);
}

void BodyCommands::insertUsageLine(UsageInserter inserter)
{
    QPlainTextEdit* body = m_window.body();
    const QTextCursor cursor = body->textCursor();
    applyBodyEdit(body, insertUsage(body->toPlainText(), cursor.selectionStart(), cursor.selectionEnd(), inserter));
}

void BodyCommands::insertShorthandLabel(int index)
{
    QPlainTextEdit* body = m_window.body();
    body->setFocus();
    const QTextCursor cursor = body->textCursor();
    applyBodyEdit(body, insertShorthand(body->toPlainText(), cursor.selectionStart(), cursor.selectionEnd(),
                                        m_window.shorthandLabel(index)->text()));
    m_window.drugSearchBox()->setFocus();
}

void BodyCommands::openKeyboard()
{
    m_keyboard->open();
    m_window.drugSearchBox()->setFocus();
}

void BodyCommands::bodyChanged()
{
    // The box reports a change even when it was given the text it already held.
    const QString body = m_window.body()->toPlainText();
    if (body == m_lastBody)
        return;
    m_lastBody = body;
    // A record being opened brings its own stored card.
    if (m_window.isFilling())
        return;
    QPlainTextEdit* card = m_window.injectionCardBox();
    const QString text = boxText(injectionCardText(body));
    if (card->toPlainText() != text)
        card->setPlainText(text);
}

}  // namespace qelvaro
