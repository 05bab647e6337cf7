#include "AboutBox.h"
#include "AppPaths.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "UrlOpener.h"
#include "WindowHelpers.h"

#include <QApplication>

// Start-up so far: the data files are made ready and the about box is shown.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Qelvaro"));
    qelvaro::installChineseTranslations();
    qelvaro::installFontSubstitutions();

    qelvaro::DataStore store(qelvaro::AppPaths::besideExecutable());
    qelvaro::MessageBoxSink messages;
    if (!store.open())
        messages.tell(store.startupMessage());

    qelvaro::DesktopUrlOpener urlOpener;
    qelvaro::AboutBox about(urlOpener);
    about.show();
    return app.exec();
}
