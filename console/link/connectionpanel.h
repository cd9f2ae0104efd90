#pragma once

// The console's connection: the port list and the serial combo boxes, the
// port settings, the open PrinterLink, the Connect button with connect,
// disconnect and reconnect, the status images and the port's tip.
//
// Steps of other parts that belong to the connection's sequences run
// through two hooks, at exactly these points:
//   opened  after a successful connect has set the caption "断开", the
//           connected flag and the status image (the quick tests come on);
//   closed  after a disconnect or a failed connect has set the caption
//           "连接" and cleared the flag (the quick tests go off, a timed run
//           ends). A failed connect shows its message only after the hook.

#include "console/app/dispatch.h"
#include "console/link/linkwriter.h"
#include "console/link/portkind.h"
#include "console/link/portsettings.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class ConsoleForm;
class PrinterLink;

class ConnectionPanel {
public:
    explicit ConnectionPanel(ConsoleForm& form);
    ~ConnectionPanel();
    ConnectionPanel(const ConnectionPanel&) = delete;
    ConnectionPanel& operator=(const ConnectionPanel&) = delete;

    // The port list, the serial combo boxes and the Connect button.
    void registerCommands(CommandTable& table);

    Hook opened;
    Hook closed;

    // The Connect button: disconnect when connected, else connect.
    void toggle();
    // Forget the connection without closing it and connect anew.
    void reconnect();
    // The connected state over a link opened elsewhere (a test's recording
    // channel, for one): what a successful connect does once it has its link.
    void adoptLink(PrinterLink link);

    // Loaded or reset settings onto the port list and the serial combo boxes.
    void applySettings();
    // Its first half: the port's item, and the serial settings shown for a
    // serial port and hidden for the others.
    void applyPort();
    // Shows or hides the serial labels and combo boxes, in their order.
    void showSerialSettings(bool visible);
    void showNetworkSettings(bool visible);

    [[nodiscard]] bool isConnected() const { return m_connected; }
    // At start-up the saved state decides what the Connect button's operation does.
    void setConnected(bool connected) { m_connected = connected; }
    [[nodiscard]] PrinterLink* link() const { return m_link.get(); }
    // The one write path to the open link: every part that sends uses it.
    [[nodiscard]] LinkWriter& writer() { return m_writer; }
    [[nodiscard]] PortSettings& settings() { return m_settings; }
    [[nodiscard]] const PortSettings& settings() const { return m_settings; }

private:
    void connectLink();
    void disconnectLink();
    // The disconnected tail that a disconnect and a failed connect share.
    void showClosedState();
    void onPortSelected();
    void onSerialSettingChanged(int comboId);
    void selectSerialItems();
    void selectPort(int port);
    void showLinkState(bool open);
    // Where the chosen port leads, for its tip.
    [[nodiscard]] QString portTip() const;

    ConsoleForm& m_form;
    PortSettings m_settings;
    std::unique_ptr<PrinterLink> m_link;
    LinkWriter m_writer{[this] { return m_link.get(); }};
    bool m_connected = false;
    // The port tip follows the port box; both let go when the panel goes.
    QMetaObject::Connection m_tipOnChoice;
    QPointer<QObject> m_tipWatcher;
};
