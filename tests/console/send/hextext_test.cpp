#include "console/send/hextext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;
using Segments = std::vector<std::string>;

namespace {
struct HexCase {
    std::string text;
    std::string bytes;
};
} // namespace

TEST(HexText, HexTextToBytes) {
    const HexCase cases[] = {
        {"1d 56 42 11", "\x1D\x56\x42\x11"},
        {"1D5642 11", "\x1D\x56\x42\x11"},
        {"1d,56,42,11", "\x1D\x56\x42\x11"},
        {"1d;56;;42 ;11", "\x1D\x56\x42\x11"},
        {"1d\r\n56\n42\r11", "\x1D\x56\x42\x11"},
        {"1B 4", "\x1B"},    // a single last digit is dropped
        {"1B 4 0D", "\x1B"}, // a broken pair ends the conversion
        {"0x1B", ""},        // '0' is followed by 'x'
        {"Hello", ""},       // 'H' skipped, 'e' followed by 'l'
        {"", ""},
        {"ff FF fF", "\xFF\xFF\xFF"},
        {"zz 00 41", "\x00\x41"s},
        {"\xB7\xA2 41", "\x41"}, // bytes above 0x7F are separators
        {"41\0 42"s, "\x41"},    // the text ends at NUL
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexText::toBytes(c.text), c.bytes) << testing::PrintToString(c.text);
}

TEST(HexText, ConversionStopsAtCapacity) {
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "ab ";
    EXPECT_EQ(HexText::toBytes(text, HexText::CutCapacity), std::string(500, '\xAB'));

    // The span form never writes past the buffer it is given.
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(HexText::toBytes("01 02 03 04 05", std::span<char>(buffer, 3)), 3u);
    EXPECT_EQ(std::string(buffer, 4), "\x01\x02\x03x");

    std::string big;
    big.reserve(2 * (HexText::SendCapacity + 10));
    for (size_t i = 0; i < HexText::SendCapacity + 10; ++i)
        big += "7f";
    EXPECT_EQ(HexText::toBytes(big).size(), HexText::SendCapacity);
}

TEST(HexText, CommandTextToSegments) {
    const std::pair<std::string, Segments> cases[] = {
        {"ABC##1b 40##DEF", {"ABC", "\x1B\x40", "DEF"}},
        {"##1B40##", {"", "\x1B\x40"}},
        {"AB##1B", {"AB", "\x1B"}}, // unclosed hex segment converted at the end
        {"price \\# 5", {"price # 5"}},
        {"plain text", {"plain text"}},
        {"", {}},
        {"a\\b", {"a\\b"}}, // a backslash before anything else stays
        {"A#B", {"AB"}},    // a lone '#' is dropped, the rest still sent
        {"ABC#", {"ABC"}},
        {"AB\\#", {"AB#"}},
        {"##41##B", {"", "\x41", "B"}},
        {"##zz##", {"", ""}}, // no digit pair: an empty write
        {"x##41 42##y##43", {"x", "\x41\x42", "y", "\x43"}},
        {"ab\0##41"s, {"ab"}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(HexText::toSegments(text), expected) << testing::PrintToString(text);
}

TEST(HexText, ChoiceOfConversion) {
    const std::string text = "ABC##1b 40##DEF";
    EXPECT_EQ(HexText::convertCopy(text, false, false), (Segments{"ABC", "\x1B\x40", "DEF"}));
    EXPECT_EQ(HexText::convertCopy(text, false, true), (Segments{text}));
    EXPECT_EQ(HexText::convertCopy(text, true, false),
              (Segments{"\xAB"})); // 'AB' pairs, then 'C#' ends it
    EXPECT_EQ(HexText::convertCopy(text, true, true), HexText::convertCopy(text, true, false));
    EXPECT_EQ(HexText::convertCopy("zz", true, false), (Segments{""}));
}

TEST(HexText, DisplayPieces) {
    using M = HexText::DisplayMode;
    EXPECT_EQ(HexText::displayPiece(0x10, M::Hex), "10 ");
    EXPECT_EQ(HexText::displayPiece(0xAB, M::Hex), "AB ");
    EXPECT_EQ(HexText::displayPiece(0x00, M::Hex), "00 ");
    EXPECT_EQ(HexText::displayPiece(0x41, M::Text), "A ");
    EXPECT_EQ(HexText::displayPiece(0x62, M::Text), "b ");
    EXPECT_EQ(HexText::displayPiece(0x00, M::Text), "");
    EXPECT_EQ(HexText::displayPiece(0xB7, M::Text), "\xB7 ");
}

TEST(HexText, RandomTextsNeverOverrun) {
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> len(0, 200);
    std::uniform_int_distribution<int> pick(0, 7);
    const char alphabet[] = "#\\0123456789abcdefXYZ \r\n";
    for (int i = 0; i < 5000; ++i) {
        std::string text(static_cast<size_t>(len(rng)), ' ');
        for (auto& c : text)
            c = pick(rng) == 0 ? static_cast<char>(rng()) : alphabet[rng() % (sizeof alphabet - 1)];
        char buffer[16];
        const size_t n = HexText::toBytes(text, std::span<char>(buffer, sizeof buffer));
        ASSERT_LE(n, sizeof buffer);
        size_t total = 0;
        for (const auto& s : HexText::toSegments(text))
            total += s.size();
        ASSERT_LE(total, text.size());
        ASSERT_LE(HexText::toBytes(text, HexText::CutCapacity).size(), HexText::CutCapacity);
    }
}
