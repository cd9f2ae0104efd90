#include "console/link/linkwriter.h"
#include "console/link/printerlink.h"
#include "platform/devicefile.h"
#include "platform/portmap.h"
#include "tests/support/printer/recordingchannel.h"
#include "tests/support/printer/virtualprinter.h"
#include "tests/support/printer/waitforwrites.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
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

// The one write path: whichever link is attached at the time, each entry of
// a job one write, every write made even after one that failed.
TEST(LinkWriter, WritesEachEntryToTheLinkOpenAtTheTime) {
    LinkWriter writer;
    std::vector<std::pair<LinkWriter::Ticket, platform::WriteOutcome>> ended;
    QObject::connect(
        &writer, &LinkWriter::ended,
        [&](LinkWriter::Ticket t, platform::WriteOutcome o) { ended.emplace_back(t, o); });
    EXPECT_EQ(writer.write(std::string_view("none")), 0U); // no link, nothing happens
    EXPECT_FALSE(writer.busy());

    auto channel = std::make_unique<RecordingChannel>();
    const auto record = channel->record();
    PrinterLink link(PortKind::Serial, std::move(channel));
    writer.attach(link);
    const auto empty = writer.write(std::string_view()); // an empty write is still made
    const std::vector<std::string> job = {"ab", "", "cde"};
    const auto whole = writer.write(job);
    ASSERT_TRUE(testsupport::waitForWrites(writer));
    record->writeResult = 0; // the printer takes nothing
    const auto refused = writer.write(job);
    ASSERT_TRUE(testsupport::waitForWrites(writer));
    EXPECT_EQ(record->writes, (std::vector<std::string>{"", "ab", "", "cde", "ab", "", "cde"}));
    using platform::WriteOutcome;
    EXPECT_EQ(ended, (std::vector<std::pair<LinkWriter::Ticket, WriteOutcome>>{
                         {empty, WriteOutcome::Done},
                         {whole, WriteOutcome::Done},
                         {refused, WriteOutcome::TimedOut}}));

    // More than one write of the link can carry is not cut short: nothing is
    // written (the bytes are never touched).
    record->writes.clear();
    const char one = 'x';
    EXPECT_EQ(writer.write(std::string_view(&one, std::size_t{1} << 31)), 0U);
    ASSERT_TRUE(testsupport::waitForWrites(writer));
    EXPECT_TRUE(record->writes.empty());

    // Once detached, nothing reaches the link.
    writer.detach();
    EXPECT_EQ(writer.write(std::string_view("late")), 0U);
    EXPECT_TRUE(record->writes.empty());
}

namespace {

// A far end of each kind the writer must not hang on.
struct FarEnd {
    const char* name;
    std::unique_ptr<VirtualPrinter> (*make)();
    bool serial;
};
const FarEnd FarEnds[] = {{"pty", &VirtualPrinter::serial, true},
                          {"tcp", &VirtualPrinter::tcp, false}};

class LinkWriterFarEnd : public PrinterLinkTest, public ::testing::WithParamInterface<FarEnd> {
protected:
    void SetUp() override {
        printer = GetParam().make();
        ASSERT_NE(printer, nullptr);
        PortSettings settings = onPort(GetParam().serial ? 1 : 18);
        settings.ipAddress = "127.0.0.1";
        settings.tcpPort = printer->port();
        auto opened = PrinterLink::open(settings, ports("COM1 = " + printer->devicePath() + "\n"));
        ASSERT_TRUE(opened);
        link = std::make_unique<PrinterLink>(std::move(*opened));
        writer.attach(*link);
        QObject::connect(
            &writer, &LinkWriter::ended,
            [this](LinkWriter::Ticket, platform::WriteOutcome o) { outcomes.push_back(o); });
        QObject::connect(&writer, &LinkWriter::progress, [this](qint64 sent, qint64 total) {
            if (progress.empty())
                firstProgress = Clock::now();
            progress.emplace_back(sent, total);
        });
        QObject::connect(&writer, &LinkWriter::linkLost,
                         [this](const QString& reason) { lost.push_back(reason); });
    }
    // The printer stops taking bytes with its buffers full.
    void stall() {
        if (GetParam().serial)
            ASSERT_TRUE(printer->stallWithFullLine());
        else
            printer->setReading(false);
    }
    // Turns the event loop for a while; how often a zero-timer got its turn.
    int turnLoopFor(std::chrono::milliseconds span) {
        int turns = 0;
        const auto until = Clock::now() + span;
        while (Clock::now() < until) {
            QTimer::singleShot(0, [&turns] { ++turns; });
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(5ms);
        }
        return turns;
    }
    // What the printer received after the filler a stalled line held.
    std::string receivedPayload() const {
        const std::string all = printer->received();
        return all.substr(std::min(all.find_first_not_of('f'), all.size()));
    }
    static std::string payload(std::size_t n, char first) {
        std::string bytes(n, first);
        for (std::size_t i = 0; i < n; i += 7)
            bytes[i] = static_cast<char>('0' + i % 10);
        bytes[0] = first;
        return bytes;
    }

