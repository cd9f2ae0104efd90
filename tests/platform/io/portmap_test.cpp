#include "platform/portmap.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

using platform::PortMap;
using platform::PortMapping;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class PortMapTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = root + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

} // namespace

TEST_F(PortMapTest, DefaultsCoverTheToolsNames) {
    const PortMap map = PortMap::fromFile(root + "/missing.conf", PortMapping::Source::UserFile);
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM14", "/dev/ttyS13"},
        {"LPT1", "/dev/lp0"},
        {"LPT2", "/dev/lp1"},
        {"USB1", "/dev/usb/lp0"},
        {"USB10", "/dev/usb/lp9"},
        {"USB11", ""},
        {"COM0", ""},
        {"COM01", ""},
        {"COM", ""},
        {"ETHERNET", ""},
        {"COM1x", ""},
    };
    for (const auto& c : cases) {
        const PortMapping m = map.resolve(c.name);
        EXPECT_EQ(m.devicePath, c.path) << c.name;
        EXPECT_EQ(m.source, *c.path ? PortMapping::Source::Default : PortMapping::Source::Unknown)
            << c.name;
        EXPECT_EQ(m.name, c.name);
    }
}

TEST_F(PortMapTest, FileOverridesNamesAndTellsWhereFrom) {
    const std::string file = write("ports.conf", "# my adapters\n"
                                                 "\n"
                                                 "  COM1 = /dev/ttyUSB0  \n"
                                                 "com2=/dev/ttyACM0\n"
                                                 "garbage line\n"
                                                 "COM1 = /dev/ttyUSB1\n"
                                                 "LPT1 =\n"
                                                 "USB3 = /dev/my printer\n");
    const PortMap map = PortMap::fromFile(file, PortMapping::Source::EnvironmentFile);

    const PortMapping com1 = map.resolve("COM1");
    EXPECT_EQ(com1.devicePath, "/dev/ttyUSB1"); // the later line wins
    EXPECT_EQ(com1.source, PortMapping::Source::EnvironmentFile);
    EXPECT_EQ(com1.mapFile, file);
    EXPECT_EQ(map.resolve("COM2").devicePath, "/dev/ttyACM0");
    EXPECT_EQ(map.resolve("USB3").devicePath, "/dev/my printer");
    // Names the file leaves out, or maps to nothing, keep their defaults.
    EXPECT_EQ(map.resolve("LPT1").devicePath, "/dev/lp0");
    EXPECT_EQ(map.resolve("LPT1").source, PortMapping::Source::Default);

    EXPECT_EQ(map.describe("COM1"), "COM1 → /dev/ttyUSB1 (来自 " + file + ")");
    EXPECT_EQ(map.describe("COM3"), "COM3 → /dev/ttyS2 (默认)");
    EXPECT_EQ(map.describe("ETHERNET"), "ETHERNET：没有对应的设备");
}

TEST_F(PortMapTest, LoadPrefersPoskitPortsOverTheUserFile) {
    write("env.conf", "COM1 = /dev/from-env\n");
    QDir(dir.path()).mkpath(QStringLiteral("config/poskit"));
    write("config/poskit/ports.conf", "COM1 = /dev/from-user\n");
    ScopedEnv config("XDG_CONFIG_HOME", root + "/config");
    {
        ScopedEnv ports("POSKIT_PORTS", root + "/env.conf");
        const PortMapping m = PortMap::load().resolve("COM1");
        EXPECT_EQ(m.devicePath, "/dev/from-env");
        EXPECT_EQ(m.source, PortMapping::Source::EnvironmentFile);
    }
    for (const auto& unset : {std::optional<std::string>(), std::optional<std::string>("")}) {
        ScopedEnv ports("POSKIT_PORTS", unset);
        const PortMapping m = PortMap::load().resolve("COM1");
        EXPECT_EQ(m.devicePath, "/dev/from-user");
        EXPECT_EQ(m.source, PortMapping::Source::UserFile);
        EXPECT_EQ(m.mapFile, root + "/config/poskit/ports.conf");
    }
}

TEST_F(PortMapTest, PresentUsbPrintersAreTheMappedNodesThatExist) {
    const std::string second = write("lp-b", "");
    const std::string fourth = write("lp-d", "");
    std::string text;
    for (int k = 1; k <= 10; ++k)
        text += "USB" + std::to_string(k) + " = " + root + "/absent" + std::to_string(k) + "\n";
    text += "USB4 = " + fourth + "\nUSB2 = " + second + "\n";
    const PortMap map = PortMap::fromFile(write("ports.conf", text), PortMapping::Source::UserFile);

    const auto present = map.presentUsbPrinters();
    ASSERT_EQ(present.size(), 2U);
    EXPECT_EQ(present[0].name, "USB2");
    EXPECT_EQ(present[0].devicePath, second);
    EXPECT_EQ(present[1].name, "USB4");
}
