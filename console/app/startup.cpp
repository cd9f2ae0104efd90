// The start-up settings of the main window, and the place where the
// settings file plugs in. Until the console reads "Quorvane.ini", every value
// is its built-in default; the steps below already run in the order of the
// start-up load, so reading the file only changes where the values come from.

#include "console/app/consoledialog.h"

#include "console/settings/consolesettings.h"
#include "platform/codepage.h"

#include <QComboBox>

namespace {

// Replaced by the reading of the window's own settings file.
ConsoleSettings startupValues() {
    return ConsoleSettings{};
}

} // namespace

void TestConsoleDialog::loadStartupSettings() {
    const ConsoleSettings v = startupValues();
    ConsoleFields& f = m_form.fields();

    // The connection keys, then the send engine's numbers.
    m_connection.settings() = v.port;
    f.count = v.sendtimes;
    f.interval = v.delaytime;
    f.startNumber = v.startnumber;
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

    f.count = v.sendtimes;
    f.interval = v.delaytime;
    f.startNumber = v.startnumber;
    f.addCount = v.addtimes;
    f.addContent = v.addcontent;
    f.sendText = v.send;
    m_receive.setText(v.receive);
    f.entryTexts = v.queue;

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
