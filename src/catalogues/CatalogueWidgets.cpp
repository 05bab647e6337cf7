#include "CatalogueWidgets.h"

#include "Twips.h"

#include <QFont>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>

namespace qelvaro {

void makeFixedDialog(QWidget* window, const QString& caption, int widthTwips, int heightTwips)
{
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const char* objectName, int left, int top, int width,
                        int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(twipsRect(left, top, width, height));
    // Enter on a focused button presses it, as in any dialog.
    button->setAutoDefault(true);
    return button;
}

QLineEdit* makeLineBox(QWidget* parent, const char* objectName, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(twipsRect(left, top, width, height));
    return box;
}

void fillList(QListWidget* list, const QList<ListedRow>& rows)
{
    QStringList texts;
    texts.reserve(rows.size());
    for (const ListedRow& row : rows)
        texts << row.text;
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(texts);
    list->setCurrentRow(-1);
}

std::optional<qint64> selectedRow(const QListWidget* list, const QList<ListedRow>& rows)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const int index = list->row(selected.first());
    if (index < 0 || index >= rows.size())
        return std::nullopt;
    return rows[index].rowId;
}

void setBoxText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

QFont songFont(double points)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}

bool showListMenu(QListWidget* list, QMenu* menu, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    if (type == QEvent::MouseButtonRelease && list->count() > 0)
        menu->popup(mouse->globalPosition().toPoint());
    return true;
}

}  // namespace qelvaro
