#include "Application.h"
#include "Clock.h"
#include "Fonts.h"
#include "MessageBoxSink.h"
#include "UrlOpener.h"
#include "WindowHelpers.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Qelvaro"));
    // The program ends when the composition says so (after the backup), not when a window hides.
    app.setQuitOnLastWindowClosed(false);
    qelvaro::installChineseTranslations();
    qelvaro::installFontSubstitutions();

    qelvaro::MessageBoxSink messages;
    qelvaro::DesktopUrlOpener urls;
    qelvaro::SystemClock clock;
    qelvaro::Application application(qelvaro::AppPaths::besideExecutable(), messages, urls, clock);
    // exit(), not quit(): it leaves every event loop, also that of a message box still open, and
    // asks no window to close again. The program may be done before its loop runs (another copy
    // runs, or a signal came during a start-up message).
    bool ended = false;
    QObject::connect(&application, &qelvaro::Application::finished, &app, [&ended] {
        ended = true;
        QCoreApplication::exit(0);
    });
    application.start();
    return ended ? 0 : app.exec();
}
