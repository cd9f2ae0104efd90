#include "console/link/linkwriter.h"
#include "console/link/printerlink.h"
#include "platform/devicefile.h"
#include "platform/portmap.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/virtualprinter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <fstream>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using testsupport::RecordingChannel;
using testsupport::VirtualPrinter;

namespace {

using Clock = std::chrono::steady_clock;

class PrinterLinkTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();

    // A port map from "NAME = path" lines; every USB candidate not named is absent.
    platform::PortMap ports(const std::string& lines) {
        std::string text;
        for (int k = 1; k <= 10; ++k)
            text += "USB" + std::to_string(k) + " = " + root + "/absent\n";
        const std::string path = root + "/ports.conf";
        std::ofstream(path) << text << lines;
        return platform::PortMap::fromFile(path, platform::PortMapping::Source::EnvironmentFile);
    }
    std::string makeFile(const std::string& name) {
        const std::string path = root + "/" + name;
        std::ofstream(path).flush();
        return path;
    }
    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static PortSettings onPort(std::int32_t port) {
        PortSettings s;
        s.port = port;
        return s;
    }
};

void waitForInput(const VirtualPrinter& printer, std::size_t count) {
    int waiting = 0;
    for (int i = 0; i < 400 && waiting < static_cast<int>(count); ++i) {
        ::ioctl(printer.slaveFd(), FIONREAD, &waiting);
        std::this_thread::sleep_for(5ms);
    }
}

} // namespace

TEST_F(PrinterLinkTest, SerialOpensTheMappedComPortWithItsSettings) {
    auto printer = VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    PortSettings settings = onPort(14);
    settings.boad = "43000,";
    settings.stop = "2";
    settings.control = "CtsRts\n";
    std::string error;
    auto link =
        PrinterLink::open(settings, ports("COM14 = " + printer->devicePath() + "\n"), &error);
    ASSERT_TRUE(link) << error;
    EXPECT_EQ(link->kind(), PortKind::Serial);

    termios tio{};
    ASSERT_EQ(::tcgetattr(printer->slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B57600); // "43000" runs at 57600
    EXPECT_NE(tio.c_cflag & CSTOPB, 0U);
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0U);
    EXPECT_EQ(tio.c_lflag & ICANON, 0U);

    // A second open of the same port fails while this one holds it.
    EXPECT_FALSE(PrinterLink::open(settings, ports("COM14 = " + printer->devicePath() + "\n")));

    EXPECT_EQ(link->write("\x1b@receipt\n", 10), 10);
    ASSERT_TRUE(printer->waitForCount(10, 2s));
    EXPECT_EQ(printer->received(), "\x1b@receipt\n");
}

TEST_F(PrinterLinkTest, ReconnectWithNoneClearsHandshakeAndUnknownFlowLeavesIt) {
    auto printer = VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    const auto map = ports("COM1 = " + printer->devicePath() + "\n");
    const auto crtscts = [&] {
        termios tio{};
        ::tcgetattr(printer->slaveFd(), &tio);
        return (tio.c_cflag & CRTSCTS) != 0;
    };
    PortSettings settings = onPort(1);
    settings.control = "CtsRts\n";
    ASSERT_TRUE(PrinterLink::open(settings, map));
    EXPECT_TRUE(crtscts());
    settings.control = "bogus\n"; // no row: the port keeps what it had
    ASSERT_TRUE(PrinterLink::open(settings, map));
    EXPECT_TRUE(crtscts());
    settings.control = "NONE\n";
    ASSERT_TRUE(PrinterLink::open(settings, map));
    EXPECT_FALSE(crtscts());
}

TEST_F(PrinterLinkTest, SerialReadTakesOnlyWhatIsWaiting) {
    auto printer = VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    auto link = PrinterLink::open(onPort(1), ports("COM1 = " + printer->devicePath() + "\n"));
    ASSERT_TRUE(link);
    char buffer[100];
    auto started = Clock::now();
    EXPECT_EQ(link->read(buffer, sizeof buffer), 0);
    EXPECT_LT(Clock::now() - started, 50ms);

    std::string status;
    for (int i = 0; i < 250; ++i)
        status += static_cast<char>(0x10 + i % 7);
    ASSERT_TRUE(printer->sendBack(status));
    waitForInput(*printer, 250);
    std::string got;
    for (const int expected : {100, 100, 50}) {
        ASSERT_EQ(link->read(buffer, sizeof buffer), expected);
        got.append(buffer, static_cast<std::size_t>(expected));
    }
    EXPECT_EQ(got, status);
    started = Clock::now();
    EXPECT_EQ(link->read(buffer, sizeof buffer), 0);
    EXPECT_LT(Clock::now() - started, 50ms);
}

