#include "platform/custombaud.h"
#include "platform/errors.h"
#include "platform/serialport.h"
#include "platform/serialtermios.h"
#include "tests/support/printer/virtualprinter.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using platform::CommState;
using platform::SerialPort;
using testsupport::VirtualPrinter;

namespace {

using Clock = std::chrono::steady_clock;

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        printer = VirtualPrinter::serial();
        ASSERT_NE(printer, nullptr);
        ASSERT_TRUE(port.open(printer->devicePath())) << port.lastError();
    }
    termios lineSettings() const {
        termios tio{};
        EXPECT_EQ(::tcgetattr(printer->slaveFd(), &tio), 0);
        return tio;
    }

    std::unique_ptr<VirtualPrinter> printer;
    SerialPort port;
};

} // namespace

TEST_F(SerialPortTest, OpenIsExclusiveUntilClosed) {
    SerialPort other;
    EXPECT_FALSE(other.open(printer->devicePath()));
    EXPECT_FALSE(other.lastError().empty());
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(other.open(printer->devicePath())) << other.lastError();

    SerialPort missing;
    EXPECT_FALSE(missing.open("/nonexistent/ttyS99"));
}

TEST_F(SerialPortTest, MovedPortKeepsTheDevice) {
    SerialPort moved(std::move(port));
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(moved.isOpen());
    EXPECT_EQ(moved.write("ab", 2, 1s), 2U);
    EXPECT_TRUE(printer->waitForCount(2, 2s));
}

namespace {

struct LineCase {
    const char* what;
    CommState state;
    speed_t speed;
    tcflag_t csize;
    tcflag_t parity;
    bool cstopb;
    bool crtscts;
    bool ixon;
    bool ixoff;
};

CommState makeState(std::uint32_t baud, std::uint8_t bits, CommState::Parity parity,
                    CommState::StopBits stop, bool cts, bool xon) {
    CommState s;
    s.baudRate = baud;
    s.byteSize = bits;
    s.parity = parity;
    s.stopBits = stop;
    s.parityCheck = true;
    s.outxCtsFlow = cts;
    s.rtsControl = cts ? CommState::ControlHandshake : CommState::ControlEnable;
    s.outX = s.inX = xon;
    return s;
}

const LineCase LineCases[] = {
    {"38400 8N1", makeState(38400, 8, CommState::NoParity, CommState::OneStopBit, false, false),
     B38400, CS8, 0, false, false, false, false},
    {"300 7E2", makeState(300, 7, CommState::EvenParity, CommState::TwoStopBits, false, false),
     B300, CS7, PARENB, true, false, false, false},
    {"115200 6O1 rts/cts",
     makeState(115200, 6, CommState::OddParity, CommState::OneStopBit, true, false), B115200, CS6,
     PARENB | PARODD, false, true, false, false},
    {"57600 5N1.5 xon/xoff",
     makeState(57600, 5, CommState::NoParity, CommState::One5StopBits, false, true), B57600, CS5, 0,
     true, false, true, true},
    {"1200 8O2", makeState(1200, 8, CommState::OddParity, CommState::TwoStopBits, false, false),
     B1200, CS8, PARENB | PARODD, true, false, false, false},
};

} // namespace

// The whole table, apart from any device, and back.
TEST(SerialTermios, EveryFieldMapsAndReadsBack) {
    for (const LineCase& c : LineCases) {
        SCOPED_TRACE(c.what);
        termios tio{};
        tio.c_lflag = ICANON | ECHO;
        tio.c_iflag = ICRNL;
        platform::stateToTermios(c.state, tio);
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.csize);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD), c.parity);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.cstopb);
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.crtscts);
        EXPECT_EQ((tio.c_iflag & IXON) != 0, c.ixon);
        EXPECT_EQ((tio.c_iflag & IXOFF) != 0, c.ixoff);
        EXPECT_NE(tio.c_iflag & INPCK, 0U);
        EXPECT_EQ(tio.c_cc[VSTART], 0x11);
        EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0U); // raw: bytes pass untouched
        EXPECT_EQ(tio.c_iflag & ICRNL, 0U);
        EXPECT_NE(tio.c_cflag & (CLOCAL | CREAD), 0U);

        CommState back;
        back.rtsControl = c.state.rtsControl; // kept by the port, not by termios
        platform::termiosToState(tio, back);
        EXPECT_EQ(back, c.state);
    }
}

