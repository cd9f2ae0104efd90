#pragma once

// Quorvane's one window. It owns the console's parts for its whole life and
// wires them; the parts hold the features' state and handlers:
//
//   ConsoleForm       the controls by id, the fields and their one exchange
//   ConnectionPanel   port settings, the open link, connect and disconnect
//   SendEngine        Send, timed runs and the cut command
//   ReceivePanel      the receive area and its poll
//   QuickTestPanel    the five one-click tests
//   SettingsMenu      the settings' load, save and reset, the menu "设置(&S)"
//   CutCommandDialog  the cut-command dialog
//
// The window itself keeps what crosses the parts: the dispatch of commands
// and timers through one table, the opening and closing orders, the
// start-up settings, the About box and the window menu, and one-line
// forwarders for what tests call.
//
// consoledialog.cpp  wiring, opening, dispatch, closing, About box
// startup.cpp        the start-up load and the close save on the window's own store

#include "console/app/consoleform.h"
#include "console/app/dispatch.h"
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/queues/cutcommanddialog.h"
#include "console/quicktests/quicktestpanel.h"
#include "console/send/receivepanel.h"
#include "console/send/sendengine.h"
#include "console/settings/inifile.h"
#include "console/settings/settingsmenu.h"
#include "platform/dialog/templatedialog.h"

#include <array>
#include <string>
#include <string_view>

class QAction;

namespace dialog {
class Prompter;
}

class TestConsoleDialog : public dialog::TemplateDialog {
public:
    static constexpr char AboutNumber[] = "200501170202";

    // Builds the window and runs its opening: start-up settings, then connect
    // or not, then the focus in the send area.
    explicit TestConsoleDialog(dialog::Prompter& prompter, QWidget* parent = nullptr);
    ~TestConsoleDialog() override;

    // --- the parts
    [[nodiscard]] ConsoleForm& form() { return m_form; }
    [[nodiscard]] ConnectionPanel& connection() { return m_connection; }
    [[nodiscard]] SendEngine& sendEngine() { return m_send; }
    [[nodiscard]] ReceivePanel& receivePanel() { return m_receive; }
    [[nodiscard]] QuickTestPanel& quickTests() { return m_quickTests; }
    [[nodiscard]] SettingsMenu& settingsMenu() { return m_settingsMenu; }
    [[nodiscard]] const CommandTable& commands() const { return m_commands; }

    // --- forwarders
    using Prompts = ConsoleForm::Prompts;
    bool readControls(Prompts prompts = Prompts::Show) { return m_form.readControls(prompts); }
    void writeControls() { m_form.writeControls(); }
    [[nodiscard]] ConsoleFields& fields() { return m_form.fields(); }
    void toggleConnection() { m_connection.toggle(); }
    void adoptLink(PrinterLink link) { m_connection.adoptLink(std::move(link)); }
    [[nodiscard]] bool isConnected() const { return m_connection.isConnected(); }
    [[nodiscard]] PrinterLink* link() { return m_connection.link(); }
    [[nodiscard]] PortSettings& portSettings() { return m_connection.settings(); }
    [[nodiscard]] SendJob& sendJob() { return m_send.job(); }
    [[nodiscard]] std::string& cutCommand() { return m_send.cutCommand(); }
    void setSendButtonBusy(const QString& caption) { m_send.setButtonBusy(caption); }
    [[nodiscard]] const std::string& receiveText() const { return m_receive.text(); }
    void setReceiveText(std::string_view text) { m_receive.setText(text); }
    [[nodiscard]] const QString& defaultSettingsPath() const { return m_defaultSettingsPath; }

    // --- events
    void onCommand(int id, dialog::Notify code) override;
    void onTimer(int id) override;
    // A command of the window's own menu (the background's context menu).
    void onSysCommand(int id);
    [[nodiscard]] QAction* aboutAction() const { return m_aboutAction; }
    [[nodiscard]] int aboutOkCount() const { return m_aboutOks; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // The close save (startup.cpp): the controls read, every setting into
    // the window's own store, the store written to the default file.
    virtual void saveSettings();

private:
    void wireParts();
    void openWindow();
    // The start-up load (startup.cpp) from the window's own store.
    void loadStartupSettings();
    void closeSave();
    void exitSequence();
    void showAboutBox(bool counted);

    // Kept for the recent-file list and the data queue panel, whose parts
    // take them over when they arrive; the settings carry them meanwhile.
    std::array<std::string, 8> m_recentFiles{};
    std::string m_panelSetting = "FALSE"; // showqueue
    bool m_panelFlag = false;

    ConsoleForm m_form;
    ConnectionPanel m_connection;
    SendEngine m_send;
    ReceivePanel m_receive;
    QuickTestPanel m_quickTests;
    SettingsMenu m_settingsMenu;
    CutCommandDialog m_cutCommand;
    CommandTable m_commands;

    bool m_connectAtStart = true;
    QString m_defaultSettingsPath;
    IniFile m_settings;
    int m_aboutOks = 0;
    QAction* m_aboutAction = nullptr;
};
