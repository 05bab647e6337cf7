#include "Application.h"

#include "AboutBox.h"
#include "Backup.h"
#include "ClickLabel.h"
#include "Clock.h"
#include "DrugCatalogueWindow.h"
#include "EndSignals.h"
#include "HistoryCardWindow.h"
#include "InfusionCardWindow.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "NameCatalogueWindow.h"
#include "OutpatientLogWindow.h"
#include "PrintCommands.h"
#include "SetCatalogueWindow.h"
#include "SettingsWindow.h"
#include "StatisticsWindow.h"
#include "TemplateCatalogueWindow.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qelvaro {

namespace {

// A window the doctor minimised comes back when its command is given again; raising alone
// leaves it in the task bar.
void unminimise(QWidget* window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
}

}  // namespace

Application::Application(AppPaths paths, MessageSink& messages, UrlOpener& urls, Clock& clock, QObject* parent)
    : QObject(parent), m_paths(paths), m_messages(messages), m_urls(urls), m_clock(clock), m_store(paths), m_printer(m_messages, m_fileDialog)
{
}

Application::~Application()
{
    // Windows first: they may still refer to the settings copy and the store.
    delete m_settingsWindow;
    delete m_about;
    delete m_infusionCard;
    m_historyCard.reset();
    m_drugWindow.reset();
    m_diagnosisWindow.reset();
    m_addressWindow.reset();
    m_setWindow.reset();
    m_templateWindow.reset();
    m_logWindow.reset();
    m_statisticsWindow.reset();
    m_main.reset();
    m_login.reset();
}

void Application::start()
{
    // Logout, shutdown or kill end the program as its close does, from the event loop.
    m_endSignals = std::make_unique<EndSignals>();
    connect(m_endSignals.get(), &EndSignals::received, this, &Application::endOnSignal);
    m_store.open();
    if (m_store.isInUseElsewhere()) {
        // The other copy owns the data; this one ends without having touched anything.
        m_messages.warn(QStringLiteral("程序已经在运行。"));
        finish();
        return;
    }
    if (!m_store.lockObstacle().isEmpty()) {
        // Whether another copy runs cannot be told: ending is the one safe choice, and the doctor
        // learns what to move away.
        m_messages.warn(m_store.lockObstacle());
        finish();
        return;
    }
    if (const QString problems = m_store.startupMessage(); !problems.isEmpty())
        m_messages.warn(problems);
    if (m_finished)
        return;  // a signal ended the program while the message was open
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
    connect(m_main->printCommands(), &PrintCommands::infusionCardRequested, this, &Application::showInfusionCard);
    connect(m_main->printCommands(), &PrintCommands::historyCardRequested, this, &Application::showHistoryCard);
    provideCatalogueCommands();
    m_main->provideCommand(Command::OutpatientLog, [this] { showOutpatientLog(); });
    m_main->provideCommand(Command::Statistics, [this] { showStatistics(); });
    m_main->show();
    // The search indexes are read behind the shown window; the searches ask the database until then.
    const auto reader = [](const QString& path, const QByteArray& key) {
        return [path, key] { return Database::open(path, key); };
    };
    m_context->searchIndexes.loadInBackground(m_store.records(), reader(m_paths.recordsFile(), DataStore::kRecordsKey),
                                              m_store.settings(), reader(m_paths.settingsFile(), DataStore::kSettingsKey));
}

