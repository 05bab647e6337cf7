#pragma once

#include "AboutBox.h"
#include "AppContext.h"
#include "AppPaths.h"
#include "DataStore.h"
#include "InfusionCardWindow.h"
#include "PrintTarget.h"
#include "WidgetFileDialog.h"
#include "SettingsCopy.h"
#include "SettingsWindow.h"
#include "UnattendedMessages.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;

namespace qelvaro {

class Clock;
class EndSignals;
class HistoryCardWindow;
class DrugCatalogueWindow;
class LoginWindow;
class NameCatalogueWindow;
class SetCatalogueWindow;
class TemplateCatalogueWindow;
class MainWindow;
class MessageSink;
class OutpatientLogWindow;
class StatisticsWindow;
class UrlOpener;

// The composition of the program: the data store, the settings working copy and the windows,
// wired together. start() runs the start-up and shows the login; finished() says the program is
// done (after the close-time backup, or at once for 退出).
class Application : public QObject {
    Q_OBJECT
public:
    Application(AppPaths paths, MessageSink& messages, UrlOpener& urls, Clock& clock, QObject* parent = nullptr);
    ~Application() override;

    void start();

    DataStore& store() { return m_store; }
    SettingsCopy& settings() { return *m_settings; }
    AppContext& context() { return *m_context; }
    LoginWindow* loginWindow() const { return m_login.get(); }
    MainWindow* mainWindow() const { return m_main.get(); }
    SettingsWindow* settingsWindow() const { return m_settingsWindow; }
    AboutBox* aboutBox() const { return m_about; }
    InfusionCardWindow* infusionCardWindow() const { return m_infusionCard; }
    HistoryCardWindow* historyCardWindow() const { return m_historyCard.get(); }
    // The catalogue windows, made on first use and kept for the run (their state outlives a close).
    DrugCatalogueWindow* drugWindow() const { return m_drugWindow.get(); }
    NameCatalogueWindow* diagnosisWindow() const { return m_diagnosisWindow.get(); }
    NameCatalogueWindow* addressWindow() const { return m_addressWindow.get(); }
    SetCatalogueWindow* setWindow() const { return m_setWindow.get(); }
    TemplateCatalogueWindow* templateWindow() const { return m_templateWindow.get(); }
    OutpatientLogWindow* outpatientLogWindow() const { return m_logWindow.get(); }
    StatisticsWindow* statisticsWindow() const { return m_statisticsWindow.get(); }

signals:
    void finished();

private:
    void showMainWindow();
    void showSettingsWindow();
    void showAboutBox();
    void showInfusionCard();
    void showHistoryCard();
    void provideCatalogueCommands();
    SetCatalogueWindow& setCatalogueWindow();
    TemplateCatalogueWindow& templateCatalogueWindow();
    void showOutpatientLog();
    void showStatistics();
    void closeOtherWindows();
    void shutDownWithBackup();
    void endOnSignal();
    void finish();

    AppPaths m_paths;
    UnattendedMessages m_messages;  // every window's, so that a signal's close shows no box
    UrlOpener& m_urls;
    Clock& m_clock;
    DataStore m_store;
    std::unique_ptr<SettingsCopy> m_settings;
    WidgetFileDialog m_fileDialog;
    PrinterTarget m_printer;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<LoginWindow> m_login;
    std::unique_ptr<MainWindow> m_main;
    QPointer<SettingsWindow> m_settingsWindow;
    QPointer<AboutBox> m_about;
    QPointer<InfusionCardWindow> m_infusionCard;  // made on first use, kept for the run
    std::unique_ptr<HistoryCardWindow> m_historyCard;  // kept for the run once opened
    std::unique_ptr<DrugCatalogueWindow> m_drugWindow;
    std::unique_ptr<NameCatalogueWindow> m_diagnosisWindow;
    std::unique_ptr<NameCatalogueWindow> m_addressWindow;
    std::unique_ptr<SetCatalogueWindow> m_setWindow;
    std::unique_ptr<TemplateCatalogueWindow> m_templateWindow;
    // Kept for the run once opened: closing only hides them.
    std::unique_ptr<OutpatientLogWindow> m_logWindow;
    std::unique_ptr<StatisticsWindow> m_statisticsWindow;
    std::unique_ptr<EndSignals> m_endSignals;
    bool m_closing = false;  // the close with its backup is under way
    bool m_finished = false;
};

}  // namespace qelvaro
