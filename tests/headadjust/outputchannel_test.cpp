#include "headadjust/outputchannel.h"
#include "printerends.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;
using namespace headadjust;
using namespace ostrelletest;
using testsupport::VirtualPrinter;

TEST(OutputChannel, SerialLineRunsAtTheSpeedWithNoParity8DataBits1StopBitAndNoHandshake) {
    const struct {
        std::uint32_t speed;
        speed_t code;
    } cases[] = {{9600, B9600}, {19200, B19200}, {38400, B38400}, {115200, B115200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        const auto printer = VirtualPrinter::serial();
        ASSERT_TRUE(printer);
        OutputChannel channel;
        ASSERT_TRUE(channel.openSerial(printer->devicePath(), c.speed));
        const termios line = lineSettings(*printer);
        EXPECT_EQ(cfgetospeed(&line), c.code);
        EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(line.c_oflag & OPOST, 0u) << "line feeds must go out as they are";
    }
}

TEST(OutputChannel, SerialPortDecidesWhenOpenOtherwiseTheParallelDevice) {
    const auto serial = VirtualPrinter::serial();
    const auto parallel = VirtualPrinter::serial();
    ASSERT_TRUE(serial && parallel);
    OutputChannel channel;
    EXPECT_FALSE(channel.active().has_value());
    EXPECT_FALSE(channel.write("\x0A"s));

    ASSERT_TRUE(channel.openParallel(parallel->devicePath()));
    EXPECT_EQ(channel.active(), ChannelKind::Parallel);
    ASSERT_TRUE(channel.write("\x1D\x43\x00"s));
    EXPECT_EQ(take(*parallel, 3), "\x1D\x43\x00"s);

    ASSERT_TRUE(channel.openSerial(serial->devicePath(), 9600));
    EXPECT_EQ(channel.active(), ChannelKind::Serial);
    ASSERT_TRUE(channel.write("\x1D\x43\x01"s));
    EXPECT_EQ(take(*serial, 3), "\x1D\x43\x01"s);
    EXPECT_TRUE(staysQuiet(*parallel));

    channel.close();
    EXPECT_FALSE(channel.active().has_value());
    EXPECT_FALSE(channel.write("\x0A"s));
}

TEST(OutputChannel, MissingDevicesDoNotOpenAndSayWhy) {
    OutputChannel channel;
    EXPECT_FALSE(channel.openSerial("/nonexistent/ttyS0", 9600));
    EXPECT_FALSE(channel.openParallel("/nonexistent/lp0"));
    EXPECT_NE(channel.lastError().find("/nonexistent/lp0"), std::string::npos)
        << channel.lastError();
    EXPECT_FALSE(channel.active().has_value());
}

// The effect test is handed to the driver write by write without waiting for a
// printer to take it: nobody reads the far end here.
TEST(OutputChannel, AWriteHandsItsBytesOverAndReturns) {
    const auto printer = VirtualPrinter::serial();
    ASSERT_TRUE(printer);
    printer->setReading(false);
    OutputChannel channel;
    ASSERT_TRUE(channel.openSerial(printer->devicePath(), 9600));
    const auto start = std::chrono::steady_clock::now();
    for (const Write& w : PrintEffectTest(ChannelKind::Serial))
        ASSERT_TRUE(channel.write(w));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    printer->setReading(true);
    EXPECT_EQ(take(*printer, 840).size(), 840u);
}
