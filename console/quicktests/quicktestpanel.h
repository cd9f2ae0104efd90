#pragma once

// The quick-test group "快速测试功能": five one-click tests for a connected
// printer. Print a file as it is stored, kick the cash drawer, print the
// 58/76 mm or the 80 mm sample receipt, print a CODE39 or CODE128 barcode.
// None sends an initialisation or a cut, and the send engine's automatic cut
// does not follow them. Each test does nothing at all while no link is open;
// its bytes go out through the connection's one write path.
//
// The group's controls are on only while a link is open: the window runs
// setEnabled from the connection's opened and closed hooks.

#include "console/app/dispatch.h"
#include "console/quicktests/quicktestbytes.h"

class ConnectionPanel;
class ConsoleForm;

class QuickTestPanel {
public:
    QuickTestPanel(ConsoleForm& form, ConnectionPanel& connection);
    QuickTestPanel(const QuickTestPanel&) = delete;
    QuickTestPanel& operator=(const QuickTestPanel&) = delete;

    // The five buttons. The barcode's type box and content edit are only read
    // when the barcode prints.
    void registerCommands(CommandTable& table);

    // All nine controls of the group on or off.
    void setEnabled(bool on);

    void printFile();
    void openCashDrawer();
    void printSample(quicktests::Paper paper);
    void printBarcode();

private:
    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
};
