#include "blackmark/core/serialport.h"
#include "tests/support/printer/virtualprinter.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

#include <termios.h>

#include <cstdlib>
#include <fstream>
#include <memory>

using halmbrook::SerialPort;
using namespace std::chrono_literals;

namespace {

// Two virtual printers as COM1 and COM2; COM3 names a device that is not there.
class HalmbrookSerialPort : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_com1 = testsupport::VirtualPrinter::serial();
        m_com2 = testsupport::VirtualPrinter::serial();
        ASSERT_TRUE(m_com1 && m_com2);
        const std::string map = m_dir.filePath(QStringLiteral("ports.conf")).toStdString();
        std::ofstream(map) << "COM1 = " << m_com1->devicePath() << "\n"
                           << "COM2 = " << m_com2->devicePath() << "\n"
                           << "COM3 = " << m_dir.path().toStdString() << "/missing\n";
        ::setenv("POSKIT_PORTS", map.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("POSKIT_PORTS"); }

    QTemporaryDir m_dir;
    std::unique_ptr<testsupport::VirtualPrinter> m_com1;
    std::unique_ptr<testsupport::VirtualPrinter> m_com2;
};

} // namespace

TEST_F(HalmbrookSerialPort, OpensByComNameWithFixedLineSettings) {
    SerialPort port;
    ASSERT_TRUE(port.Open("COM1:"));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.devicePath(), m_com1->devicePath());

    termios t{};
    ASSERT_EQ(::tcgetattr(m_com1->slaveFd(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B9600);
    EXPECT_EQ(::cfgetispeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << "bytes must go out unchanged";

    const char bytes[] = "\x1D\x28\x46\x04\x00\x01\x00\x9F\x00";
    EXPECT_EQ(port.Write(bytes, 9), 9u);
    ASSERT_TRUE(m_com1->waitForCount(9, 2s));
    EXPECT_EQ(m_com1->received(), std::string(bytes, 9));
}

TEST_F(HalmbrookSerialPort, AnXoffFromThePrinterHoldsNothingBack) {
    // The line comes with software flow control on, as a tty may be left.
    termios t{};
    ASSERT_EQ(::tcgetattr(m_com1->slaveFd(), &t), 0);
    t.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(::tcsetattr(m_com1->slaveFd(), TCSANOW, &t), 0);

    SerialPort port;
    ASSERT_TRUE(port.Open("COM1:"));
    ASSERT_EQ(::tcgetattr(m_com1->slaveFd(), &t), 0);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

    ASSERT_TRUE(m_com1->sendBack("\x13")); // XOFF
    const char bytes[] = "\x1D\x0C";
    EXPECT_EQ(port.Write(bytes, 2), 2u);
    EXPECT_TRUE(m_com1->waitForCount(2, 1s)) << "the command went out at once";
}

TEST_F(HalmbrookSerialPort, FailuresReportZero) {
    SerialPort port;
    EXPECT_EQ(port.Write("\x1D\x0C", 2), 0u) << "no port yet";
    EXPECT_FALSE(port.Open("COM3:")) << "mapped to a missing device";
    EXPECT_FALSE(port.Open("COM0:"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.Write("\x1D\x0C", 2), 0u);

    // A failed open also lets go of the port that was open before.
    ASSERT_TRUE(port.Open("COM1:"));
    EXPECT_FALSE(port.Open("COM3:"));
    EXPECT_EQ(port.Write("\x1D\x0C", 2), 0u);
    SerialPort other;
    EXPECT_TRUE(other.Open("COM1:"));
}

// The port is held exclusively, so a second holder can only open it once the
// first has let go: by a new Open, by Close, or by going away.
TEST_F(HalmbrookSerialPort, ReleasesThePortOnReopenCloseAndDestruction) {
    SerialPort first;
    ASSERT_TRUE(first.Open("COM1:"));
    {
        SerialPort second;
        EXPECT_FALSE(second.Open("COM1:")) << "held by the first";
    }
    ASSERT_TRUE(first.Open("COM1:")) << "reopening the same port closes it first";
    ASSERT_TRUE(first.Open("COM2"));
    EXPECT_EQ(first.Write("AB", 2), 2u);
    ASSERT_TRUE(m_com2->waitForCount(2, 2s));
    EXPECT_EQ(m_com1->receivedCount(), 0u);
    {
        SerialPort second;
        EXPECT_TRUE(second.Open("COM1:")) << "COM1 was let go by the switch to COM2";
    }
    {
        SerialPort scoped;
        first.Close();
        EXPECT_FALSE(first.isOpen());
        ASSERT_TRUE(scoped.Open("COM2:"));
    }
    SerialPort after;
    EXPECT_TRUE(after.Open("COM2:")) << "the destructor closed it";
}

TEST(HalmbrookSerialPortTimeout, ThreeSecondsPlusTwoPerByte) {
    EXPECT_EQ(SerialPort::writeTimeout(0), 3000ms);
    EXPECT_EQ(SerialPort::writeTimeout(1), 5000ms);
    EXPECT_EQ(SerialPort::writeTimeout(9), 21000ms);
    EXPECT_EQ(SerialPort::writeTimeout(15), 33000ms);
    EXPECT_GT(SerialPort::writeTimeout(static_cast<std::size_t>(-1)), 3000ms) << "no overflow";
}