    std::unique_ptr<VirtualPrinter> printer;
    std::unique_ptr<PrinterLink> link;
    LinkWriter writer; // after the link: lets go of it first
    std::vector<platform::WriteOutcome> outcomes;
    std::vector<std::pair<qint64, qint64>> progress;
    Clock::time_point firstProgress;
    std::vector<QString> lost;
};

} // namespace

// A printer that stops reading: the hand-over returns at once, the loop keeps
// turning, progress shows after the delay, a stop ends the write within a
// second, and what went out is an exact prefix; once the printer reads again
// the next writes arrive whole.
TEST_P(LinkWriterFarEnd, AStalledPrinterHoldsNothingAndStopsAtOnce) {
    stall();
    const std::string big = payload(8 * 1024 * 1024, 'A');
    auto started = Clock::now();
    ASSERT_NE(writer.write(std::string_view(big)), 0U);
    ASSERT_NE(writer.write(std::string_view("behind")), 0U);
    EXPECT_LT(Clock::now() - started, 1s); // copied and handed over, not written
    EXPECT_GT(turnLoopFor(200ms), 5);
    (void)turnLoopFor(400ms);
    EXPECT_TRUE(writer.showsProgress());
    ASSERT_FALSE(progress.empty());
    EXPECT_GE(firstProgress - started, LinkWriter::ProgressDelay - 10ms);
    EXPECT_EQ(progress.back().second, static_cast<qint64>(big.size() + 6));
    EXPECT_LT(progress.back().first, progress.back().second);

    started = Clock::now();
    writer.cancelAll();
    ASSERT_TRUE(testsupport::waitForWrites(writer, 1s));
    EXPECT_LT(Clock::now() - started, 1s);
    EXPECT_EQ(outcomes, (std::vector<platform::WriteOutcome>{platform::WriteOutcome::Cancelled,
                                                             platform::WriteOutcome::Cancelled}));
    EXPECT_FALSE(writer.showsProgress());
    EXPECT_TRUE(lost.empty());

    printer->setReading(true);
    std::this_thread::sleep_for(300ms);
    const std::string prefix = receivedPayload();
    EXPECT_TRUE(big.starts_with(prefix)) << prefix.size();

    printer->clearReceived();
    const std::vector<std::string> next = {payload(200 * 1024, 'B'), "\x1D\x56\x42\x11"};
    ASSERT_NE(writer.write(next), 0U);
    ASSERT_TRUE(testsupport::waitForWrites(writer));
    ASSERT_TRUE(printer->waitForCount(next[0].size() + 4, 5s));
    EXPECT_TRUE(printer->received() == next[0] + next[1]);
    EXPECT_EQ(outcomes.back(), platform::WriteOutcome::Done);
}

// The cable is pulled while a write waits: the write ends as gone, the writes
// behind it fail the same way or are dropped, and the loss is told once.
TEST_P(LinkWriterFarEnd, AVanishedPrinterIsToldOnce) {
    stall();
    const std::string big = payload(8 * 1024 * 1024, 'A');
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(writer.write(std::string_view(big)), 0U);
    (void)turnLoopFor(100ms);
    const auto started = Clock::now();
    printer->vanish();
    ASSERT_TRUE(testsupport::waitForWrites(writer, 2s));
    EXPECT_LT(Clock::now() - started, 1s);
    ASSERT_EQ(outcomes.size(), 3U);
    EXPECT_EQ(outcomes[0], platform::WriteOutcome::Gone);
    for (const platform::WriteOutcome later : {outcomes[1], outcomes[2]}) // failed or dropped
        EXPECT_TRUE(later == platform::WriteOutcome::Gone ||
                    later == platform::WriteOutcome::Cancelled);
    ASSERT_EQ(lost.size(), 1U);
    EXPECT_FALSE(lost[0].isEmpty());
    EXPECT_TRUE(link->farEndGone());
}

INSTANTIATE_TEST_SUITE_P(Kinds, LinkWriterFarEnd, ::testing::ValuesIn(FarEnds),
                         [](const auto& info) { return std::string(info.param.name); });
