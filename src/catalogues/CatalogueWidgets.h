#pragma once

#include "CatalogueStore.h"

#include <QList>
#include <QString>

class QEvent;
class QFont;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QWidget;

namespace qelvaro {

// Pieces the catalogue windows share.

// A fixed dialog frame with a close box and no minimise or maximise box, of the given client size
// in twips.
void makeFixedDialog(QWidget* window, const QString& caption, int widthTwips, int heightTwips);

QPushButton* makeButton(QWidget* parent, const QString& caption, const char* objectName, int left, int top, int width,
                        int height);
QLineEdit* makeLineBox(QWidget* parent, const char* objectName, int left, int top, int width, int height);

// Shows the rows in the list, in their order, with no item selected and without any pick
// running; the rows are kept beside the list by the caller.
void fillList(QListWidget* list, const QList<ListedRow>& rows);

// The row of the selected item, or none.
std::optional<qint64> selectedRow(const QListWidget* list, const QList<ListedRow>& rows);

// Sets a box's text only when it differs, so an unchanged text raises no change.
void setBoxText(QLineEdit* box, const QString& text);

QFont songFont(double points);

// Over a list's viewport: the right button never changes the selection, and its release over a
// list with items pops the menu up at the pointer. True when the event was the right button's.
bool showListMenu(QListWidget* list, QMenu* menu, QEvent* event);

}  // namespace qelvaro
