#include "OptionGroup.h"

#include <QAbstractButton>

#include <algorithm>

namespace qelvaro {

void putTabStopOnChecked(const QList<QAbstractButton*>& group)
{
    // Qt itself moves the stop to whichever option last took the focus; left so, a check set by
    // the program or a click elsewhere would leave the stop on an unchecked option.
    const bool anyChecked = std::any_of(group.begin(), group.end(), [](QAbstractButton* b) { return b->isChecked(); });
    for (QAbstractButton* button : group) {
        const bool stop = !anyChecked || button->isChecked();
        const int policy = stop ? (button->focusPolicy() | Qt::TabFocus) : (button->focusPolicy() & ~Qt::TabFocus);
        button->setFocusPolicy(Qt::FocusPolicy(policy));
    }
}

}  // namespace qelvaro