TEST_F(PrinterLinkTest, UnpluggedSerialPrinterGivesZeroAndNoCrash) {
    auto printer = VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    auto link = PrinterLink::open(onPort(1), ports("COM1 = " + printer->devicePath() + "\n"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->write("before", 6), 6);
    printer->vanish();
    char buffer[100];
    EXPECT_EQ(link->write("after", 5), 0);
    EXPECT_EQ(link->read(buffer, sizeof buffer), 0);
    link->close();
    EXPECT_EQ(link->write("closed", 6), 0);
}

TEST_F(PrinterLinkTest, PortsThatCannotOpen) {
    std::string error;
    for (const std::int32_t port : {0, 19, -1}) {
        EXPECT_FALSE(PrinterLink::open(onPort(port), ports(""), &error)) << port;
        EXPECT_EQ(error, "没有选择端口");
    }
    EXPECT_FALSE(PrinterLink::open(onPort(3), ports("COM3 = " + root + "/nothing\n"), &error));
    EXPECT_NE(error.find(root + "/nothing"), std::string::npos) << error;
    EXPECT_FALSE(PrinterLink::open(onPort(15), ports("LPT1 = " + root + "/nothing\n")));
}

TEST_F(PrinterLinkTest, ParallelWritesAndReadsWhatIsWaiting) {
    const std::string lp = makeFile("lp");
    auto link = PrinterLink::open(onPort(16), ports("LPT2 = " + lp + "\n"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->kind(), PortKind::Parallel);
    EXPECT_EQ(link->write("ABC", 3), 3);
    EXPECT_EQ(link->write("", 0), 0);
    link->close();
    EXPECT_EQ(contents(lp), "ABC");

    // A parallel port with an input queue is read like a serial one.
    auto printer = VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    link = PrinterLink::open(onPort(15), ports("LPT1 = " + printer->devicePath() + "\n"));
    ASSERT_TRUE(link);
    ASSERT_TRUE(printer->sendBack("\x12\x34"));
    waitForInput(*printer, 2);
    char buffer[8];
    EXPECT_EQ(link->read(buffer, sizeof buffer), 2);
}

TEST_F(PrinterLinkTest, UsbTakesTheFirstCandidateThatOpens) {
    const std::string first = makeFile("usb-first");
    const std::string second = makeFile("usb-second");
    platform::DeviceFile otherProgram; // holds the first printer
    ASSERT_TRUE(otherProgram.open(first, platform::DeviceFile::Sharing::Exclusive));
    const auto map =
        ports("USB1 = " + root + "/unplugged\nUSB2 = " + first + "\nUSB3 = " + second + "\n");

    const auto started = Clock::now();
    auto link = PrinterLink::open(onPort(17), map);
    const auto took = Clock::now() - started;
    ASSERT_TRUE(link);
    EXPECT_EQ(link->kind(), PortKind::Usb);
    EXPECT_GE(took, UsbRetryPause); // one pause, after the held printer
    EXPECT_LT(took, 2 * UsbRetryPause + 40ms);
    EXPECT_EQ(link->write("usb", 3), 3);
    EXPECT_EQ(contents(second), "usb");
    EXPECT_EQ(contents(first), "");

    // A USB link is never read, even with bytes waiting.
    std::ofstream(second, std::ios::app) << "reply";
    char buffer[8];
    EXPECT_EQ(link->read(buffer, sizeof buffer), 0);
}

TEST_F(PrinterLinkTest, UsbWithNonePresentFailsAtOnce) {
    const auto started = Clock::now();
    std::string error;
    EXPECT_FALSE(PrinterLink::open(onPort(17), ports(""), &error));
    EXPECT_LT(Clock::now() - started, UsbRetryPause);
    EXPECT_EQ(error, "没有找到 USB 打印机");
}

TEST_F(PrinterLinkTest, UsbTriesAtMostTenAndPausesAfterEachFailure) {
    std::string lines;
    std::vector<platform::DeviceFile> held(10);
    for (int k = 1; k <= 10; ++k) {
        const std::string path = makeFile("usb" + std::to_string(k));
        ASSERT_TRUE(held[static_cast<std::size_t>(k - 1)].open(
            path, platform::DeviceFile::Sharing::Exclusive));
        lines += "USB" + std::to_string(k) + " = " + path + "\n";
    }
    const auto started = Clock::now();
    EXPECT_FALSE(PrinterLink::open(onPort(17), ports(lines)));
    EXPECT_GE(Clock::now() - started, 10 * UsbRetryPause);
}

TEST_F(PrinterLinkTest, NetworkWritesGoToTheConnection) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    PortSettings settings = onPort(18);
    settings.ipAddress = "127.0.0.1";
    settings.tcpPort = printer->port() + 65536; // the low 16 bits are the port
    auto link = PrinterLink::open(settings, ports(""));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->kind(), PortKind::Network);
    EXPECT_EQ(link->write("net\n", 4), 4);
    ASSERT_TRUE(printer->waitForCount(4, 2s));
    EXPECT_EQ(printer->received(), "net\n");

    // Bytes the printer sends are never read.
    ASSERT_TRUE(printer->sendBack("status"));
    char buffer[8];
    EXPECT_EQ(link->read(buffer, sizeof buffer), 0);

    // A printer that goes away is not noticed: writes still report n.
    printer->vanish();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(link->write("lost", 4), 4);
        std::this_thread::sleep_for(5ms);
    }
}

