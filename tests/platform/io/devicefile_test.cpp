#include "platform/devicefile.h"
#include "platform/uniquefd.h"
#include "tests/support/printer/virtualprinter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

using namespace std::chrono_literals;
using platform::DeviceFile;
using Sharing = platform::DeviceFile::Sharing;

namespace {

class DeviceFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/lp0";
    void SetUp() override { std::ofstream(path).flush(); }
    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

} // namespace

// Parallel ports are opened shared, USB printers exclusively; they keep each other out.
TEST_F(DeviceFileTest, SharingRules) {
    const struct {
        Sharing first;
        Sharing second;
        bool secondOpens;
    } cases[] = {
        {Sharing::Shared, Sharing::Shared, true},
        {Sharing::Shared, Sharing::Exclusive, false},
        {Sharing::Exclusive, Sharing::Shared, false},
        {Sharing::Exclusive, Sharing::Exclusive, false},
    };
    for (const auto& c : cases) {
        DeviceFile first;
        DeviceFile second;
        ASSERT_TRUE(first.open(path, c.first));
        EXPECT_EQ(second.open(path, c.second), c.secondOpens);
        first.close();
        EXPECT_TRUE(second.open(path, c.second)); // released on close
    }
    DeviceFile missing;
    EXPECT_FALSE(missing.open(dir.path().toStdString() + "/absent", Sharing::Shared));
    EXPECT_FALSE(missing.lastError().empty());
}

TEST_F(DeviceFileTest, WriteFlushAndClose) {
    DeviceFile file;
    ASSERT_TRUE(file.open(path, Sharing::Exclusive));
    const std::string data("\x1b@hello\n\0\xff", 10);
    EXPECT_EQ(file.write(data.data(), data.size(), 1s), data.size());
    EXPECT_TRUE(file.flush(1s));
    file.close();
    EXPECT_EQ(contents(), data);
    EXPECT_EQ(file.write("x", 1, 1s), 0U);
    EXPECT_FALSE(file.flush(1s));
}

TEST(DeviceFileOnPty, ReadsOnlyWhatIsWaiting) {
    auto printer = testsupport::VirtualPrinter::serial();
    ASSERT_NE(printer, nullptr);
    DeviceFile file;
    ASSERT_TRUE(file.open(printer->devicePath(), Sharing::Shared));
    char buffer[8];
    EXPECT_EQ(file.read(buffer, sizeof buffer), 0U);
    ASSERT_TRUE(printer->sendBack("0123456789"));
    for (int i = 0; i < 200 && file.bytesWaiting().value_or(0) < 10; ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(file.read(buffer, sizeof buffer), 8U);
    EXPECT_EQ(std::string(buffer, 8), "01234567");
    EXPECT_EQ(file.read(buffer, sizeof buffer), 2U);
}

namespace {
bool isOpenFd(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}
int closedBefore = -1;
void noteClose(int fd) {
    closedBefore = fd;
}
} // namespace

TEST(UniqueFd, ClosesOnceWhenItsOwnerGoesOrTakesAnother) {
    const int a = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int b = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_TRUE(a >= 0 && b >= 0);
    {
        platform::UniqueFd first(a, &noteClose);
        platform::UniqueFd moved(std::move(first));
        EXPECT_FALSE(first.isOpen());
        EXPECT_EQ(moved.get(), a);
        platform::UniqueFd second(b);
        second = std::move(moved); // b closes, a moves on with its step
        EXPECT_FALSE(isOpenFd(b));
        EXPECT_TRUE(isOpenFd(a));
        EXPECT_EQ(closedBefore, -1);
    }
    EXPECT_FALSE(isOpenFd(a));
    EXPECT_EQ(closedBefore, a); // the step ran on it before it closed

    const int c = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    closedBefore = -1;
    {
        platform::UniqueFd owner(c, &noteClose);
        EXPECT_EQ(owner.release(), c);
    }
    EXPECT_TRUE(isOpenFd(c)); // given up, not closed, no step
    EXPECT_EQ(closedBefore, -1);
    ::close(c);
}
