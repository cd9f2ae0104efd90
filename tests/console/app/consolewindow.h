#pragma once

// The console's window over a virtual printer: a pseudo-terminal mapped as
// COM1 in a port map of the test's own (every other port name leads to a
// path that does not exist, so no test ever opens a real device), a
// temporary working directory, and a scripted prompter.

#include "console/app/consoledialog.h"
#include "console/link/printerlink.h"
#include "tests/support/printer/virtualprinter.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

// Counts the saves closing runs.
class CountingWindow : public TestConsoleDialog {
public:
    using TestConsoleDialog::TestConsoleDialog;
    int saves = 0;

protected:
    void saveSettings() override {
        ++saves;
        TestConsoleDialog::saveSettings();
    }
};

class ConsoleWindowTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Writes the port map; COM1 leads to the printer unless told otherwise,
    // the names in `others` where they say.
    void writePortMap(const std::string& com1,
                      const std::map<std::string, std::string>& others = {});
    // Opens the window (its opening connects).
    CountingWindow& open();
    [[nodiscard]] std::string missing(const std::string& name) const;

    // A person picks item index of a combo box.
    void pick(int comboId, int index);
    // A person's click; then the writes it handed over go out and the steps
    // that follow them run.
    void click(int buttonId);
    // A window timer's tick, settled as a click is.
    void tick(int timerId);
    // Turns the event loop until the window's writes have ended.
    void settle();

    // The disconnected row: caption, images, poll, quick tests, no link.
    void expectDisconnected();
    void expectConnected();

    ScriptedPrompter prompter;
    std::unique_ptr<testsupport::VirtualPrinter> printer;
    std::unique_ptr<CountingWindow> window;
    QTemporaryDir dir;
    QString oldCwd;
};

inline const QString PortBusy = QStringLiteral("此通讯端口已被占用或损坏!");
