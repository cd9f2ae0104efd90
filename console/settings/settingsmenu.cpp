#include "console/settings/settingsmenu.h"

#include "console/app/consoleform.h"
#include "console/link/connectionpanel.h"
#include "console/send/receivepanel.h"
#include "console/send/sendengine.h"
#include "console/settings/inifile.h"
#include "platform/codepage.h"
#include "platform/dialog/prompter.h"
#include "platform/dialog/templatedialog.h"
#include "platform/errors.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>

using dialog::Notify;

namespace {

const QString ProposedName = QStringLiteral("Quorvane config.ini");
const QString IniSuffix = QStringLiteral("ini");

// The combo items the reset selects: "38400", "NONE", "8", "1", "NONE".
struct ResetItem {
    int comboId;
    int index;
};
constexpr ResetItem ResetItems[] = {
    {ids::BaudCombo, 7},     {ids::ParityCombo, 0}, {ids::DataBitsCombo, 3},
    {ids::StopBitsCombo, 0}, {ids::FlowCombo, 0},
};

// The settings' file dialogs propose "Quorvane config.ini" and complete a
// name without an extension with ".ini".
dialog::FileRequest fileRequest(const QString& title, const QString& filter) {
    dialog::FileRequest request;
    request.title = title;
    request.filter = filter;
    request.fileName = ProposedName;
    request.defaultSuffix = IniSuffix;
    return request;
}

// A new store on a file chosen in one of them.
IniFile storeOn(const QString& chosen) {
    IniFile ini;
    ini.setFileName(QFile::encodeName(SettingsMenu::withIniSuffix(chosen)).toStdString());
    return ini;
}

// The stored part of the port settings; the network address is not stored.
void takeStored(PortSettings& to, const PortSettings& from) {
    to.port = from.port;
    to.boad = from.boad;
    to.check = from.check;
    to.data = from.data;
    to.stop = from.stop;
    to.control = from.control;
}

} // namespace

SettingsMenu::SettingsMenu(ConsoleForm& form, ConnectionPanel& connection, SendEngine& send,
                           ReceivePanel& receive, Lent lent)
    : m_form(form), m_connection(connection), m_send(send), m_receive(receive), m_lent(lent) {}

void SettingsMenu::registerCommands(CommandTable& table) {
    table.on(menu::ResetSettings, Notify::Menu, [this] { reset(); });
    table.on(menu::SaveDefaults, Notify::Menu, [this] { saveAsDefault(); });
    table.on(menu::LoadDefaults, Notify::Menu, [this] { loadDefault(); });
    table.on(menu::SaveToFile, Notify::Menu, [this] { saveToFile(); });
    table.on(menu::LoadFromFile, Notify::Menu, [this] { loadFromFile(); });
}

