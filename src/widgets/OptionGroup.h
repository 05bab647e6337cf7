#pragma once

#include <QList>

class QAbstractButton;

namespace qelvaro {

// Makes the checked button of a group of options its one Tab stop, as in any dialog: Tab and
// Shift+Tab reach the group at its checked option and pass the others by (the arrow keys move
// within the group). Call it whenever the check moves, also when the buttons' signals are blocked.
// With none checked every button is a stop.
void putTabStopOnChecked(const QList<QAbstractButton*>& group);

}  // namespace qelvaro
