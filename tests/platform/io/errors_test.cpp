#include "platform/devicefile.h"
#include "platform/errors.h"
#include "platform/serialport.h"
#include "tests/support/unprivileged.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

using namespace platform;

namespace {

bool hasLatinLetter(const std::string& text) {
    for (const char c : text)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return true;
    return false;
}

gid_t groupId(const char* name) {
    const group* g = ::getgrnam(name);
    return g != nullptr ? g->gr_gid : static_cast<gid_t>(-1);
}

} // namespace

TEST(ErrorTexts, ReasonsThatPortsAndSocketsMeetAreInTheToolsLanguage) {
    for (const int error :
         {EPERM, ENOENT, EIO, ENXIO, EAGAIN, EACCES, EBUSY, ENODEV, EINVAL, EPIPE, ETIMEDOUT,
          ECONNREFUSED, ECONNRESET, EHOSTUNREACH, ENETUNREACH, ECANCELED}) {
        const std::string text = errnoMessage(error);
        EXPECT_FALSE(text.empty()) << error;
        EXPECT_FALSE(hasLatinLetter(text)) << error << ": " << text;
    }
    // An errno nobody expects still says which one it was.
    EXPECT_NE(errnoMessage(EDOM).find(std::to_string(EDOM)), std::string::npos);
    EXPECT_FALSE(hasLatinLetter(writeTimeoutMessage()));
}

TEST(ErrorTexts, PermissionFailuresNameTheGroupToJoin) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = dir.path().toStdString();
    ASSERT_EQ(::mkdir((root + "/usb").c_str(), 0755), 0);
    const auto make = [&](const std::string& name, gid_t gid) {
        const std::string path = root + "/" + name;
        std::ofstream(path) << "";
        if (gid != static_cast<gid_t>(-1) &&
            ::chown(path.c_str(), static_cast<uid_t>(-1), gid) != 0)
            return std::string();
        return path;
    };
    const struct {
        std::string path;
        const char* group;
    } cases[] = {
        // A device of root's group says nothing; its kind decides.
        {make("ttyUSB0", 0), "dialout"},
        {make("ttyS3", 0), "dialout"},
        {make("lp0", 0), "lp"},
        {make("usb/lp1", 0), "lp"},
        {root + "/ttyACM9-missing", "dialout"},
        {make("printer-fifo", 0), ""},
        // The device's own group wins over its kind.
        {make("ttyUSB1", groupId("lp")), "lp"},
        {make("lp1", groupId("dialout")), "dialout"},
    };
    for (const auto& c : cases) {
        if (c.path.empty()) {
            ADD_FAILURE() << "could not give a case's file its group";
            continue;
        }
        SCOPED_TRACE(c.path);
        EXPECT_EQ(accessGroupFor(c.path), c.group);
        for (const int error : {EACCES, EPERM}) {
            const std::string text = openFailureMessage(c.path, error);
            EXPECT_EQ(text.rfind(c.path, 0), 0u) << "the device path comes first, as it is";
            EXPECT_NE(text.find(errnoMessage(error)), std::string::npos) << text;
            if (*c.group != '\0') {
                EXPECT_NE(text.find(std::string("usermod -aG ") + c.group), std::string::npos)
                    << text;
            }
        }
    }
    // Other reasons name no group.
    const std::string busy = openFailureMessage(root + "/ttyUSB0", EBUSY);
    EXPECT_EQ(busy, root + "/ttyUSB0：" + errnoMessage(EBUSY));
}

TEST(ErrorTexts, OpeningADeviceWithoutPermissionSaysWhichGroupGivesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string tty = dir.path().toStdString() + "/ttyUSB5";
    const std::string lp = dir.path().toStdString() + "/lp5";
    for (const std::string& path : {tty, lp}) {
        std::ofstream(path) << "";
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        if (testsupport::runsAsRoot())
            ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
        else
            ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    }
    // "nobody" must reach the files to be refused by them, not by the folder.
    ASSERT_EQ(::chmod(dir.path().toLocal8Bit().constData(), 0755), 0);

    const auto serial = testsupport::runUnprivileged([&] {
        SerialPort port;
        return port.open(tty) ? std::string("opened") : port.lastError();
    });
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(*serial, openFailureMessage(tty, EACCES));
    EXPECT_NE(serial->find("dialout"), std::string::npos) << *serial;

    const auto device = testsupport::runUnprivileged([&] {
        DeviceFile file;
        return file.open(lp, DeviceFile::Sharing::Shared) ? std::string("opened")
                                                          : file.lastError();
    });
    ASSERT_TRUE(device.has_value());
    EXPECT_NE(device->find(" lp "), std::string::npos) << *device;
}
