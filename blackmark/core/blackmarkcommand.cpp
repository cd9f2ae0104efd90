#include "blackmark/core/blackmarkcommand.h"

#include <cmath>
#include <cstdio>

namespace halmbrook {

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    // Unsigned sums wrap by definition; the conversion back is modular in C++20.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrappingSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t truncatingRem(std::int32_t dividend, std::int32_t divisor) {
    // INT32_MIN % -1 overflows (and traps on x86); every x % -1 is 0 anyway.
    if (divisor == -1)
        return 0;
    return dividend % divisor;
}

std::optional<MarkPositions> computePositions(const BlackMarkSettings& s) {
    if (s.ticketLength == 0)
        return std::nullopt;
    // Sample 1 counts the start offset back from the next ticket's mark,
    // sample 2 forward from this one; the cut is forward in both.
    const std::int32_t startDividend =
        s.ticketLayout == 0
            ? wrappingAdd(wrappingSub(wrappingAdd(s.startError, s.ticketLength), s.startOffset),
                          StartBaseMm)
            : wrappingAdd(wrappingAdd(s.startError, s.startOffset), StartBaseMm);
    const std::int32_t cutDividend = wrappingAdd(wrappingAdd(s.cutError, s.cutOffset), CutBaseMm);
    return MarkPositions{truncatingRem(startDividend, s.ticketLength),
                         truncatingRem(cutDividend, s.ticketLength)};
}

std::int64_t unitsFromMm(std::int32_t mm) {
    // |mm| < 2^31, so the product stays below 2^34 and converts exactly.
    return static_cast<std::int64_t>(std::trunc(static_cast<double>(mm) * UnitsPerMm));
}

MarkAdjustCommand buildMarkAdjustCommand(MarkPosition which, std::int32_t mm) {
    const std::int64_t n = unitsFromMm(mm);
    return {0x1D,
            0x28,
            0x46,
            0x04,
            0x00,
            static_cast<std::uint8_t>(which),
            0x00,
            static_cast<std::uint8_t>(n & 0xFF),
            static_cast<std::uint8_t>((n / 256) & 0xFF)};
}

std::optional<MarkCommands> buildMarkCommands(const BlackMarkSettings& s) {
    const auto positions = computePositions(s);
    if (!positions)
        return std::nullopt;
    return MarkCommands{buildMarkAdjustCommand(MarkPosition::PrintStart, positions->startMm),
                        buildMarkAdjustCommand(MarkPosition::Cut, positions->cutMm)};
}

std::string hexLine(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        char piece[4];
        std::snprintf(piece, sizeof piece, " %.2X", static_cast<unsigned>(b));
        text += piece;
    }
    return text;
}

std::string displayText(const MarkCommands& commands) {
    return hexLine(commands.printStart) + '\n' + hexLine(commands.cut) + '\n';
}

namespace {
using namespace std::chrono_literals;

constexpr TestPrintStep TestPrintSteps[] = {
    // A failed feed gets a short pause, then the text goes out regardless.
    {TestPrintStep::Kind::Write, TestPrint::FeedToStart, 100ms, false},
    {TestPrintStep::Kind::Write, TestPrint::StartText, 0ms, true},
    {TestPrintStep::Kind::Wait, {}, 500ms, false},
    {TestPrintStep::Kind::Write, TestPrint::FeedAndCut, 0ms, false},
};
} // namespace

std::span<const TestPrintStep> TestPrint::steps() {
    return TestPrintSteps;
}

std::size_t TestPrint::play(const WriteFn& write, const WaitFn& wait) {
    std::size_t done = 0;
    for (const TestPrintStep& step : steps()) {
        ++done;
        if (step.kind == TestPrintStep::Kind::Wait) {
            wait(step.duration);
            continue;
        }
        if (write(step.bytes) != 0)
            continue;
        if (step.duration.count() > 0)
            wait(step.duration);
        if (step.stopOnFailure)
            break;
    }
    return done;
}

} // namespace halmbrook
