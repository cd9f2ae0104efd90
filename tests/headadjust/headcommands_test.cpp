#include "headadjust/formtable.h"
#include "headadjust/headcommands.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

using namespace std::string_literals;
using namespace headadjust;

namespace {

std::size_t totalBytes(const Writes& writes) {
    return std::accumulate(writes.begin(), writes.end(), std::size_t{0},
                           [](std::size_t sum, const Write& w) { return sum + w.size(); });
}

} // namespace

TEST(HeadCommands, ParameterEffectPrintKeepsBothZeroBytesThenLineFeedApart) {
    const Writes writes = PrintParameterEffects();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], "\x1D\x28\x41\x02\x00\x00\x04"s);
    EXPECT_EQ(writes[0].size(), 7u);
    EXPECT_EQ(writes[1], "\x0A"s);
}

TEST(HeadCommands, HeadParameterIsOneByteThenLineFeedApart) {
    for (const int n : {0, 4, 10, 13, 127}) {
        SCOPED_TRACE(n);
        const Writes writes = SetHeadParameter(static_cast<std::uint8_t>(n));
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0], (std::string{'\x1D', '\x43', static_cast<char>(n)}));
        EXPECT_EQ(writes[1], "\n"s);
    }
}

TEST(HeadCommands, EffectTestIsOneWritePerLineAndParallelEndsWithALoneFeed) {
    const Writes serial = PrintEffectTest(ChannelKind::Serial);
    const Writes parallel = PrintEffectTest(ChannelKind::Parallel);
    ASSERT_EQ(serial.size(), 20u);
    EXPECT_EQ(totalBytes(serial), 840u);
    ASSERT_EQ(parallel.size(), 21u);
    EXPECT_EQ(totalBytes(parallel), 841u);
    EXPECT_EQ(parallel.back(), "\n"s);
    for (std::size_t k = 0; k < serial.size(); ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_EQ(serial[k], EffectTestLines()[k] + '\n');
        EXPECT_EQ(parallel[k], serial[k]);
    }
}

// Each line: ten consecutive GB2312 codes, then a four-character phrase, with
// a single space between characters.
TEST(HeadCommands, EffectTestLinesAreSpacedGbkWithTenConsecutiveCodes) {
    struct Start {
        unsigned char lead, trail;
    };
    // The first character of each line, from the printed sample sheet.
    const Start starts[20] = {{0xB0, 0xAA}, {0xB1, 0xAA}, {0xB2, 0xB4}, {0xB3, 0xAA}, {0xB4, 0xC8},
                              {0xB5, 0xB4}, {0xB5, 0xC8}, {0xB6, 0xAA}, {0xB7, 0xAA}, {0xB8, 0xAA},
                              {0xB9, 0xAA}, {0xBA, 0xB4}, {0xB8, 0xDC}, {0xB7, 0xC8}, {0xB6, 0xB4},
                              {0xB5, 0xBE}, {0xB4, 0xB4}, {0xB3, 0xB4}, {0xB2, 0xB4}, {0xB0, 0xB4}};
    const auto& lines = EffectTestLines();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        SCOPED_TRACE(k + 1);
        const std::string& line = lines[k];
        ASSERT_EQ(line.size(), EffectTestLineBytes);
        for (std::size_t c = 0; c < 14; ++c) {
            const auto lead = static_cast<unsigned char>(line[c * 3]);
            const auto trail = static_cast<unsigned char>(line[c * 3 + 1]);
            EXPECT_GE(lead, 0xB0);
            EXPECT_GE(trail, 0xA1);
            if (c < 10) {
                EXPECT_EQ(lead, starts[k].lead);
                EXPECT_EQ(trail, starts[k].trail + c);
            }
            if (c < 13) {
                EXPECT_EQ(line[c * 3 + 2], ' ');
            }
        }
    }
    // "测 试 效 果" closes the first line.
    EXPECT_EQ(lines[0].substr(30), "\xB2\xE2 \xCA\xD4 \xD0\xA7 \xB9\xFB"s);
    EXPECT_EQ(lines[2].substr(0, 30), lines[18].substr(0, 30));
}

TEST(HeadCommands, HeadParameterTextMustBeAWholeNumberFrom0To127) {
    const struct {
        const char16_t* text;
        std::optional<std::uint8_t> value;
    } cases[] = {
        {u"4", 4},
        {u"0", 0},
        {u"13", 13},
        {u" 10 ", 10},
        {u"\t7", 7},
        {u"007", 7},
        {u"127", 127},
        {u"128", std::nullopt},
        {u"255", std::nullopt},
        {u"-1", std::nullopt},
        {u"", std::nullopt},
        {u"  ", std::nullopt},
        {u"4.5", std::nullopt},
        {u"abc", std::nullopt},
        {u"1 2", std::nullopt},
        // A plus sign is read as the form's numeric conversion reads it.
        {u"+4", 4},
        {u" +13 ", 13},
        {u"+0", 0},
        {u"+128", std::nullopt},
        {u"+", std::nullopt},
        {u"++4", std::nullopt},
        {u"+ 4", std::nullopt},
        {u"４", std::nullopt},
        {u"99999999999999999999", std::nullopt},
        {u"0x4", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(parseHeadParameter(QStringView(c.text)), c.value);
    }
}

TEST(FormTable, TwipsBecomePixelsAtFifteenAPixelScaledWithTheScreen) {
    EXPECT_EQ(twipsToPixels(FormWidthTwips, 96.0), 372);
    EXPECT_EQ(twipsToPixels(FormHeightTwips, 96.0), 179);
    EXPECT_EQ(twipsToPixels(FormWidthTwips, 192.0), 744);
    EXPECT_EQ(twipsToPixels(1095, 120.0), 91);
    // Edges are rounded, so controls that meet in twips meet on screen.
    const QRect a = twipsToPixels(QRect(0, 0, 1095, 300), 120.0);
    const QRect b = twipsToPixels(QRect(1095, 0, 1095, 300), 120.0);
    EXPECT_EQ(a.right() + 1, b.left());
}
