#pragma once

#include "AboutBox.h"
#include "AppContext.h"
#include "AppPaths.h"
#include "DataStore.h"
#include "PrintTarget.h"
#include "SettingsCopy.h"
#include "SettingsWindow.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;

namespace qelvaro {

class Clock;
class LoginWindow;
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
    OutpatientLogWindow* outpatientLogWindow() const { return m_logWindow.get(); }
    StatisticsWindow* statisticsWindow() const { return m_statisticsWindow.get(); }

signals:
    void finished();

private:
    void showMainWindow();
    void showSettingsWindow();
    void showAboutBox();
    void showOutpatientLog();
    void showStatistics();
    void closeOtherWindows();
    void shutDownWithBackup();
    void finish();

    AppPaths m_paths;
    MessageSink& m_messages;
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
    // Kept for the run once opened: closing only hides them.
    std::unique_ptr<OutpatientLogWindow> m_logWindow;
    std::unique_ptr<StatisticsWindow> m_statisticsWindow;
    bool m_finished = false;
};

}  // namespace qelvaro