QString SettingsMenu::withIniSuffix(const QString& path) {
    const QFileInfo info(path);
    if (info.fileName().isEmpty() || info.fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + IniSuffix;
}

// --- the values

ConsoleSettings SettingsMenu::current() const {
    const dialog::TemplateDialog& d = m_form.dialog();
    const ConsoleFields& f = m_form.fields();
    ConsoleSettings v;
    v.connect = m_connection.isConnected();
    takeStored(v.port, m_connection.settings());
    const QComboBox* queues = d.comboBox(ids::QueueChoice);
    v.selqueue = queues != nullptr ? queues->currentIndex() : -1;
    v.nottransorder = d.isChecked(ids::NoCommandMode);
    v.usetimer = d.isChecked(ids::TimedSend);
    v.addnumber = d.isChecked(ids::Numbering);
    for (std::size_t i = 0; i < v.check.size(); ++i)
        v.check[i] = d.isChecked(ids::EntryHexBoxes[i]);
    v.autocut = d.isChecked(ids::AutoCut);
    v.hexsend = d.isChecked(ids::HexSend);
    v.hexdisplay = d.isChecked(ids::HexDisplay);
    v.showqueue = m_lent.panelSetting;

    v.queue = f.entryTexts;
    v.receive = m_receive.text();
    v.send = f.sendText;
    v.recentfiles = m_lent.recentFiles;
    v.cutCommand = m_send.cutCommand();
    v.sendtimes = f.count;
    v.delaytime = f.interval;
    v.startnumber = f.startNumber;
    v.addtimes = f.addCount;
    v.addcontent = f.addContent;
    return v;
}

// The count, interval and start number, in the fields the send engine reads
// at the start of a run.
void SettingsMenu::setNumbers(const ConsoleSettings& values) {
    ConsoleFields& f = m_form.fields();
    f.count = values.sendtimes;
    f.interval = values.delaytime;
    f.startNumber = values.startnumber;
}

// Eight slots, empty ones included, the first selected.
void SettingsMenu::fillRecentFiles() {
    QComboBox* recent = m_form.dialog().comboBox(ids::RecentFiles);
    if (recent == nullptr)
        return;
    recent->clear();
    for (const std::string& path : m_lent.recentFiles)
        recent->addItem(codepage::toUnicode(path));
    recent->setCurrentIndex(0);
}

// --- the sequences

bool SettingsMenu::load(const IniFile& ini, Occasion occasion) {
    ConsoleSettings v;
    v.load(ini);
    dialog::TemplateDialog& d = m_form.dialog();
    ConsoleFields& f = m_form.fields();

    // The connection keys, then (at start-up) the send engine's numbers.
    takeStored(m_connection.settings(), v.port);
    if (occasion == Occasion::StartUp)
        setNumbers(v);
    m_form.writeControls();
    m_connection.applySettings();

    m_lent.recentFiles = v.recentfiles;
    m_send.cutCommand() = v.cutCommand;
    fillRecentFiles();
    m_form.readControls();

    d.setChecked(ids::AutoCut, v.autocut);
    d.setChecked(ids::HexSend, v.hexsend);
    m_send.onHexSendClicked();
    d.setChecked(ids::HexDisplay, v.hexdisplay);
    m_form.readControls();

    d.setChecked(ids::TimedSend, v.usetimer);
    m_send.onTimedSendClicked();
    d.setChecked(ids::Numbering, v.addnumber);
    m_send.onNumberingClicked();

    if (QComboBox* queues = d.comboBox(ids::QueueChoice))
        queues->setCurrentIndex(v.selqueue >= 0 && v.selqueue <= 9 ? v.selqueue : -1);
    d.setChecked(ids::NoCommandMode, v.nottransorder);
    m_form.readControls();

    for (std::size_t i = 0; i < v.check.size(); ++i) {
        d.setChecked(ids::EntryHexBoxes[i], v.check[i]);
        m_form.readControls();
    }
    m_form.writeControls();

    setNumbers(v);
    f.addCount = v.addtimes;
    f.addContent = v.addcontent;
    f.sendText = v.send;
    m_receive.setText(v.receive);
    f.entryTexts = v.queue;

    m_lent.panelSetting = v.showqueue;
    m_lent.panelFlag = v.showqueue == "TRUE";
    // At start-up the window keeps its template's arrangement.
    if (occasion == Occasion::Command)
        panelSwitch.run();
    m_form.writeControls();
    return v.connect;
}

// The saved state decides what the Connect button's operation does: a link
// that was open is opened, one that was not is closed.
void SettingsMenu::connectAsSaved(bool connect) {
    m_connection.setConnected(!connect);
    m_connection.toggle();
}

bool SettingsMenu::save(IniFile& ini) {
    m_form.readControls();
    current().save(ini);
    if (ini.writeFile())
        return true;
    m_form.message(QStringLiteral("设置未能保存到文件“%1”：%2")
                       .arg(QFile::decodeName(QByteArray::fromStdString(ini.fileName())),
                            QString::fromStdString(platform::errnoMessage(ini.writeError()))));
    return false;
}

void SettingsMenu::reset() {
    dialog::TemplateDialog& d = m_form.dialog();
    ConsoleFields& f = m_form.fields();
    const ConsoleSettings defaults;
    PortSettings& port = m_connection.settings();

    // The port first, shown with its serial settings.
    port.port = defaults.port.port;
    m_form.writeControls();
    m_form.readControls();
    m_connection.applyPort();
    for (const ResetItem& item : ResetItems) {
        if (QComboBox* combo = d.comboBox(item.comboId))
            combo->setCurrentIndex(item.index);
        m_form.readControls();
    }
    takeStored(port, defaults.port);
    m_form.writeControls();

    m_lent.recentFiles = defaults.recentfiles;
    m_send.cutCommand() = defaults.cutCommand;
    fillRecentFiles();

    d.setChecked(ids::AutoCut, true);
    d.setChecked(ids::HexSend, false);
    m_form.writeControls();
    m_send.onHexSendClicked();
    d.setChecked(ids::HexDisplay, true);
    d.setChecked(ids::TimedSend, false);
    m_form.writeControls();
    m_send.onTimedSendClicked();
    d.setChecked(ids::Numbering, false);
    m_form.writeControls();
    m_send.onNumberingClicked();
    if (QComboBox* queues = d.comboBox(ids::QueueChoice))
        queues->setCurrentIndex(0);
    d.setChecked(ids::NoCommandMode, false);

    setNumbers(defaults);
    // The reset's add-row count is 1, where a load without the key gives 0.
    f.addCount = 1;
    f.addContent.clear();
    f.sendText.clear();
    m_receive.setText({});
    f.entryTexts = {};

    m_lent.panelSetting = defaults.showqueue;
    m_lent.panelFlag = false;
    m_form.writeControls();
    panelSwitch.run();

    m_form.writeControls();
    connectAsSaved(true);

    m_form.writeControls();
    m_form.writeControls();
    for (int id : ids::EntryHexBoxes) {
        d.setChecked(id, false);
        m_form.readControls();
    }
    m_form.writeControls();
}

// --- the menu commands

void SettingsMenu::saveAsDefault() {
    IniFile ini;
    ini.setFileName(defaultSettingsPath());
    save(ini);
}

void SettingsMenu::loadDefault() {
    IniFile ini;
    ini.setFileName(defaultSettingsPath());
    connectAsSaved(load(ini, Occasion::Command));
}

void SettingsMenu::saveToFile() {
    m_form.readControls();
    const dialog::FileRequest request =
        fileRequest(QStringLiteral("保存当前设置到ini文件"), QStringLiteral("ini File (*.ini)"));
    if (const auto path = m_form.prompter().saveFileName(m_form.owner(), request)) {
        IniFile ini = storeOn(*path);
        save(ini);
    }
}

void SettingsMenu::loadFromFile() {
    dialog::FileRequest request =
        fileRequest(QStringLiteral("从ini文件载入设置"), QStringLiteral("ini文件(*.ini)"));
    // A file that is not there loads every default, as the default file does.
    request.mustExist = false;
    if (const auto path = m_form.prompter().openFileName(m_form.owner(), request))
        connectAsSaved(load(storeOn(*path), Occasion::Command));
}
