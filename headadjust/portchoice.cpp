#include "headadjust/portchoice.h"

#include <array>
#include <string_view>

namespace headadjust {
namespace {

// The rates a serial printer is set to, as the serial choice has always known them.
constexpr std::array<std::uint32_t, 16> SerialSpeeds = {110,   300,    600,    1200,  2400,  4800,
                                                        9600,  14400,  19200,  28800, 38400, 56000,
                                                        57600, 115200, 128000, 256000};

} // namespace

std::optional<std::uint32_t> parseSerialSpeed(QStringView text) {
    const QStringView digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > SerialSpeeds.back())
            return std::nullopt;
    }
    for (const std::uint32_t speed : SerialSpeeds) {
        if (speed == value)
            return speed;
    }
    return std::nullopt;
}

std::optional<int> serialPortNumber(QStringView portText) {
    static constexpr std::array<std::u16string_view, 4> Names = {u"COM1", u"COM2", u"COM3",
                                                                 u"COM4"};
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (portText == QStringView(Names[i]))
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

bool isParallelPortName(QStringView portText) {
    return portText == QStringView(u"LPT1") || portText == QStringView(u"LPT2");
}

} // namespace headadjust
