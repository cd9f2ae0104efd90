// The start-up settings of the main window, and the place where the
// settings file plugs in. Until the console reads "Quorvane.ini", every value
// is its built-in default; the steps below already run in the order of the
// start-up load, so reading the file only changes where the values come from.

#include "console/app/consoledialog.h"

#include "platform/codepage.h"

#include <QComboBox>

namespace {

// Every value the start-up load takes, at its default.
struct StartupValues {
    PortSettings port; // COM1, "38400," "N," "8," "1" "NONE\n"
    bool connect = true;
    int sendtimes = 1;
    int delaytime = 1000;
    int startnumber = 1;
    std::array<std::string, 8> recentfiles{};
    std::string cutCommand = "1d 56 42 11";
    bool autocut = true;
    bool hexsend = false;
    bool hexdisplay = true;
    bool usetimer = false;
    bool addnumber = false;
    int selqueue = 0;
    bool nottransorder = false;
    std::array<bool, 10> check{};
    int addtimes = 0;
    std::string addcontent;
    std::string send;
    std::string receive;
    std::array<std::string, 10> queue{};
    std::string showqueue = "FALSE";
};

// Replaced by the reading of the window's own settings file.
StartupValues startupValues() {
    return StartupValues{};
}

} // namespace

void TestConsoleDialog::loadStartupSettings() {
    const StartupValues v = startupValues();

    // The connection keys, then the send engine's numbers.
    m_connection.settings() = v.port;
    m_form.fields().count = v.sendtimes;
    m_form.fields().interval = v.delaytime;
    m_form.fields().startNumber = v.startnumber;
    writeControls();
    m_connection.applySettings();

    // Recent files: eight slots, empty ones included, the first selected.
    m_recentFiles = v.recentfiles;
    m_send.cutCommand() = v.cutCommand;
    if (QComboBox* recent = comboBox(ids::RecentFiles)) {
        recent->clear();
        for (const auto& path : m_recentFiles)
            recent->addItem(codepage::toUnicode(path));
        recent->setCurrentIndex(0);
    }
    readControls();

    setChecked(ids::AutoCut, v.autocut);
    setChecked(ids::HexSend, v.hexsend);
    m_send.onHexSendClicked();
    setChecked(ids::HexDisplay, v.hexdisplay);
    readControls();

    setChecked(ids::TimedSend, v.usetimer);
    m_send.onTimedSendClicked();
    setChecked(ids::Numbering, v.addnumber);
    m_send.onNumberingClicked();

    if (QComboBox* queues = comboBox(ids::QueueChoice))
        queues->setCurrentIndex(v.selqueue >= 0 && v.selqueue <= 9 ? v.selqueue : -1);
    setChecked(ids::NoCommandMode, v.nottransorder);
    readControls();

    for (size_t i = 0; i < v.check.size(); ++i) {
        setChecked(ids::EntryHexBoxes[i], v.check[i]);
        readControls();
    }
    writeControls();

    m_form.fields().count = v.sendtimes;
    m_form.fields().interval = v.delaytime;
    m_form.fields().startNumber = v.startnumber;
    m_form.fields().addCount = v.addtimes;
    m_form.fields().addContent = v.addcontent;
    m_form.fields().sendText = v.send;
    m_receive.setText(v.receive);
    m_form.fields().entryTexts = v.queue;

    // The queue panel keeps the template's arrangement at start; only the
    // setting and the flag for the next switch are taken.
    m_panelSetting = v.showqueue;
    m_panelFlag = v.showqueue == "TRUE";
    writeControls();

    m_connectAtStart = v.connect;
}

// Closing saves every setting to the default file; nothing is written until
// the settings file is read and written here.
void TestConsoleDialog::saveSettings() {}
