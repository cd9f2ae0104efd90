#include "blackmark/core/blackmarkcommand.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <string>
#include <vector>

using namespace halmbrook;
using namespace std::chrono_literals;

namespace {

std::string hex(const MarkAdjustCommand& c) {
    return hexLine(c);
}

BlackMarkSettings settings(std::int32_t length, std::int32_t startOffset, std::int32_t startError,
                           std::int32_t cutOffset, std::int32_t cutError, std::int32_t layout) {
    BlackMarkSettings s;
    s.ticketLength = length;
    s.startOffset = startOffset;
    s.startError = startError;
    s.cutOffset = cutOffset;
    s.cutError = cutError;
    s.ticketLayout = layout;
    return s;
}

} // namespace

TEST(BlackMarkCommand, Constants) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(UnitsPerMm), 0x4016BA2E8BA2E8BBull);
    EXPECT_EQ(StartBaseMm, 28);
    EXPECT_EQ(CutBaseMm, 45);
    // Whole multiples of 22 mm are whole unit counts.
    for (const auto& [mm, n] : {std::pair{22, 125}, {44, 250}, {88, 500}, {176, 1000}})
        EXPECT_EQ(unitsFromMm(mm), n) << mm;

    const BlackMarkSettings initial;
    EXPECT_EQ(initial, settings(100, 0, 0, 95, 0, 0));
    EXPECT_EQ(initial.portIndex, 0);
}

TEST(BlackMarkCommand, WorkedExamples) {
    struct Case {
        BlackMarkSettings in;
        MarkPositions mm;
        std::int64_t nStart, nCut;
        std::string start, cut;
    };
    const Case cases[] = {
        {settings(100, 0, 0, 95, 0, 0),
         {28, 40},
         159,
         227,
         " 1D 28 46 04 00 01 00 9F 00",
         " 1D 28 46 04 00 02 00 E3 00"},
        {settings(100, 0, 0, 95, 0, 1),
         {28, 40},
         159,
         227,
         " 1D 28 46 04 00 01 00 9F 00",
         " 1D 28 46 04 00 02 00 E3 00"},
        {settings(150, 20, 0, 95, 0, 0),
         {8, 140},
         45,
         795,
         " 1D 28 46 04 00 01 00 2D 00",
         " 1D 28 46 04 00 02 00 1B 03"},
        {settings(150, 20, 0, 95, 0, 1),
         {48, 140},
         272,
         795,
         " 1D 28 46 04 00 01 00 10 01",
         " 1D 28 46 04 00 02 00 1B 03"},
        {settings(80, 10, 2, 30, -3, 1),
         {40, 72},
         227,
         409,
         " 1D 28 46 04 00 01 00 E3 00",
         " 1D 28 46 04 00 02 00 99 01"},
        // Sample 1 with a start offset beyond the ticket: negative, not clamped.
        {settings(100, 200, 0, 95, 0, 0),
         {-72, 40},
         -409,
         227,
         " 1D 28 46 04 00 01 00 67 FF",
         " 1D 28 46 04 00 02 00 E3 00"},
        // A negative correction below the base.
        {settings(100, 0, 0, -60, 0, 0),
         {28, -15},
         159,
         -85,
         " 1D 28 46 04 00 01 00 9F 00",
         " 1D 28 46 04 00 02 00 AB 00"},
        // Exact multiples of the length give 0 mm and 00 00.
        {settings(100, 28, 0, 55, 0, 0),
         {0, 0},
         0,
         0,
         " 1D 28 46 04 00 01 00 00 00",
         " 1D 28 46 04 00 02 00 00 00"},
        // n above 65535 keeps the low byte of n / 256 only (12000 mm, n = 68181 = 0x10A55).
        {settings(20000, 0, 0, 11955, 0, 1),
         {28, 12000},
         159,
         68181,
         " 1D 28 46 04 00 01 00 9F 00",
         " 1D 28 46 04 00 02 00 55 0A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.ticketLength << ',' << c.in.startOffset << ','
                                        << c.in.startError << ',' << c.in.cutOffset << ','
                                        << c.in.cutError << " sample " << c.in.ticketLayout + 1);
        const auto mm = computePositions(c.in);
        ASSERT_TRUE(mm.has_value());
        EXPECT_EQ(mm->startMm, c.mm.startMm);
        EXPECT_EQ(mm->cutMm, c.mm.cutMm);
        EXPECT_EQ(unitsFromMm(mm->startMm), c.nStart);
        EXPECT_EQ(unitsFromMm(mm->cutMm), c.nCut);
        const auto commands = buildMarkCommands(c.in);
        ASSERT_TRUE(commands.has_value());
        EXPECT_EQ(hex(commands->printStart), c.start);
        EXPECT_EQ(hex(commands->cut), c.cut);
        EXPECT_EQ(displayText(*commands), c.start + "\n" + c.cut + "\n");
    }
}

