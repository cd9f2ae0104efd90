#include "blackmark/core/integerfield.h"

#include <limits>

namespace halmbrook {

std::optional<std::int32_t> parseIntegerField(QStringView text) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    bool sign = false;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        sign = true;
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype digitsFrom = i;
    // Stop counting once past 32 bits; the value is clamped anyway.
    constexpr std::int64_t Limit = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (magnitude < Limit)
            magnitude = magnitude * 10 + (text[i].unicode() - u'0');
    }
    if (i == digitsFrom)
        return std::nullopt;
    while (i < n && blank(text[i]))
        ++i;
    if (i != n || (sign && magnitude == 0))
        return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace halmbrook
