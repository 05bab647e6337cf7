#include "Application.h"

#include "AboutBox.h"
#include "Backup.h"
#include "Clock.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "SettingsWindow.h"

#include <QApplication>

namespace qelvaro {

Application::Application(AppPaths paths, MessageSink& messages, UrlOpener& urls, Clock& clock, QObject* parent)
    : QObject(parent), m_paths(paths), m_messages(messages), m_urls(urls), m_clock(clock), m_store(paths), m_printer(messages, m_fileDialog)
{
}

Application::~Application()
{
    // Windows first: they may still refer to the settings copy and the store.
    delete m_settingsWindow;
    delete m_about;
    m_main.reset();
    m_login.reset();
}

void Application::start()
{
    m_store.open();
    if (const QString problems = m_store.startupMessage(); !problems.isEmpty())
        m_messages.tell(problems);
    m_settings = std::make_unique<SettingsCopy>(m_store.settings());
    m_context.reset(new AppContext{m_store, *m_settings, m_messages, m_urls, m_clock, &m_printer});

    m_login = std::make_unique<LoginWindow>(m_store.loginPassword(), m_messages);
    connect(m_login.get(), &LoginWindow::accepted, this, &Application::showMainWindow);
    connect(m_login.get(), &LoginWindow::cancelled, this, &Application::finish);
    m_login->show();
}

void Application::showMainWindow()
{
    if (m_main)
        return;
    m_main = std::make_unique<MainWindow>(*m_context);
    connect(m_main.get(), &MainWindow::closeRequested, this, &Application::shutDownWithBackup);
    connect(m_main.get(), &MainWindow::exitRequested, this, &Application::finish);
    connect(m_main.get(), &MainWindow::settingsRequested, this, &Application::showSettingsWindow);
    connect(m_main.get(), &MainWindow::aboutRequested, this, &Application::showAboutBox);
    connect(m_settings.get(), &SettingsCopy::clinicNameSaved, m_main.get(), &MainWindow::setClinicName);
    m_main->show();
    // The search indexes are read behind the shown window; the searches ask the database until then.
    const auto reader = [](const QString& path, const QByteArray& key) {
        return [path, key] { return Database::open(path, key); };
    };
    m_context->searchIndexes.loadInBackground(m_store.records(), reader(m_paths.recordsFile(), DataStore::kRecordsKey),
                                              m_store.settings(), reader(m_paths.settingsFile(), DataStore::kSettingsKey));
}

void Application::showSettingsWindow()
{
    if (!m_settingsWindow) {
        m_settingsWindow = new SettingsWindow(*m_context);
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void Application::showAboutBox()
{
    if (!m_about) {
        m_about = new AboutBox(m_urls);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Application::closeOtherWindows()
{
    // Every other window (settings, about box, on-screen keyboard, and whatever later windows the
    // editor opens) through its normal close, so whatever a window keeps on closing is kept.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != m_main.get() && window != m_login.get() && window->isVisible())
            window->close();
    }
}

void Application::shutDownWithBackup()
{
    if (m_finished)
        return;
    closeOtherWindows();
    m_store.close();
    const BackupResult result = backUp(m_paths, m_clock.today());
    if (!result.ok())
        m_messages.tell(QStringLiteral("数据备份未完成：\n") + result.failures.join(u'\n'));
    finish();
}

void Application::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_main)
        m_main->hide();
    if (m_login)
        m_login->hide();
    emit finished();
}

}  // namespace qelvaro
