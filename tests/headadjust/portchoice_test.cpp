#include "headadjust/portchoice.h"

#include <QString>
#include <gtest/gtest.h>

using namespace headadjust;

TEST(PortChoice, SpeedMustBeARateTheSerialLineKnows) {
    const struct {
        const char16_t* text;
        std::optional<std::uint32_t> speed;
    } cases[] = {
        {u"9600", 9600u},         {u"19200", 19200u},
        {u"38400", 38400u},       {u"115200", 115200u},
        {u"56000", 56000u},       {u" 4800 ", 4800u},
        {u"", std::nullopt},      {u"9601", std::nullopt},
        {u"0", std::nullopt},     {u"9600,", std::nullopt},
        {u"-9600", std::nullopt}, {u"fast", std::nullopt},
        {u"96OO", std::nullopt},  {u"18446744073709561216", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(parseSerialSpeed(QStringView(c.text)), c.speed);
    }
}

TEST(PortChoice, OnlyTheListedPortNamesCountAndExactly) {
    EXPECT_EQ(serialPortNumber(u"COM1"), 1);
    EXPECT_EQ(serialPortNumber(u"COM2"), 2);
    EXPECT_EQ(serialPortNumber(u"COM3"), 3);
    EXPECT_EQ(serialPortNumber(u"COM4"), 4);
    for (const char16_t* other : {u"com1", u"COM5", u"COM0", u" COM1", u"COM1 ", u"", u"LPT1"})
        EXPECT_EQ(serialPortNumber(other), std::nullopt) << QString::fromUtf16(other).toStdString();
    EXPECT_TRUE(isParallelPortName(u"LPT1"));
    EXPECT_TRUE(isParallelPortName(u"LPT2"));
    for (const char16_t* other : {u"lpt1", u"LPT3", u"LPT", u"COM1", u""})
        EXPECT_FALSE(isParallelPortName(other)) << QString::fromUtf16(other).toStdString();
}
