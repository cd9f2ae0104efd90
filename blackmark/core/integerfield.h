#pragma once

// The integer a field of the window holds: blanks or tabs, an optional sign,
// decimal digits, blanks or tabs. A zero written with a sign is not taken
// (as the Windows tool's field check refused it), and a number beyond 32 bits
// becomes the nearest 32-bit value.

#include <QStringView>

#include <cstdint>
#include <optional>

namespace halmbrook {

[[nodiscard]] std::optional<std::int32_t> parseIntegerField(QStringView text);

} // namespace halmbrook
