#pragma once

#include "TestSupport.h"
#include "UrlOpener.h"

#include <QList>
#include <QUrl>

class QWidget;

namespace qelvaro::test {

class UrlRecorder : public UrlOpener {
public:
    bool open(const QUrl& url) override
    {
        opened << url;
        return succeed;
    }
    QList<QUrl> opened;
    bool succeed = true;
};

// Types as the user would: ASCII by keys, any other text as an input method commits it.
void typeText(QWidget* widget, const QString& text);

}  // namespace qelvaro::test
