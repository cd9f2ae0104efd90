#include "console/link/portkind.h"
#include "console/link/portsettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::CommState;

TEST(PortList, KindComesFromTheNumberAlone) {
    const auto items = portlist::itemTexts();
    ASSERT_EQ(items.size(), 18U);
    for (std::int32_t port = -1; port <= 20; ++port) {
        const auto kind = portlist::kindOf(port);
        SCOPED_TRACE(port);
        if (port >= 1 && port <= 14) {
            EXPECT_EQ(kind, PortKind::Serial);
            EXPECT_EQ(portlist::deviceName(port), "COM" + std::to_string(port));
            EXPECT_EQ(items[static_cast<std::size_t>(port - 1)], "COM" + std::to_string(port));
        } else if (port == 15 || port == 16) {
            EXPECT_EQ(kind, PortKind::Parallel);
            EXPECT_EQ(portlist::deviceName(port), port == 15 ? "LPT1" : "LPT2");
            EXPECT_EQ(std::string(items[static_cast<std::size_t>(port - 1)]),
                      portlist::deviceName(port));
        } else if (port == 17) {
            EXPECT_EQ(kind, PortKind::Usb);
            EXPECT_STREQ(items[16], "USB");
        } else if (port == 18) {
            EXPECT_EQ(kind, PortKind::Network);
            EXPECT_STREQ(items[17], "ETHERNET");
        } else {
            EXPECT_FALSE(kind.has_value());
            EXPECT_EQ(portlist::comboIndex(port), -1);
            EXPECT_EQ(portlist::deviceName(port), "");
            continue;
        }
        EXPECT_EQ(portlist::comboIndex(port), port - 1);
    }
}

TEST(PortSettings, Defaults) {
    const PortSettings s;
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.boad, "38400,");
    EXPECT_EQ(s.check, "N,");
    EXPECT_EQ(s.data, "8,");
    EXPECT_EQ(s.stop, "1");
    EXPECT_EQ(s.control, "NONE\n");
    EXPECT_EQ(s.ipAddress, "");
    EXPECT_EQ(s.tcpPort, 0);
    EXPECT_EQ(settingIndexes(s), (SettingIndexes{7, 0, 3, 0, 0}));
}

// Item texts and setting strings of every combo, in order; storing an index
// gives its string and the string finds its index again.
TEST(PortSettings, SettingTables) {
    const struct {
        SerialSetting which;
        std::vector<std::string> items;
        std::vector<std::string> settings;
    } tables[] = {
        {SerialSetting::Baud,
         {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "43000", "56000", "57600",
          "115200"},
         {"300,", "600,", "1200,", "2400,", "4800,", "9600,", "19200,", "38400,", "43000,",
          "56000,", "57600,", "115200,"}},
        {SerialSetting::Parity, {"NONE", "Odd", "Even"}, {"N,", "O,", "E,"}},
        {SerialSetting::DataBits, {"5", "6", "7", "8"}, {"5,", "6,", "7,", "8,"}},
        {SerialSetting::StopBits, {"1", "1.5", "2"}, {"1", "1.5", "2"}},
        {SerialSetting::FlowControl,
         {"NONE", "CtsRts", "DsrDtr", "XonXoff"},
         {"NONE\n", "CtsRts\n", "DsrDtr\n", "XonXoff\n"}},
    };
    for (const auto& t : tables) {
        const auto rows = settingRows(t.which);
        ASSERT_EQ(rows.size(), t.items.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].itemText, t.items[i]);
            EXPECT_EQ(rows[i].setting, t.settings[i]);
            PortSettings s;
            EXPECT_TRUE(storeSetting(s, t.which, static_cast<int>(i)));
            EXPECT_EQ(settingField(s, t.which), t.settings[i]);
            EXPECT_EQ(settingIndex(t.which, t.settings[i]), static_cast<int>(i));
        }
        PortSettings s;
        const PortSettings before = s;
        EXPECT_FALSE(storeSetting(s, t.which, -1));
        EXPECT_FALSE(storeSetting(s, t.which, static_cast<int>(rows.size())));
        EXPECT_EQ(s, before);
        // Exact strings only: the stored form has its comma or line feed.
        EXPECT_EQ(settingIndex(t.which, t.items.back()),
                  t.which == SerialSetting::StopBits ? static_cast<int>(rows.size()) - 1 : -1);
    }
}

