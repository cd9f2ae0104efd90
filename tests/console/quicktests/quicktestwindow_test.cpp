// The five quick tests from the whole window, over every kind of link: a
// pseudo-terminal as COM1, a TCP printer on 127.0.0.1, and pseudo-terminals
// mapped as LPT1 and USB1 standing in for a parallel port and a USB printer.
#include "tests/console/app/consolewindow.h"
#include "tests/console/quicktests/golden.h"

#include <QComboBox>
#include <QLineEdit>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const std::string Drawer("\x1B\x70\x00\xE0\xF0", 5);
const std::string Barcode39 = "\x1D\x68\x78\x1D\x77\x02\x1D\x48\x02\x0A\x1D\x6B\x45\x0A"
                              "0123456789\x0A";

// What a printer has received once count bytes are there.
std::string receivedOnce(const testsupport::VirtualPrinter& printer, std::size_t count) {
    EXPECT_TRUE(printer.waitForCount(count, 5s));
    return printer.received();
}

} // namespace

TEST_F(ConsoleWindowTest, EachQuickTestButtonDeliversItsBytesOverASerialLink) {
    ASSERT_TRUE(golden::samplesFound());
    const QString file = dir.filePath(QStringLiteral("receipt.prn"));
    ASSERT_TRUE(golden::writeFile(file, golden::oddFile()));
    open();
    expectConnected();
    struct Case {
        const char* name;
        int button;
        std::string bytes;
    };
    const Case cases[] = {
        {"print file", ids::PrintFile, golden::oddFile()},
        {"cash drawer", ids::CashDrawer, Drawer},
        {"58/76 mm sample", ids::Sample58, golden::sample58()},
        {"80 mm sample", ids::Sample80, golden::sample80()},
        {"barcode", ids::PrintBarcode, Barcode39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        printer->clearReceived();
        if (c.button == ids::PrintFile)
            prompter.openNext(file);
        click(c.button);
        EXPECT_EQ(receivedOnce(*printer, c.bytes.size()), c.bytes);
    }
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(ConsoleWindowTest, ATcpPrinterTakesTheDrawerAndASample) {
    ASSERT_TRUE(golden::samplesFound());
    auto tcp = testsupport::VirtualPrinter::tcp();
    ASSERT_NE(tcp, nullptr);
    open();
    window->lineEdit(ids::IpAddress)->setText(QStringLiteral("127.0.0.1"));
    window->lineEdit(ids::TcpPort)->setText(QString::number(tcp->port()));
    pick(ids::PortCombo, 17); // ETHERNET
    expectConnected();
    ASSERT_EQ(window->link()->kind(), PortKind::Network);

    click(ids::CashDrawer);
    click(ids::Sample80);
    const std::string expected = Drawer + golden::sample80();
    EXPECT_EQ(receivedOnce(*tcp, expected.size()), expected);
    EXPECT_TRUE(printer->received().empty()); // nothing went to COM1
    EXPECT_TRUE(prompter.messages().empty());
}

// Device files stand in for the parallel ports and the USB printer: each is
// connected from the port list, takes a test, and is let go again.
TEST_F(ConsoleWindowTest, TheParallelPortsAndAUsbPrinterTakeTheirTests) {
    ASSERT_TRUE(golden::samplesFound());
    auto lpt1 = testsupport::VirtualPrinter::serial();
    auto lpt2 = testsupport::VirtualPrinter::serial();
    auto usb = testsupport::VirtualPrinter::serial();
    ASSERT_TRUE(lpt1 && lpt2 && usb);
    writePortMap(
        printer->devicePath(),
        {{"LPT1", lpt1->devicePath()}, {"LPT2", lpt2->devicePath()}, {"USB1", usb->devicePath()}});
    open();
    struct Case {
        const char* name;
        int portIndex;
        PortKind kind;
        testsupport::VirtualPrinter& device;
        int button;
        std::string bytes;
    };
    const Case cases[] = {
        {"LPT1", 14, PortKind::Parallel, *lpt1, ids::Sample58, golden::sample58()},
        {"LPT2", 15, PortKind::Parallel, *lpt2, ids::CashDrawer, Drawer},
        {"USB", 16, PortKind::Usb, *usb, ids::PrintBarcode, Barcode39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pick(ids::PortCombo, c.portIndex);
        expectConnected();
        ASSERT_EQ(window->link()->kind(), c.kind);
        click(c.button);
        EXPECT_EQ(receivedOnce(c.device, c.bytes.size()), c.bytes);
        click(ids::ConnectButton);
        expectDisconnected();
    }
    EXPECT_TRUE(printer->received().empty());
}