void Application::provideCatalogueCommands()
{
    m_main->provideCommand(Command::Drugs, [this] {
        if (!m_drugWindow)
            m_drugWindow = std::make_unique<DrugCatalogueWindow>(*m_context);
        unminimise(m_drugWindow.get());
        m_drugWindow->open();
    });
    m_main->provideCommand(Command::Diagnoses, [this] {
        if (!m_diagnosisWindow)
            m_diagnosisWindow = std::make_unique<NameCatalogueWindow>(*m_context, NameTable::Diagnoses);
        unminimise(m_diagnosisWindow.get());
        m_diagnosisWindow->open();
    });
    m_main->provideCommand(Command::Addresses, [this] {
        if (!m_addressWindow)
            m_addressWindow = std::make_unique<NameCatalogueWindow>(*m_context, NameTable::Addresses);
        unminimise(m_addressWindow.get());
        m_addressWindow->open();
    });
    m_main->provideCommand(Command::Sets, [this] { setCatalogueWindow().open(); });
    m_main->provideCommand(Command::HistoryTemplates, [this] { templateCatalogueWindow().open(); });

    // The body's selection becomes a new set of the prescription's kind.
    m_main->provideCommand(Command::AddToSets, [this] {
        const QString selection = m_main->body()->textCursor().selectedText();
        if (selection.isEmpty())
            return;
        setCatalogueWindow().openForAdding(m_main->isHerbal(), selection);
    });
    // The history text becomes a new template.
    ClickLabel* link = m_main->addTemplateLink();
    link->setEnabled(true);
    link->unsetCursor();
    connect(link, &ClickLabel::clicked, this,
            [this] { templateCatalogueWindow().openForAdding(m_main->historyBox()->toPlainText()); });
}

SetCatalogueWindow& Application::setCatalogueWindow()
{
    if (!m_setWindow)
        m_setWindow = std::make_unique<SetCatalogueWindow>(*m_context);
    unminimise(m_setWindow.get());
    return *m_setWindow;
}

TemplateCatalogueWindow& Application::templateCatalogueWindow()
{
    if (!m_templateWindow) {
        m_templateWindow = std::make_unique<TemplateCatalogueWindow>(*m_context);
        // After a save the main window shows every template again; the list itself follows the
        // catalogue's change notices.
        connect(m_templateWindow.get(), &TemplateCatalogueWindow::saved, this,
                [this] { m_main->templateSearchBox()->clear(); });
    }
    unminimise(m_templateWindow.get());
    return *m_templateWindow;
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
        m_about = new AboutBox(m_urls, m_messages);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Application::showInfusionCard()
{
    if (!m_main)
        return;
    if (!m_infusionCard)
        m_infusionCard = new InfusionCardWindow(*m_main, *m_context);
    unminimise(m_infusionCard);
    m_infusionCard->open();
}

void Application::showHistoryCard()
{
    if (!m_historyCard)
        m_historyCard = std::make_unique<HistoryCardWindow>(*m_main, *m_context);
    unminimise(m_historyCard.get());
    m_historyCard->open();
}

void Application::showOutpatientLog()
{
    if (!m_logWindow)
        m_logWindow = std::make_unique<OutpatientLogWindow>(*m_context, m_fileDialog);
    unminimise(m_logWindow.get());
    m_logWindow->show();
    m_logWindow->raise();
    m_logWindow->activateWindow();
}

void Application::showStatistics()
{
    if (!m_statisticsWindow)
        m_statisticsWindow = std::make_unique<StatisticsWindow>(*m_context);
    unminimise(m_statisticsWindow.get());
    m_statisticsWindow->show();
    m_statisticsWindow->raise();
    m_statisticsWindow->activateWindow();
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
    if (m_finished || m_closing)
        return;
    m_closing = true;
    // Windows first (what they keep on closing is written), then the backup from the connections
    // nothing writes through any more, then the connections closed.
    closeOtherWindows();
    const BackupResult result = backUp(m_store, m_clock.today());
    m_store.close();
    if (!result.ok())
        m_messages.warn(QStringLiteral("数据备份未完成：\n") + result.failures.join(u'\n'));
    finish();
}

void Application::endOnSignal()
{
    if (m_finished)
        return;
    m_messages.setUnattended();
    if (m_closing) {
        // The close waits on a box it showed: that box goes, and the close ends as it would.
        closeOtherWindows();
        return;
    }
    if (m_main) {
        m_main->close();  // the close button's own path: windows, backup, databases and lock
        return;
    }
    // Not logged in: as closing the login window, after any box open over it.
    closeOtherWindows();
    if (m_login)
        m_login->close();
    else
        finish();
}

void Application::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // Jobs still waiting in the queue stay there and print when the printer is back; nothing
    // about them is asked once the program is ending.
    m_printer.stopFollowing();
    if (m_main)
        m_main->hide();
    if (m_login)
        m_login->hide();
    emit finished();
}

}  // namespace qelvaro
