#include "WidgetTestSupport.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

namespace qelvaro::test {

void typeText(QWidget* widget, const QString& text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const bool ascii = text[i].unicode() < 0x80;
        qsizetype j = i;
        while (j < text.size() && (text[j].unicode() < 0x80) == ascii)
            ++j;
        const QString run = text.mid(i, j - i);
        if (ascii) {
            QTest::keyClicks(widget, run);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QApplication::sendEvent(widget, &commit);
        }
        i = j;
    }
}

}  // namespace qelvaro::test
