#include "WindowHelpers.h"

#include "Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTranslator>
#include <QWidget>

namespace qelvaro {

MultiLineBox::MultiLineBox(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }

BodyTextEdit::BodyTextEdit(QWidget* parent) : MultiLineBox(parent)
{
    setContextMenuPolicy(Qt::DefaultContextMenu);
    // The scroll bars' own menus (scroll here, top, bottom...) are the toolkit's, not the program's.
    verticalScrollBar()->setContextMenuPolicy(Qt::PreventContextMenu);
    horizontalScrollBar()->setContextMenuPolicy(Qt::PreventContextMenu);
}

void BodyTextEdit::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    const QPoint pos = event->reason() == QContextMenuEvent::Mouse
                           ? event->globalPos()
                           : viewport()->mapToGlobal(cursorRect().bottomLeft());
    emit contextMenuRequested(pos);
}

TypingLimit::TypingLimit(int limit, QLineEdit* box) : QValidator(box), m_limit(limit), m_length(box->text().size())
{
    pasteAsOneLine(box);
    // The box holds the edited text already while it validates, so the length it had before is
    // kept here.
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { m_length = text.size(); });
}

QValidator::State TypingLimit::validate(QString& input, int&) const
{
    return input.size() <= m_limit || input.size() <= m_length ? Acceptable : Invalid;
}

QString oneLinePaste(const QString& text, qsizetype room)
{
    static const QString lineBreaks = QStringLiteral("\r\n\x2028\x2029");
    qsizetype end = 0;
    while (end < text.size() && !lineBreaks.contains(text.at(end)))
        ++end;
    QString line = text.left(end);
    line.replace(u'\t', u' ');
    if (room < line.size()) {
        room = qMax<qsizetype>(room, 0);
        if (room > 0 && line.at(room - 1).isHighSurrogate())
            --room;
        line.truncate(room);
    }
    return line;
}

namespace {

// The menu's 粘贴: named so by newer toolkits, known by its (translated) text before.
QAction* boxMenuPasteAction(const QMenu* menu)
{
    const QString text = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste") || action->text().startsWith(text))
            return action;
    }
    return nullptr;
}

// Catches the box's ways of pasting before the box does them itself.
class OneLinePaste : public QObject {
public:
    explicit OneLinePaste(QLineEdit* box) : QObject(box), m_box(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box || m_box->isReadOnly())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
                paste(QClipboard::Clipboard);
                return true;
            }
            return false;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton
                && QGuiApplication::clipboard()->supportsSelection()) {
                m_box->deselect();
                paste(QClipboard::Selection);
                return true;
            }
            return false;
        case QEvent::ContextMenu:
            return showMenu(static_cast<QContextMenuEvent*>(event));
        default:
            return false;
        }
    }

private:
    void paste(QClipboard::Mode mode)
    {
        const QString text = QGuiApplication::clipboard()->text(mode);
        if (text.isEmpty())
            return;
        const auto* typingLimit = qobject_cast<const TypingLimit*>(m_box->validator());
        const qsizetype limit = typingLimit ? typingLimit->limit() : m_box->maxLength();
        const qsizetype kept = m_box->text().size() - m_box->selectedText().size();
        m_box->insert(oneLinePaste(text, limit - kept));
    }

    // The box's own menu, with its 粘贴 going through paste() too.
    bool showMenu(QContextMenuEvent* event)
    {
        if (m_box->contextMenuPolicy() != Qt::DefaultContextMenu)
            return false;
        QMenu* menu = m_box->createStandardContextMenu();
        QAction* pasteAction = boxMenuPasteAction(menu);
        if (!pasteAction) {
            delete menu;
            return false;
        }
        disconnect(pasteAction, &QAction::triggered, m_box, nullptr);
        connect(pasteAction, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
        event->accept();
        return true;
    }

    QLineEdit* m_box;
};

}  // namespace

void pasteAsOneLine(QLineEdit* box)
{
    static const QString name = QStringLiteral("oneLinePaste");
    if (box->findChild<QObject*>(name, Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new OneLinePaste(box);
    filter->setObjectName(name);
    box->installEventFilter(filter);
}

namespace {

// Visits each displayed line; stops when visit returns true.
template <typename Visit>
void forEachDisplayedLine(const QPlainTextEdit* box, Visit visit)
{
    QTextDocument* doc = box->document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);  // lays the block out if it is not yet
        const QTextLayout* tl = block.layout();
        const int lines = tl ? tl->lineCount() : 0;
        if (lines == 0) {
            if (visit(block.text()))
                return;
            continue;
        }
        for (int i = 0; i < lines; ++i) {
            const QTextLine l = tl->lineAt(i);
            if (visit(block.text().mid(l.textStart(), l.textLength())))
                return;
        }
    }
}

}  // namespace

QString textBoxLine(const QPlainTextEdit* box, int line)
{
    QString result;
    int index = 0;
    if (line < 0)
        return result;
    forEachDisplayedLine(box, [&](const QString& text) {
        if (index++ == line) {
            result = text;
            return true;
        }
        return false;
    });
    return result;
}

int textBoxLineCount(const QPlainTextEdit* box)
{
    int count = 0;
    forEachDisplayedLine(box, [&](const QString&) {
        ++count;
        return false;
    });
    return count;
}

QString makeDirs(const QString& path, bool* ok)
{
    // Only "/" separates: a backslash is an ordinary character of a folder name here.
    QString normal = path;
    while (normal.contains(QStringLiteral("//")))
        normal.replace(QStringLiteral("//"), QStringLiteral("/"));
    if (!normal.endsWith(u'/'))
        normal += u'/';
    const bool made = QDir().mkpath(normal);
    if (ok)
        *ok = made;
    return normal;
}

void centreOnScreen(QWidget* window, const Centring& how)
{
    const QWidget* on = how.screenOf ? how.screenOf : window;
    const QScreen* screen = on->screen() ? on->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = how.wholeScreen ? screen->geometry() : screen->availableGeometry();
    const QSize size = how.withoutFrame ? window->size() : window->frameGeometry().size();
    int y = area.y() + (area.height() - twipsToPixels(how.reserveTwips) - size.height()) / 2;
    if (how.raiseTwips > 0)
        y = std::max(0, y - twipsToPixels(how.raiseTwips));
    window->move(area.x() + (area.width() - size.width()) / 2, y);
}

namespace {

class CentreOnFirstShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            centreOnScreen(static_cast<QWidget*>(watched));
            deleteLater();
        }
        return false;
    }
};

}  // namespace

void centreWhenFirstShown(QWidget* window) { window->installEventFilter(new CentreOnFirstShow(window)); }

QLabel* productNameLabel(QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("Qelvaro"), parent);
    label->setObjectName(QStringLiteral("productName"));
    QFont font(QStringLiteral("楷体_GB2312"), 18);
    font.setBold(true);
    label->setFont(font);
    return label;
}

void installChineseTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace qelvaro
