#include "console/settings/consolesettings.h"
#include "console/settings/inifile.h"
#include "tests/console/settings/settingsvalues.h"
#include "tests/support/files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::everyKeyChanged;
using testsupport::fileBytes;

std::string golden(const char* name) {
    const std::string bytes = testsupport::goldenFile(std::string("settings/") + name);
    EXPECT_FALSE(bytes.empty()) << "no golden file " << name;
    return bytes;
}

class ConsoleSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = (dir.path() + QStringLiteral("/settings.ini")).toStdString();

    IniFile store() const {
        IniFile ini;
        ini.setFileName(path);
        return ini;
    }
    void put(const std::string& bytes) const { testsupport::putFile(path, bytes); }
    ConsoleSettings loaded() const {
        ConsoleSettings v;
        v.load(store());
        return v;
    }
    void saveFresh(const ConsoleSettings& v) const {
        IniFile ini = store();
        v.save(ini);
        ASSERT_TRUE(ini.writeFile());
    }
};

} // namespace

TEST_F(ConsoleSettingsTest, AFreshStoreGetsTheFreshLayout) {
    saveFresh(ConsoleSettings{});
    EXPECT_EQ(fileBytes(path), golden("fresh.ini"));
}

TEST_F(ConsoleSettingsTest, AMissingFileGivesEveryDefault) {
    EXPECT_EQ(loaded(), ConsoleSettings{});
    put(golden("fresh.ini"));
    EXPECT_EQ(loaded(), ConsoleSettings{});
}

TEST_F(ConsoleSettingsTest, EveryKeySurvivesASaveAndALoad) {
    const ConsoleSettings v = everyKeyChanged();
    saveFresh(v);
    const std::string first = fileBytes(path);
    const ConsoleSettings back = loaded();
    EXPECT_EQ(back, v);
    EXPECT_EQ(back.send, v.send);
    EXPECT_EQ(back.receive, v.receive);

    // Saved again from what was loaded: the same bytes.
    saveFresh(back);
    EXPECT_EQ(fileBytes(path), first);
    // The queue choice and the flow control carry a line feed, shown as an
    // empty line after them.
    EXPECT_NE(first.find("selqueue=_=7\r\n\r\n"), std::string::npos);
    EXPECT_NE(first.find("control=_=XonXoff\r\n\r\n"), std::string::npos);
}

TEST_F(ConsoleSettingsTest, ALaterLineHoldingTheMarkerIsCutOff) {
    // The format's one limit: a line after a value's first that holds "=_="
    // starts an entry of its own.
    ConsoleSettings v;
    v.send = "first\r\nsecond=_=x\r\nthird";
    saveFresh(v);
    EXPECT_EQ(loaded().send, "first\r");
}

TEST_F(ConsoleSettingsTest, ValuesAreReadAsTheConsoleReadsThem) {
    struct Case {
        const char* line; // under its section
        const char* section;
        bool (*check)(const ConsoleSettings&);
    };
    const Case cases[] = {
        {"connect=_=true", "connect", [](const ConsoleSettings& s) { return !s.connect; }},
        {"connect=_=TRUE ", "connect", [](const ConsoleSettings& s) { return !s.connect; }},
        {"connect=_=FALSE", "connect", [](const ConsoleSettings& s) { return !s.connect; }},
        {"connect=_=TRUE", "connect", [](const ConsoleSettings& s) { return s.connect; }},
        {"port=_=18", "connect", [](const ConsoleSettings& s) { return s.port.port == 18; }},
        {"port=_=COM3", "connect", [](const ConsoleSettings& s) { return s.port.port == 0; }},
        {"boad=_=9600,", "connect",
         [](const ConsoleSettings& s) { return s.port.boad == "9600,"; }},
        {"boad=_=9999", "connect", [](const ConsoleSettings& s) { return s.port.boad == "9999"; }},
        {"autocut=_=FALSE", "check", [](const ConsoleSettings& s) { return !s.autocut; }},
        {"autocut=_=yes", "check", [](const ConsoleSettings& s) { return !s.autocut; }},
        {"hexdisplay=_=False", "check", [](const ConsoleSettings& s) { return !s.hexdisplay; }},
        {"check10=_=TRUE", "check",
         [](const ConsoleSettings& s) { return s.check[9] && !s.check[0]; }},
        {"selqueue=_=-1\r\n", "check", [](const ConsoleSettings& s) { return s.selqueue == -1; }},
        {"selqueue=_=12", "check", [](const ConsoleSettings& s) { return s.selqueue == 12; }},
        {"showqueue=_=yes", "check", [](const ConsoleSettings& s) { return s.showqueue == "yes"; }},
        {"sendtimes=_=0", "strings", [](const ConsoleSettings& s) { return s.sendtimes == 0; }},
        {"delaytime=_=300ms", "strings",
         [](const ConsoleSettings& s) { return s.delaytime == 300; }},
        {"CutCommand=_=", "strings", [](const ConsoleSettings& s) { return s.cutCommand.empty(); }},
        {"Cutcommand=_=1b 69", "strings",
         [](const ConsoleSettings& s) { return s.cutCommand == printercommands::DefaultCutCommand; }},
    };
    for (const Case& c : cases) {
        put(std::string("[") + c.section + "]=_=\r\n" + c.line + "\r\n");
        EXPECT_TRUE(c.check(loaded())) << c.line;
    }
}

TEST_F(ConsoleSettingsTest, TheDefaultFileIsInTheWorkingDirectory) {
    EXPECT_EQ(defaultSettingsPath(),
              QDir::current().filePath(QStringLiteral("Quorvane.ini")).toStdString());
}