TEST_F(PrinterLinkTest, NetworkWithoutAddressFailsAtOnce) {
    auto printer = VirtualPrinter::tcp();
    ASSERT_NE(printer, nullptr);
    PortSettings settings = onPort(18);
    settings.tcpPort = printer->port();
    const auto started = Clock::now();
    EXPECT_FALSE(PrinterLink::open(settings, ports("")));
    EXPECT_LT(Clock::now() - started, 50ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(printer->connections(), 0);
}

TEST(PrinterLink, PassesEachCallThroughUnchanged) {
    auto channel = std::make_unique<RecordingChannel>();
    const auto record = channel->record();
    record->toRead = std::string(150, 'r');
    PrinterLink link(PortKind::Serial, std::move(channel));

    EXPECT_EQ(link.write("ab", 2), 2);
    EXPECT_EQ(link.write("", 0), 0); // made like any other
    EXPECT_EQ(link.write("cde", 3), 3);
    EXPECT_EQ(record->writes, (std::vector<std::string>{"ab", "", "cde"}));
    EXPECT_EQ(link.write("x", -1), 0);
    EXPECT_EQ(record->writes.size(), 3U);

    char buffer[100];
    EXPECT_EQ(link.read(buffer, 100), 100);
    EXPECT_EQ(link.read(buffer, 100), 50);
    EXPECT_EQ(link.read(buffer, 100), 0);

    link.close();
    EXPECT_TRUE(record->closed);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.write("late", 4), 0);
    EXPECT_EQ(link.read(buffer, 100), 0);
    EXPECT_EQ(record->writes.size(), 3U);
}

TEST(PrinterLink, UsbAndNetworkLinksAreNeverRead) {
    for (const PortKind kind : {PortKind::Usb, PortKind::Network}) {
        auto channel = std::make_unique<RecordingChannel>();
        const auto record = channel->record();
        record->toRead = "waiting";
        PrinterLink link(kind, std::move(channel));
        char buffer[16];
        EXPECT_EQ(link.read(buffer, sizeof buffer), 0);
        EXPECT_EQ(record->reads, 0);
    }
}

TEST(PrinterLink, MovedLinkKeepsItsChannel) {
    auto channel = std::make_unique<RecordingChannel>();
    const auto record = channel->record();
    PrinterLink first(PortKind::Parallel, std::move(channel));
    PrinterLink second = std::move(first);
    EXPECT_EQ(second.kind(), PortKind::Parallel);
    EXPECT_EQ(second.write("x", 1), 1);
    EXPECT_EQ(first.write("y", 1), 0); // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(record->allWritten(), "x");
    EXPECT_FALSE(record->closed);
}

// The one write path: whichever link is open at the time, each entry of a job
// one write, every write made even after one that failed.
TEST(LinkWriter, WritesEachEntryToTheLinkOpenAtTheTime) {
    std::unique_ptr<PrinterLink> link;
    LinkWriter writer([&link] { return link.get(); });
    EXPECT_EQ(writer.write(std::string_view("none")), 0); // no link, nothing happens

    auto channel = std::make_unique<RecordingChannel>();
    const auto record = channel->record();
    link = std::make_unique<PrinterLink>(PortKind::Serial, std::move(channel));
    EXPECT_EQ(writer.write(std::string_view()), 0); // an empty write is still made
    const std::vector<std::string> job = {"ab", "", "cde"};
    EXPECT_EQ(writer.write(job), 5);
    record->writeResult = 0; // the printer takes nothing
    EXPECT_EQ(writer.write(job), 0);
    EXPECT_EQ(record->writes, (std::vector<std::string>{"", "ab", "", "cde", "ab", "", "cde"}));

    // More than one write of the link can carry is not cut short: nothing is
    // written (the bytes are never touched).
    record->writes.clear();
    const char one = 'x';
    EXPECT_EQ(writer.write(std::string_view(&one, std::size_t{1} << 31)), 0);
    EXPECT_TRUE(record->writes.empty());
}
