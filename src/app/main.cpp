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
    QObject::connect(&application, &qelvaro::Application::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    application.start();
    return app.exec();
}
