// Halmbrook's fields and command computation.
//  - A field's text gives the number a model of the field rule gives (blanks,
//    an optional sign, decimal digits, blanks; no signed zero; held at the
//    32-bit limits), or is refused by both.
//  - Any settings give the positions of 32-bit wrapping arithmetic and a
//    remainder truncated toward zero (worked here in 64 bits), command units of
//    125/22 per mm truncated toward zero, the nine command bytes, and hex text
//    that reads back as those bytes. A ticket length of 0 gives no command.

#include "blackmark/core/blackmarkcommand.h"
#include "blackmark/core/integerfield.h"
#include "fuzzcheck.h"

#include <QByteArray>
#include <QRegularExpression>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using namespace halmbrook;

std::optional<std::int32_t> modelField(const QString& text) {
    static const QRegularExpression rule(
        QRegularExpression::anchoredPattern(QStringLiteral("[ \\t]*([+-]?)([0-9]+)[ \\t]*")));
    const auto match = rule.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString sign = match.captured(1);
    QString digits = match.captured(2);
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    if (!sign.isEmpty() && digits == QStringLiteral("0"))
        return std::nullopt;
    const std::int64_t magnitude = digits.size() > 11 ? std::int64_t{1} << 40 : digits.toLongLong();
    const std::int64_t value = sign == QStringLiteral("-") ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int32_t wrap32(std::int64_t v) {
    constexpr std::int64_t Span = std::int64_t{1} << 32;
    v = ((v + (Span / 2)) % Span + Span) % Span - Span / 2;
    return static_cast<std::int32_t>(v);
}

MarkPositions modelPositions(const BlackMarkSettings& s) {
    const std::int64_t start =
        s.ticketLayout == 0 ? std::int64_t{s.startError} + s.ticketLength - s.startOffset + 28
                            : std::int64_t{s.startError} + s.startOffset + 28;
    const std::int64_t cut = std::int64_t{s.cutError} + s.cutOffset + 45;
    return {static_cast<std::int32_t>(wrap32(start) % std::int64_t{s.ticketLength}),
            static_cast<std::int32_t>(wrap32(cut) % std::int64_t{s.ticketLength})};
}

std::uint8_t lowByte(std::int64_t v) {
    return static_cast<std::uint8_t>(((v % 256) + 256) % 256);
}

std::string modelHexLine(std::span<const std::uint8_t> bytes) {
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size()));
    return bytes.empty() ? std::string() : " " + raw.toHex(' ').toUpper().toStdString();
}

void checkCommand(const MarkAdjustCommand& got, std::uint8_t which, std::int32_t mm) {
    const std::int64_t n = std::int64_t{125} * mm / 22;
    FUZZ_CHECK(unitsFromMm(mm) == n, std::to_string(mm) + " mm gave " +
                                         std::to_string(unitsFromMm(mm)) + " units, expected " +
                                         std::to_string(n));
    const MarkAdjustCommand expected{
        0x1D, 0x28, 0x46, 0x04, 0x00, which, 0x00, lowByte(n), lowByte(n / 256)};
    FUZZ_CHECK(got == expected, "command for " + std::to_string(mm) + " mm:" + hexLine(got));
    FUZZ_CHECK(hexLine(got) == modelHexLine(expected), "hex line " + hexLine(got));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    BlackMarkSettings s;
    for (std::int32_t* field :
         {&s.ticketLength, &s.startOffset, &s.startError, &s.cutOffset, &s.cutError}) {
        const std::string bytes = in.ConsumeRandomLengthString(24);
        const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        const auto parsed = parseIntegerField(text);
        const auto expected = modelField(text);
        FUZZ_CHECK(parsed == expected,
                   "field " + fuzz::printable(text) + " gave " +
                       (parsed ? std::to_string(*parsed) : std::string("nothing")));
        // A refused text leaves the field as the window had it: any number.
        *field = parsed ? *parsed : in.ConsumeIntegral<std::int32_t>();
    }
    s.ticketLayout = in.ConsumeBool() ? 1 : 0;

    const auto positions = computePositions(s);
    const auto commands = buildMarkCommands(s);
    if (s.ticketLength == 0) {
        FUZZ_CHECK(!positions && !commands, "a ticket length of 0 gave a command");
        return 0;
    }
    FUZZ_CHECK(positions && commands,
               "no command for a ticket length of " + std::to_string(s.ticketLength));
    const MarkPositions expected = modelPositions(s);
    FUZZ_CHECK(*positions == expected, "positions " + std::to_string(positions->startMm) + ", " +
                                           std::to_string(positions->cutMm) + "; expected " +
                                           std::to_string(expected.startMm) + ", " +
                                           std::to_string(expected.cutMm));
    checkCommand(commands->printStart, 1, expected.startMm);
    checkCommand(commands->cut, 2, expected.cutMm);
    FUZZ_CHECK(displayText(*commands) ==
                   modelHexLine(commands->printStart) + "\n" + modelHexLine(commands->cut) + "\n",
               "display text " + fuzz::printable(displayText(*commands)));
    return 0;
}
