#include "console/link/connectionpanel.h"

#include "console/app/consoleform.h"
#include "console/link/printerlink.h"
#include "platform/codepage.h"
#include "platform/dialog/templatedialog.h"
#include "platform/dialog/widgetrules.h"
#include "platform/portmap.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QThread>

using dialog::Notify;

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

ConnectionPanel::ConnectionPanel(ConsoleForm& form) : m_form(form) {
    // The tip follows the choice, and is read anew whenever it is about to
    // show: the port map file may have changed since the port was chosen.
    if (QComboBox* ports = m_form.dialog().comboBox(ids::PortCombo)) {
        m_tipOnChoice = QObject::connect(ports, &QComboBox::currentIndexChanged, ports,
                                         [this, ports] { ports->setToolTip(portTip()); });
        m_tipWatcher = dialog::refreshToolTipOnShow(*ports, [this] { return portTip(); });
    }
}

ConnectionPanel::~ConnectionPanel() {
    QObject::disconnect(m_tipOnChoice);
    delete m_tipWatcher.data();
}

void ConnectionPanel::registerCommands(CommandTable& table) {
    table.on(ids::ConnectButton, Notify::Clicked, [this] { toggle(); });
    table.on(ids::PortCombo, Notify::SelChange, [this] { onPortSelected(); });
    table.on(ids::SerialCombos, Notify::SelChange,
             [this](int comboId) { onSerialSettingChanged(comboId); });
}

// --- groups of controls

void ConnectionPanel::showSerialSettings(bool visible) {
    m_form.dialog().showControls(ids::SerialGroup, visible);
}

void ConnectionPanel::showNetworkSettings(bool visible) {
    m_form.dialog().showControls(ids::NetworkGroup, visible);
}

void ConnectionPanel::showLinkState(bool open) {
    dialog::TemplateDialog& d = m_form.dialog();
    d.showControl(open ? ids::LinkOpenImage : ids::NoLinkImage, true);
    d.showControl(open ? ids::NoLinkImage : ids::LinkOpenImage, false);
}

// --- the port list and the serial settings

void ConnectionPanel::onPortSelected() {
    m_form.readControls();
    showNetworkSettings(false);
    QComboBox* ports = m_form.dialog().comboBox(ids::PortCombo);
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
    m_settings.port = port;
    reconnect();
}

void ConnectionPanel::onSerialSettingChanged(int comboId) {
    m_form.readControls();
    const QComboBox* combo = m_form.dialog().comboBox(comboId);
    const auto which = serialSettingOf(comboId);
    if (which && combo)
        storeSetting(m_settings, *which, combo->currentIndex());
    reconnect();
}

void ConnectionPanel::applySettings() {
    applyPort();
    selectSerialItems();
}

void ConnectionPanel::applyPort() {
    const int port = m_settings.port;
    if (port >= 1 && port <= 18)
        selectPort(port);
    showSerialSettings(port < 15);
}

// Selects the port's item; the box's edit field shows its name again even
// when someone typed over it.
void ConnectionPanel::selectPort(int port) {
    QComboBox* ports = m_form.dialog().comboBox(ids::PortCombo);
    ports->setCurrentIndex(portlist::comboIndex(port));
    if (ports->currentIndex() >= 0)
        ports->setEditText(ports->itemText(ports->currentIndex()));
}

QString ConnectionPanel::portTip() const {
    const QComboBox* ports = m_form.dialog().comboBox(ids::PortCombo);
    if (!ports)
        return {};
    const int port = ports->currentIndex() + 1;
    const auto kind = portlist::kindOf(port);
    if (!kind)
        return {};
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
            tip = QStringLiteral("USB：%1(USB1..USB10)")
                      .arg(QString::fromUtf8(linktext::NoUsbPrinter.data(),
                                             qsizetype(linktext::NoUsbPrinter.size())));
        for (const auto& p : present) {
            if (!tip.isEmpty())
                tip += u'\n';
            tip += QString::fromStdString(map.describe(p.name));
        }
        break;
    }
    case PortKind::Network:
        tip = QStringLiteral("TCP：连接到下面的 IP 地址和端口");
        break;
    }
    return tip;
}

// --- connect and disconnect

void ConnectionPanel::toggle() {
    if (m_connected)
        disconnectLink();
    else
        connectLink();
}

void ConnectionPanel::reconnect() {
    m_connected = false;
    toggle();
}

void ConnectionPanel::connectLink() {
    m_form.readControls();
    const int port = m_settings.port;
    const auto kind = portlist::kindOf(port);
    if (!kind) {
        m_form.message(NoPortChosen);
        return;
    }
    selectPort(port);
    m_link.reset();

    dialog::TemplateDialog& d = m_form.dialog();
    m_settings.ipAddress = codepage::fromUnicode(d.lineEdit(ids::IpAddress)->text());
    m_settings.tcpPort = m_form.fields().tcpPort;
    std::string why;
    auto opened = PrinterLink::open(m_settings, platform::PortMap::load(), &why);
    // What went wrong, or where the port leads, for the status image's tip.
    d.label(ids::NoLinkImage)->setToolTip(QString::fromStdString(why));
    if (!opened) {
        // Exactly the disconnected state, whatever came before.
        d.stopWindowTimer(timers::ReceivePoll);
        showLinkState(false);
        showClosedState();
        if (*kind != PortKind::Network)
            m_form.message(PortBusy);
        return;
    }
    adoptLink(std::move(*opened));
}

void ConnectionPanel::adoptLink(PrinterLink link) {
    const PortKind kind = link.kind();
    m_link = std::make_unique<PrinterLink>(std::move(link));
    dialog::TemplateDialog& d = m_form.dialog();
    d.startWindowTimer(timers::ReceivePoll, timers::ReceivePollMs);
    d.setCaption(ids::ConnectButton, QStringLiteral("断开"));
    m_connected = true;
    showLinkState(true);
    opened.run();
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
void ConnectionPanel::selectSerialItems() {
    for (const auto& c : SerialCombos) {
        const int index = settingIndex(c.setting, settingField(m_settings, c.setting));
        if (index >= 0)
            m_form.dialog().comboBox(c.id)->setCurrentIndex(index);
    }
}

void ConnectionPanel::disconnectLink() {
    m_form.dialog().stopWindowTimer(timers::ReceivePoll);
    if (m_link)
        m_link->close();
    showLinkState(false);
    m_link.reset();
    // Give the device a moment before anything opens it again.
    QThread::msleep(200);
    showClosedState();
}

void ConnectionPanel::showClosedState() {
    m_form.dialog().setCaption(ids::ConnectButton, QStringLiteral("连接"));
    m_connected = false;
    closed.run();
}