// The line every tool starts from clears whatever the device had before.
TEST(SerialTermios, ThePlainLineIsEightNoneOneWithoutAnyHandshake) {
    const CommState plain = CommState::plain(19200);
    EXPECT_EQ(CommState::plain(), CommState{}); // a fresh block is the plain line at 9600
    EXPECT_EQ(plain.dtrControl, CommState::ControlEnable);
    EXPECT_EQ(plain.rtsControl, CommState::ControlEnable);
    EXPECT_FALSE(plain.outxDsrFlow);
    termios tio{};
    tio.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    tio.c_iflag = IXON | IXOFF | INPCK;
    platform::stateToTermios(plain, tio);
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CSTOPB | CRTSCTS), 0U);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | INPCK), 0U);
}

// The same blocks on a device: what the pty keeps of them (it forces CS8 and
// clears PARENB).
TEST_F(SerialPortTest, StateReachesTheDevice) {
    for (const LineCase& c : LineCases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(port.setState(c.state));
        const termios tio = lineSettings();
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & PARODD, c.parity & PARODD);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.cstopb);
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.crtscts);
        EXPECT_EQ((tio.c_iflag & IXON) != 0, c.ixon);
        EXPECT_EQ((tio.c_iflag & IXOFF) != 0, c.ixoff);
        EXPECT_EQ(tio.c_cc[VSTART], 0x11);
        EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0U);

        CommState back;
        ASSERT_TRUE(port.getState(back));
        EXPECT_EQ(back.baudRate, c.state.baudRate);
        EXPECT_EQ(back.outxCtsFlow, c.state.outxCtsFlow);
        EXPECT_EQ(back.rtsControl, c.state.rtsControl);
        EXPECT_EQ(back.outX, c.state.outX);
        EXPECT_EQ(back.inX, c.state.inX);
        EXPECT_EQ(back.stopBits == CommState::OneStopBit, !c.cstopb);
    }
}

// 56000 has no Bxxx constant; a pty takes it through termios2 like a UART driver.
TEST_F(SerialPortTest, CustomRateGoesThroughTermios2) {
    CommState state;
    ASSERT_TRUE(port.getState(state));
    state.baudRate = 56000;
    state.stopBits = CommState::TwoStopBits;
    port.setState(state);
    CommState back;
    ASSERT_TRUE(port.getState(back));
    EXPECT_EQ(back, state);
    EXPECT_NE(lineSettings().c_cflag & CSTOPB, 0U); // the rest applied as well

    state.baudRate = 9600; // and back to a standard rate
    port.setState(state);
    ASSERT_TRUE(port.getState(back));
    EXPECT_EQ(back.baudRate, 9600U);
    const termios tio = lineSettings();
    EXPECT_EQ(cfgetospeed(&tio), B9600);
}

TEST_F(SerialPortTest, EveryRateSetsInputAndOutputAlike) {
    // After a custom rate, each later rate must leave no split speeds behind.
    CommState state;
    ASSERT_TRUE(port.getState(state));
    for (const std::uint32_t baud : {56000U, 9600U, 43000U, 115200U, 56000U, 300U}) {
        state.baudRate = baud;
        port.setState(state);
        const auto input = platform::custombaud::getInput(printer->slaveFd());
        const auto output = platform::custombaud::get(printer->slaveFd());
        ASSERT_TRUE(input && output);
        EXPECT_EQ(*output, baud);
        EXPECT_EQ(*input, baud) << "input speed after " << baud;
    }
}

