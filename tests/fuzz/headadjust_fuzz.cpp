// Ostrelle's fields and the bytes they lead to.
//  - The n box: a whole number 0..127 with blanks around it and perhaps a
//    plus sign right before it, or refused; the value set goes out as GS C n,
//    then a line feed of its own.
//  - The speed box: a listed speed with blanks around it, or refused.
//  - The port boxes: exactly "COM1".."COM4", "LPT1", "LPT2".
//  - The effect lines (checked once): 20 lines of 41 GBK bytes that read as
//    14 characters with a space between each two, one write each with its LF.

#include "fuzzcheck.h"
#include "headadjust/headcommands.h"
#include "headadjust/portchoice.h"
#include "platform/codepage.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>

namespace {

using namespace headadjust;

// The digits of a text with blanks around it, leading zeros dropped; empty
// when the text is not such a number.
QString wholeNumber(const QString& text) {
    QString digits = text.trimmed();
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return {};
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    return digits;
}

std::optional<std::uint8_t> modelHeadParameter(const QString& text) {
    // A plus sign may stand right before the digits.
    QString number = text.trimmed();
    if (number.startsWith(u'+'))
        number.remove(0, 1);
    if (number != number.trimmed())
        return std::nullopt;
    const QString digits = wholeNumber(number);
    if (digits.isEmpty() || digits.size() > 3 || digits.toInt() > 127)
        return std::nullopt;
    return static_cast<std::uint8_t>(digits.toInt());
}

std::optional<std::uint32_t> modelSpeed(const QString& text) {
    static constexpr std::array<std::uint32_t, 16> Listed = {
        110,   300,   600,   1200,  2400,  4800,   9600,   14400,
        19200, 28800, 38400, 56000, 57600, 115200, 128000, 256000};
    const QString digits = wholeNumber(text);
    if (digits.isEmpty() || digits.size() > 6)
        return std::nullopt;
    const auto value = digits.toUInt();
    if (std::find(Listed.begin(), Listed.end(), value) == Listed.end())
        return std::nullopt;
    return value;
}

void checkEffectLines() {
    const auto& lines = EffectTestLines();
    for (const std::string& line : lines) {
        FUZZ_CHECK(line.size() == EffectTestLineBytes, "line of " + std::to_string(line.size()));
        const QString text = codepage::toUnicode(line);
        FUZZ_CHECK(text.size() == 27 && codepage::fromUnicode(text) == line,
                   "line " + fuzz::printable(text));
        for (qsizetype i = 0; i < text.size(); ++i)
            FUZZ_CHECK((i % 2 == 1) == (text[i] == u' ') &&
                           (i % 2 == 1 || text[i].unicode() > 0x7F),
                       "line " + fuzz::printable(text));
    }
    for (const auto channel : {ChannelKind::Serial, ChannelKind::Parallel}) {
        const Writes writes = PrintEffectTest(channel);
        FUZZ_CHECK(writes.size() == (channel == ChannelKind::Parallel ? 21u : 20u), "writes");
        for (std::size_t k = 0; k < writes.size(); ++k)
            FUZZ_CHECK(writes[k] == (k < lines.size() ? lines[k] + "\n" : std::string("\n")),
                       "write " + std::to_string(k));
    }
}

QString consumeText(FuzzedDataProvider& in) {
    const std::string bytes = in.ConsumeRandomLengthString(16);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    checkEffectLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    const QString n = consumeText(in);
    const auto parameter = parseHeadParameter(n);
    FUZZ_CHECK(parameter == modelHeadParameter(n), "n box " + fuzz::printable(n));
    if (parameter) {
        const Writes expected = {std::string{'\x1D', '\x43', static_cast<char>(*parameter)}, "\n"};
        FUZZ_CHECK(SetHeadParameter(*parameter) == expected, "GS C " + std::to_string(*parameter));
    }

    const QString speed = consumeText(in);
    FUZZ_CHECK(parseSerialSpeed(speed) == modelSpeed(speed), "speed box " + fuzz::printable(speed));

    const QString port = consumeText(in);
    const auto com = serialPortNumber(port);
    const bool listedCom = port.size() == 4 && port.startsWith(QStringLiteral("COM")) &&
                           port[3] >= u'1' && port[3] <= u'4';
    FUZZ_CHECK(com.has_value() == listedCom && (!com || *com == port[3].unicode() - u'0'),
               "port box " + fuzz::printable(port));
    FUZZ_CHECK(isParallelPortName(port) ==
                   (port == QStringLiteral("LPT1") || port == QStringLiteral("LPT2")),
               "port box " + fuzz::printable(port));
    return 0;
}
