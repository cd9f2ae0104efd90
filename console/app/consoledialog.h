#pragma once

// Quorvane's one window. It owns the form (fields and their exchange), the
// connection part, the timed-send state, the recent files and the cut
// command, and routes every command through one table.
//
// consoledialog.cpp  wiring, opening, dispatch, closing, About box
// startup.cpp        the start-up settings and where the settings file plugs in

#include "console/app/consoleform.h"
#include "console/app/dispatch.h"
#include "console/link/connectionpanel.h"
#include "console/link/printerlink.h"
#include "console/send/sendjob.h"
#include "console/settings/inifile.h"
#include "platform/dialog/templatedialog.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

class PrinterLink;
class ReceiveDisplay;
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

    // --- the fields and their exchange
    using Prompts = ConsoleForm::Prompts;
    bool readControls(Prompts prompts = Prompts::Show) { return m_form.readControls(prompts); }
    void writeControls() { m_form.writeControls(); }
    [[nodiscard]] ConsoleFields& fields() { return m_form.fields(); }
    [[nodiscard]] const CommandTable& commands() const { return m_commands; }

    // --- the connection
    [[nodiscard]] ConnectionPanel& connection() { return m_connection; }
    void toggleConnection() { m_connection.toggle(); }
    void adoptLink(PrinterLink link) { m_connection.adoptLink(std::move(link)); }
    [[nodiscard]] bool isConnected() const { return m_connection.isConnected(); }
    [[nodiscard]] PrinterLink* link() { return m_connection.link(); }
    [[nodiscard]] PortSettings& portSettings() { return m_connection.settings(); }
    [[nodiscard]] SendJob& sendJob() { return m_sendJob; }
    [[nodiscard]] std::string& cutCommand() { return m_cutCommand; }
    [[nodiscard]] std::array<std::string, 8>& recentFiles() { return m_recentFiles; }
    // What the receive area holds, as bytes.
    [[nodiscard]] const std::string& receiveText() const;
    void setReceiveText(std::string_view text);
    [[nodiscard]] const QString& defaultSettingsPath() const { return m_defaultSettingsPath; }
    // The Send button at rest ("发送") and busy (a caption, the stop icon and tip).
    void setSendButtonIdle();
    void setSendButtonBusy(const QString& caption);

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

    // The save that closing runs (startup.cpp): where writing the settings
    // file plugs in.
    virtual void saveSettings();

private:
    void wireParts();
    void openWindow();
    void setSendButtonLook(const QString& caption, int iconId, const QString& tip);
    // The start-up load (startup.cpp): where reading the settings file plugs in.
    void loadStartupSettings();
    void closeSave();
    void exitSequence();
    void showAboutBox(bool counted);

    // The send engine and the receive display (console/send/sendengine.cpp).
    void endTimedSend();
    void onSendClicked();
    void onSendTimer();
    void onAnimationTimer();
    void onReceivePoll();
    void onTimedSendClicked();
    void onNumberingClicked();
    void onHexSendClicked();
    void onIntervalChanged();
    void onSheetsChanged();
    void onSendAreaChanged();
    void startTimedSend();
    void stopTimedSend();
    void showSendIdleImages();
    void sendCopySheets();
    void sendOneCopy(const std::string& copy, bool hex);
    void sendCutCommand();
    void writeBytes(const std::string& bytes);

    ConsoleForm m_form;
    ConnectionPanel m_connection;
    CommandTable m_commands;
    SendJob m_sendJob;
    std::unique_ptr<ReceiveDisplay> m_receive;
    std::string m_cutCommand = "1d 56 42 11";
    std::array<std::string, 8> m_recentFiles{};
    std::string m_panelSetting = "FALSE"; // showqueue
    bool m_panelFlag = false;
    bool m_connectAtStart = true;
    QString m_defaultSettingsPath;
    IniFile m_settings;
    int m_aboutOks = 0;
    QAction* m_aboutAction = nullptr;
};