TEST(PortSettings, FramingRowsSetTheBlock) {
    const struct {
        const char* boad;
        const char* check;
        const char* data;
        const char* stop;
        std::uint32_t baud;
        CommState::Parity parity;
        std::uint8_t bits;
        CommState::StopBits stopBits;
        SettingIndexes indexes;
    } cases[] = {
        {"43000,",
         "E,",
         "7,",
         "2",
         57600,
         CommState::EvenParity,
         7,
         CommState::TwoStopBits,
         {8, 2, 2, 2, 0}},
        {"56000,",
         "O,",
         "5,",
         "1.5",
         56000,
         CommState::OddParity,
         5,
         CommState::One5StopBits,
         {9, 1, 0, 1, 0}},
        {"300,",
         "N,",
         "6,",
         "1",
         300,
         CommState::NoParity,
         6,
         CommState::OneStopBit,
         {0, 0, 1, 0, 0}},
        {"115200,",
         "N,",
         "8,",
         "1",
         115200,
         CommState::NoParity,
         8,
         CommState::OneStopBit,
         {11, 0, 3, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.boad);
        PortSettings s;
        s.boad = c.boad;
        s.check = c.check;
        s.data = c.data;
        s.stop = c.stop;
        CommState state;
        state.binary = false;
        state.parityCheck = false;
        EXPECT_EQ(applyPortSettings(s, state), c.indexes);
        EXPECT_EQ(state.baudRate, c.baud);
        EXPECT_EQ(state.parity, c.parity);
        EXPECT_EQ(state.byteSize, c.bits);
        EXPECT_EQ(state.stopBits, c.stopBits);
        EXPECT_TRUE(state.binary);
        EXPECT_TRUE(state.parityCheck);
    }
}

TEST(PortSettings, UnknownStringsChangeNothing) {
    PortSettings s;
    s.boad = "38400"; // no comma
    s.check = "n,";
    s.data = "9,";
    s.stop = "3";
    s.control = "NONE"; // no line feed
    CommState state;
    state.baudRate = 4800;
    state.byteSize = 7;
    state.parity = CommState::OddParity;
    state.stopBits = CommState::TwoStopBits;
    state.outxCtsFlow = true;
    state.rtsControl = CommState::ControlHandshake;
    state.outX = true;
    CommState expected = state;
    expected.binary = true;
    expected.parityCheck = true;
    EXPECT_EQ(applyPortSettings(s, state), (SettingIndexes{-1, -1, -1, -1, -1}));
    EXPECT_EQ(state, expected);
}

// Each flow row sets what it names and leaves the other lines as reported.
TEST(PortSettings, FlowControlRows) {
    CommState reported;
    reported.outxCtsFlow = true;
    reported.outxDsrFlow = true;
    reported.outX = true;
    reported.inX = true;
    reported.rtsControl = CommState::ControlDisable;
    reported.dtrControl = CommState::ControlDisable;
    reported.xonChar = 1;
    reported.xoffChar = 2;
    reported.xonLim = 7;
    reported.xoffLim = 8;

    const auto apply = [&](const char* control) {
        PortSettings s;
        s.control = control;
        CommState state = reported;
        applyPortSettings(s, state);
        return state;
    };

    CommState none = apply("NONE\n");
    EXPECT_FALSE(none.outxCtsFlow || none.outxDsrFlow || none.outX || none.inX);
    EXPECT_EQ(none.rtsControl, CommState::ControlDisable);
    EXPECT_EQ(none.dtrControl, CommState::ControlDisable);

    CommState cts = apply("CtsRts\n");
    EXPECT_TRUE(cts.outxCtsFlow);
    EXPECT_EQ(cts.rtsControl, CommState::ControlHandshake);
    EXPECT_FALSE(cts.outxDsrFlow || cts.outX || cts.inX);
    EXPECT_EQ(cts.dtrControl, CommState::ControlDisable);

    CommState dsr = apply("DsrDtr\n");
    EXPECT_TRUE(dsr.outxDsrFlow);
    EXPECT_EQ(dsr.dtrControl, CommState::ControlHandshake);
    EXPECT_FALSE(dsr.outxCtsFlow || dsr.outX || dsr.inX);
    EXPECT_EQ(dsr.rtsControl, CommState::ControlDisable);

    CommState xon = apply("XonXoff\n");
    EXPECT_TRUE(xon.outX && xon.inX);
    EXPECT_FALSE(xon.outxCtsFlow || xon.outxDsrFlow);
    EXPECT_EQ(xon.xonChar, 0x11);
    EXPECT_EQ(xon.xoffChar, 0x13);
    EXPECT_EQ(xon.xonLim, 100);
    EXPECT_EQ(xon.xoffLim, 100);
    EXPECT_EQ(xon.rtsControl, CommState::ControlDisable);
    EXPECT_EQ(xon.dtrControl, CommState::ControlDisable);
    // The other rows leave the XON/XOFF characters alone.
    EXPECT_EQ(none.xonChar, 1);
    EXPECT_EQ(cts.xoffLim, 8);
}

TEST(PortSettings, WriteTimeoutGrowsWithTheCount) {
    EXPECT_EQ(serialtimeouts::writeTotal(0).count(), 5000);
    EXPECT_EQ(serialtimeouts::writeTotal(100).count(), 105000);
    EXPECT_EQ(serialtimeouts::writeTotal(INT32_MAX).count(), 5000 + 1000LL * INT32_MAX);
}