TEST_F(SerialPortTest, ReadTakesOnlyWhatIsWaiting) {
    char buffer[100];
    auto started = Clock::now();
    EXPECT_EQ(port.read(buffer, sizeof buffer), 0U);
    EXPECT_LT(Clock::now() - started, 50ms);

    std::string reply;
    for (int i = 0; i < 250; ++i)
        reply += static_cast<char>(i);
    ASSERT_TRUE(printer->sendBack(reply));
    for (int i = 0; i < 200 && port.bytesWaiting().value_or(0) < 250; ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(port.bytesWaiting(), 250U);

    std::string got;
    for (const std::size_t expected : {100U, 100U, 50U}) {
        ASSERT_EQ(port.read(buffer, sizeof buffer), expected);
        got.append(buffer, expected);
    }
    EXPECT_EQ(got, reply);
    started = Clock::now();
    EXPECT_EQ(port.read(buffer, sizeof buffer), 0U);
    EXPECT_LT(Clock::now() - started, 50ms);
}

TEST_F(SerialPortTest, WriteDeliversEveryByteAndDrains) {
    std::string data(100000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    EXPECT_EQ(port.write(data.data(), data.size(), 5s), data.size());
    EXPECT_TRUE(port.drain(1s));
    ASSERT_TRUE(printer->waitForCount(data.size(), 5s));
    EXPECT_EQ(printer->received(), data);
}

TEST_F(SerialPortTest, WriteToAStalledPrinterStopsAtTheDeadline) {
    printer->setReading(false);
    const std::string data(4 * 1024 * 1024, 'x');
    const auto started = Clock::now();
    const std::size_t written = port.write(data.data(), data.size(), 300ms);
    const auto took = Clock::now() - started;
    EXPECT_GT(written, 0U);
    EXPECT_LT(written, data.size());
    EXPECT_GE(took, 290ms);
    EXPECT_LT(took, 1500ms);

    // What was written before the deadline arrives once the printer reads again.
    printer->setReading(true);
    EXPECT_TRUE(printer->waitForCount(written, 5s));
    EXPECT_EQ(printer->receivedCount(), written);
}

TEST_F(SerialPortTest, AShortWriteSaysWhyAndTheNextWriteForgetsIt) {
    printer->setReading(false);
    const std::string data(4 * 1024 * 1024, 'x');
    ASSERT_LT(port.write(data.data(), data.size(), 100ms), data.size());
    EXPECT_EQ(port.lastError(), platform::writeTimeoutMessage());
    EXPECT_EQ(port.lastErrorCode(), ETIMEDOUT);

    printer->setReading(true);
    ASSERT_TRUE(port.drain(5s));
    EXPECT_EQ(port.write("ok", 2, 1s), 2U);
    EXPECT_TRUE(port.lastError().empty()) << "no stale reason after a good write";
    EXPECT_EQ(port.lastErrorCode(), 0);
}

TEST_F(SerialPortTest, AStopRequestEndsAStalledWriteAndItsDrainAtOnce) {
    printer->setReading(false);
    const std::string data(4 * 1024 * 1024, 'x');
    std::stop_source stop;
    std::size_t reported = 0;
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        stop.request_stop();
    });
    const auto started = Clock::now();
    const std::size_t written = port.write(
        data.data(), data.size(), 60s, {stop.get_token(), [&](std::size_t n) { reported = n; }});
    const auto took = Clock::now() - started;
    stopper.join();
    EXPECT_LT(took, 1s);
    EXPECT_LT(written, data.size());
    EXPECT_EQ(reported, written) << "progress heard every piece";
    EXPECT_EQ(port.lastErrorCode(), ECANCELED);

    const auto drainStarted = Clock::now();
    (void)port.drain(60s, stop.get_token()); // a pty may have no output queue to wait on
    EXPECT_LT(Clock::now() - drainStarted, 200ms);
}

TEST_F(SerialPortTest, DsrFlowWritesWhereThePortCannotReportDsr) {
    CommState state;
    ASSERT_TRUE(port.getState(state));
    state.outxDsrFlow = true;
    state.dtrControl = CommState::ControlHandshake;
    port.setState(state);
    CommState back;
    ASSERT_TRUE(port.getState(back));
    EXPECT_TRUE(back.outxDsrFlow);
    EXPECT_EQ(back.dtrControl, CommState::ControlHandshake);
    EXPECT_EQ(port.write("abc", 3, 1s), 3U); // a pty has no modem lines
}

TEST_F(SerialPortTest, VanishedDeviceGivesZeroAndNoCrash) {
    printer->vanish();
    char buffer[16];
    EXPECT_EQ(port.write("hello", 5, 500ms), 0U);
    EXPECT_EQ(port.read(buffer, sizeof buffer), 0U);
    EXPECT_FALSE(port.lastError().empty());
    port.drain(100ms);
    port.close();
    EXPECT_EQ(port.write("hello", 5, 500ms), 0U);
}

// The console's poll asks this of an idle line: a pulled cable must show
// without a write, and a healthy line must not look gone.
TEST_F(SerialPortTest, AHangUpIsSeenWithoutAWrite) {
    EXPECT_FALSE(port.farEndGone());
    printer->stallWithFullLine(); // a stalled printer is still there
    EXPECT_FALSE(port.farEndGone());
    printer->vanish();
    EXPECT_TRUE(port.farEndGone());
    port.close();
    EXPECT_FALSE(port.farEndGone()); // nothing open, nothing to lose
}
