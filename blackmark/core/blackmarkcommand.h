#pragma once

// The black-mark computation of Halmbrook: from the ticket length and the two
// offsets measured from the black-mark sensor to the two GS ( F commands that
// set the print-start and cutting positions, their hex text, and the test print.
// Pure integer and byte work; the window and the port live elsewhere.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace halmbrook {

// What the user enters; lengths in millimetres.
struct BlackMarkSettings {
    std::int32_t ticketLength = 100;
    std::int32_t startOffset = 0;
    std::int32_t startError = 0;
    std::int32_t cutOffset = 95;
    std::int32_t cutError = 0;
    std::int32_t ticketLayout = 0; // 0 = ticket sample 1, 1 = ticket sample 2
    std::int32_t portIndex = 0;    // 0..11 for COM1..COM12

    bool operator==(const BlackMarkSettings&) const = default;
};

inline constexpr std::int32_t StartBaseMm = 28;
inline constexpr std::int32_t CutBaseMm = 45;
// Command units are 0.176 mm; this is the double nearest 1 / 0.176, a hair
// above 125 / 22, so whole multiples of 22 mm give whole unit counts.
inline constexpr double UnitsPerMm = 1.0 / 0.176;

// The printer's 32-bit signed arithmetic, without undefined behaviour: sums
// wrap as two's complement does, and the remainder truncates toward zero.
[[nodiscard]] std::int32_t wrappingAdd(std::int32_t a, std::int32_t b);
[[nodiscard]] std::int32_t wrappingSub(std::int32_t a, std::int32_t b);
// divisor must not be 0; a divisor of -1 gives 0 (also for INT32_MIN).
[[nodiscard]] std::int32_t truncatingRem(std::int32_t dividend, std::int32_t divisor);

struct MarkPositions {
    std::int32_t startMm = 0;
    std::int32_t cutMm = 0;
    bool operator==(const MarkPositions&) const = default;
};

// Print-start and cutting positions in mm; nullopt for a ticket length of 0,
// which has no meaningful remainder.
[[nodiscard]] std::optional<MarkPositions> computePositions(const BlackMarkSettings& s);

// Millimetres to command units, truncated toward zero. Kept in 64 bits: the
// product of any 32-bit position fits there exactly.
[[nodiscard]] std::int64_t unitsFromMm(std::int32_t mm);

enum class MarkPosition : std::uint8_t { PrintStart = 1, Cut = 2 };

// GS ( F 04 00 a 00 nL nH
using MarkAdjustCommand = std::array<std::uint8_t, 9>;
[[nodiscard]] MarkAdjustCommand buildMarkAdjustCommand(MarkPosition which, std::int32_t mm);

struct MarkCommands {
    MarkAdjustCommand printStart{};
    MarkAdjustCommand cut{};
};
[[nodiscard]] std::optional<MarkCommands> buildMarkCommands(const BlackMarkSettings& s);

// " 1D 28 46 ..." : a space and two upper-case hex digits per byte.
[[nodiscard]] std::string hexLine(std::span<const std::uint8_t> bytes);
// The text shown after a successful setting: both hex lines, each ending in a line break.
[[nodiscard]] std::string displayText(const MarkCommands& commands);

// The test print: feed to the print-start position, print a line naming it,
// then feed to the cutting position and cut.
struct TestPrintStep {
    enum class Kind { Write, Wait };
    Kind kind = Kind::Write;
    std::string_view bytes;                // Write
    std::chrono::milliseconds duration{0}; // Wait: how long; Write: pause after a failure
    bool stopOnFailure = false;            // Write: end the sequence when it fails
};

class TestPrint {
public:
    using WriteFn = std::function<std::size_t(std::string_view bytes)>;
    using WaitFn = std::function<void(std::chrono::milliseconds)>;

    static constexpr std::string_view FeedToStart{"\x1D\x0C", 2};
    // "起始打印位置" in GBK and three line feeds.
    static constexpr std::string_view StartText{
        "\xC6\xF0\xCA\xBC\xB4\xF2\xD3\xA1\xCE\xBB\xD6\xC3\x0A\x0A\x0A", 15};
    static constexpr std::string_view FeedAndCut{"\x1D\x56\x42\x00", 4};

    [[nodiscard]] static std::span<const TestPrintStep> steps();
    // Plays the steps; a write counts as failed when it reports 0 bytes.
    // Returns the number of steps carried out.
    static std::size_t play(const WriteFn& write, const WaitFn& wait);
};

} // namespace halmbrook