TEST(BlackMarkCommand, ZeroTicketLengthGivesNoCommands) {
    BlackMarkSettings s;
    s.ticketLength = 0;
    EXPECT_FALSE(computePositions(s).has_value());
    EXPECT_FALSE(buildMarkCommands(s).has_value());
}

// The sums wrap like the 32-bit machine they were written for, and extreme
// values never reach undefined behaviour (the sanitizer build checks that).
TEST(BlackMarkCommand, ExtremeValuesWrapWithoutOverflow) {
    EXPECT_EQ(wrappingAdd(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(wrappingSub(INT32_MIN, 1), INT32_MAX);
    EXPECT_EQ(truncatingRem(INT32_MIN, -1), 0);
    EXPECT_EQ(truncatingRem(7, -1), 0);
    EXPECT_EQ(truncatingRem(-7, 3), -1);
    EXPECT_EQ(truncatingRem(7, -3), 1);

    // INT32_MAX + 0 + 28 wraps to INT32_MIN + 27 = -2147483621; rem 100 = -21.
    auto p = computePositions(settings(100, 0, INT32_MAX, 95, 0, 1));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->startMm, -21);
    // Sample 1: MAX + 100 - (-100) + 28 wraps to INT32_MIN + 227 (not 2147483875, which gives 75).
    p = computePositions(settings(100, -100, INT32_MAX, 95, 0, 0));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->startMm, -21);

    // A length of -1 with a dividend of INT32_MIN: the remainder that traps on x86.
    p = computePositions(settings(-1, -28, INT32_MIN, INT32_MIN, -45, 1));
    ASSERT_TRUE(p);
    EXPECT_EQ(*p, (MarkPositions{0, 0}));

    // A position whose unit count leaves 32 bits: 2000000045 mm, n = 11363636619.
    p = computePositions(settings(INT32_MAX, 0, 0, 2000000000, 0, 0));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->cutMm, 2000000045);
    EXPECT_EQ(unitsFromMm(p->cutMm), 11363636619LL);
    EXPECT_EQ(hex(buildMarkAdjustCommand(MarkPosition::Cut, p->cutMm)),
              " 1D 28 46 04 00 02 00 8B 55");
    EXPECT_EQ(unitsFromMm(INT32_MIN), static_cast<std::int64_t>(INT32_MIN * UnitsPerMm));
}

TEST(BlackMarkCommand, HexLine) {
    EXPECT_EQ(hexLine({}), "");
    const std::uint8_t bytes[] = {0x00, 0x0a, 0xff, 0x7F};
    EXPECT_EQ(hexLine(bytes), " 00 0A FF 7F");
    const auto c = buildMarkAdjustCommand(MarkPosition::PrintStart, 28);
    EXPECT_EQ(hexLine(c).size(), 27u);
}

namespace {
struct Recorder {
    std::vector<std::string> events;
    std::vector<bool> results; // one per write, in order; missing means success
    std::size_t writes = 0;

    TestPrint::WriteFn writer() {
        return [this](std::string_view bytes) -> std::size_t {
            events.push_back("write" + hexLine({reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                bytes.size()}));
            const bool ok = writes < results.size() ? results[writes] : true;
            ++writes;
            return ok ? bytes.size() : 0;
        };
    }
    TestPrint::WaitFn waiter() {
        return [this](std::chrono::milliseconds ms) {
            events.push_back("wait " + std::to_string(ms.count()));
        };
    }
};

const std::string Feed = "write 1D 0C";
const std::string Text = "write C6 F0 CA BC B4 F2 D3 A1 CE BB D6 C3 0A 0A 0A";
const std::string Cut = "write 1D 56 42 00";
} // namespace

TEST(BlackMarkCommand, TestPrintText) {
    // The fixed bytes are the GBK form of the words printed at the start position.
    EXPECT_EQ(TestPrint::StartText,
              codepage::fromUnicode(QStringLiteral("起始打印位置")) + std::string(3, '\n'));
}

TEST(BlackMarkCommand, TestPrintSequence) {
    struct Case {
        const char* name;
        std::vector<bool> results;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"all writes succeed", {}, {Feed, Text, "wait 500", Cut}},
        {"feed fails: pause, go on", {false}, {Feed, "wait 100", Text, "wait 500", Cut}},
        {"text fails: stop", {true, false}, {Feed, Text}},
        {"no port: pause and stop", {false, false}, {Feed, "wait 100", Text}},
        {"cut fails: nothing after", {true, true, false}, {Feed, Text, "wait 500", Cut}},
    };
    for (const Case& c : cases) {
        Recorder r;
        r.results = c.results;
        TestPrint::play(r.writer(), r.waiter());
        EXPECT_EQ(r.events, c.events) << c.name;
    }
}
