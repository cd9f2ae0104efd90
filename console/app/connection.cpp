// The main window's connection: the port list, the serial settings, the
// Connect button, connect and disconnect, and the state the window shows for
// them (caption, status image, receive poll, quick tests).

#include "console/app/consoledialog.h"

#include "console/app/artwork.h"
#include "console/link/printerlink.h"
#include "platform/codepage.h"
#include "platform/portmap.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

namespace {

const QString NoPortChosen = QStringLiteral("请选择一个可用通讯端口!");
const QString PortBusy = QStringLiteral("此通讯端口已被占用或损坏!");

QString parallelWarning(int port) {
    return QStringLiteral(
               "请确保无任何驱动占用LPT%1，若有，请在设备管理器中将此端口设置为“使用指派给本端口的"
               "任何中断”")
        .arg(port - 14);
}

// The five serial combo boxes and their settings, in the order the connect
// applies them.
struct SerialCombo {
    int id;
    SerialSetting setting;
};
constexpr std::array<SerialCombo, 5> SerialCombos{{
    {ids::BaudCombo, SerialSetting::Baud},
    {ids::DataBitsCombo, SerialSetting::DataBits},
    {ids::ParityCombo, SerialSetting::Parity},
    {ids::StopBitsCombo, SerialSetting::StopBits},
    {ids::FlowCombo, SerialSetting::FlowControl},
}};

std::optional<SerialSetting> serialSettingOf(int comboId) {
    for (const auto& c : SerialCombos)
        if (c.id == comboId)
            return c.setting;
    return std::nullopt;
}

} // namespace

// --- groups of controls

void TestConsoleDialog::showSerialSettings(bool visible) {
    showControls(ids::SerialGroup, visible);
}

void TestConsoleDialog::showNetworkSettings(bool visible) {
    showControls(ids::NetworkGroup, visible);
}

void TestConsoleDialog::enableQuickTests(bool enabled) {
    enableControls(ids::QuickTests, enabled);
}

void TestConsoleDialog::showLinkState(bool open) {
    showControl(open ? ids::LinkOpenImage : ids::NoLinkImage, true);
    showControl(open ? ids::NoLinkImage : ids::LinkOpenImage, false);
}

// --- the port list and the serial settings

void TestConsoleDialog::onPortSelected() {
    readControls();
    showNetworkSettings(false);
    QComboBox* ports = comboBox(ids::PortCombo);
    const int port = ports ? ports->currentIndex() + 1 : 0;
    switch (portlist::kindOf(port).value_or(PortKind::Serial)) {
    case PortKind::Serial:
        showSerialSettings(true);
        break;
    case PortKind::Parallel:
        m_form.message(parallelWarning(port));
        showSerialSettings(false);
        break;
    case PortKind::Usb:
        showSerialSettings(false);
        break;
    case PortKind::Network:
        showSerialSettings(false);
        showNetworkSettings(true);
        break;
    }
    m_portSettings.port = port;
    reconnect();
}

void TestConsoleDialog::onSerialSettingChanged(int comboId) {
    readControls();
    const QComboBox* combo = comboBox(comboId);
    const auto which = serialSettingOf(comboId);
    if (which && combo)
        storeSetting(m_portSettings, *which, combo->currentIndex());
    reconnect();
}

// Loaded or reset settings onto the port list and the serial combo boxes.
void TestConsoleDialog::applyConnectionSettings() {
    const int port = m_portSettings.port;
    if (port >= 1 && port <= 18)
        selectPort(port);
    showSerialSettings(port < 15);
    selectSerialItems();
}

// Selects the port's item; the box's edit field shows its name again even
// when someone typed over it.
void TestConsoleDialog::selectPort(int port) {
    QComboBox* ports = comboBox(ids::PortCombo);
    ports->setCurrentIndex(portlist::comboIndex(port));
    if (ports->currentIndex() >= 0)
        ports->setEditText(ports->itemText(ports->currentIndex()));
}

