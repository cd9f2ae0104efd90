#pragma once

// Quorvane's one window. It is the controller of the whole console: it owns
// the fields its controls exchange data with, the port settings, the open
// link, the timed-send state, the recent files and the cut command, and its
// handlers read and change that state.
//
// consoledialog.cpp  opening, data exchange, dispatch, closing, About box
// connection.cpp     port choice, serial settings, connect and disconnect
// startup.cpp        the start-up settings and where the settings file plugs in

#include "console/app/consoleform.h"
#include "console/app/dispatch.h"
#include "console/link/portsettings.h"
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

    // --- operations other parts of the console use
    void showSerialSettings(bool visible);
    void showNetworkSettings(bool visible);
    void enableQuickTests(bool enabled);
    // The Connect button: disconnect when connected, else connect.
    void toggleConnection();
    // Forget the connection without closing it and connect anew.
    void reconnect();
    // The connected state over a link opened elsewhere (a test's recording
    // channel, for one): what a successful connect does once it has its link.
    void adoptLink(PrinterLink link);
    [[nodiscard]] bool isConnected() const { return m_connected; }
    [[nodiscard]] PrinterLink* link() { return m_link.get(); }
    [[nodiscard]] PortSettings& portSettings() { return m_portSettings; }
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
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // The save that closing runs (startup.cpp): where writing the settings
    // file plugs in.
    virtual void saveSettings();

private:
    void wireCommands();
    void openWindow();
    void setSendButtonLook(const QString& caption, int iconId, const QString& tip);
    // The start-up load (startup.cpp): where reading the settings file plugs in.
    void loadStartupSettings();
    void closeSave();
    void exitSequence();
    void showAboutBox(bool counted);

    // connection.cpp
    void connectLink();
    void disconnectLink();
    void onPortSelected();
    void onSerialSettingChanged(int comboId);
    void applyConnectionSettings();
    void selectSerialItems();
    void selectPort(int port);
    void showLinkState(bool open);
    void endTimedSend();
    void updatePortTip();

    // The send engine and the receive display (console/send/sendengine.cpp).
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
    CommandTable m_commands;
    PortSettings m_portSettings;
    std::unique_ptr<PrinterLink> m_link;
    bool m_connected = false;
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