void TestConsoleDialog::updatePortTip() {
    QComboBox* ports = comboBox(ids::PortCombo);
    if (!ports)
        return;
    const int port = ports->currentIndex() + 1;
    const auto kind = portlist::kindOf(port);
    if (!kind) {
        ports->setToolTip(QString());
        return;
    }
    const platform::PortMap map = platform::PortMap::load();
    QString tip;
    switch (*kind) {
    case PortKind::Serial:
    case PortKind::Parallel:
        tip = QString::fromStdString(map.describe(portlist::deviceName(port)));
        break;
    case PortKind::Usb: {
        const auto present = map.presentUsbPrinters();
        if (present.empty())
            tip = QStringLiteral("USB: no USB printer present (USB1..USB10)");
        for (const auto& p : present) {
            if (!tip.isEmpty())
                tip += u'\n';
            tip += QString::fromStdString(map.describe(p.name));
        }
        break;
    }
    case PortKind::Network:
        tip = QStringLiteral("TCP to the IP address and port below");
        break;
    }
    ports->setToolTip(tip);
}

// --- connect and disconnect

void TestConsoleDialog::toggleConnection() {
    if (m_connected)
        disconnectLink();
    else
        connectLink();
}

void TestConsoleDialog::reconnect() {
    m_connected = false;
    toggleConnection();
}

void TestConsoleDialog::connectLink() {
    readControls();
    const int port = m_portSettings.port;
    const auto kind = portlist::kindOf(port);
    if (!kind) {
        m_form.message(NoPortChosen);
        return;
    }
    selectPort(port);
    m_link.reset();

    m_portSettings.ipAddress = codepage::fromUnicode(lineEdit(ids::IpAddress)->text());
    m_portSettings.tcpPort = m_form.fields().tcpPort;
    std::string why;
    auto opened = PrinterLink::open(m_portSettings, platform::PortMap::load(), &why);
    // What went wrong, or where the port leads, for the status image's tip.
    label(ids::NoLinkImage)->setToolTip(QString::fromStdString(why));
    if (!opened) {
        // Exactly the disconnected state, whatever came before.
        stopWindowTimer(timers::ReceivePoll);
        showLinkState(false);
        setCaption(ids::ConnectButton, QStringLiteral("连接"));
        m_connected = false;
        enableQuickTests(false);
        endTimedSend();
        if (*kind != PortKind::Network)
            m_form.message(PortBusy);
        return;
    }
    adoptLink(std::move(*opened));
}

void TestConsoleDialog::adoptLink(PrinterLink link) {
    const PortKind kind = link.kind();
    m_link = std::make_unique<PrinterLink>(std::move(link));
    startWindowTimer(timers::ReceivePoll, timers::ReceivePollMs);
    setCaption(ids::ConnectButton, QStringLiteral("断开"));
    m_connected = true;
    showLinkState(true);
    enableQuickTests(true);
    if (kind == PortKind::Serial) {
        showSerialSettings(true);
        // The line settings went onto the port as it opened; the combo boxes
        // show the items they matched.
        selectSerialItems();
    } else if (kind == PortKind::Parallel) {
        showSerialSettings(false);
    }
}

// Each serial combo box shows the item of its setting string; a string that
// matches no item leaves the box as it was.
void TestConsoleDialog::selectSerialItems() {
    for (const auto& c : SerialCombos) {
        const int index = settingIndex(c.setting, settingField(m_portSettings, c.setting));
        if (index >= 0)
            comboBox(c.id)->setCurrentIndex(index);
    }
}

void TestConsoleDialog::disconnectLink() {
    stopWindowTimer(timers::ReceivePoll);
    if (m_link)
        m_link->close();
    showLinkState(false);
    m_link.reset();
    // Give the device a moment before anything opens it again.
    QThread::msleep(200);
    setCaption(ids::ConnectButton, QStringLiteral("连接"));
    m_connected = false;
    enableQuickTests(false);
    endTimedSend();
}

// A run that loses its link ends at once, with no cut.
void TestConsoleDialog::endTimedSend() {
    if (!m_sendJob.active)
        return;
    stopWindowTimer(timers::Send);
    stopWindowTimer(timers::Animation);
    setSendButtonIdle();
    showControls(ids::SendFrames, false);
    m_sendJob.active = false;
}
