#pragma once

// How a decoded item reads in the log: its bytes in hex, a name and a meaning
// with its parameters spelled out, and the same as one JSON line.

#include "printer/core/decoder.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string_view>

namespace posprinter {

// "1B 40"; past `most` bytes the rest shows as " …".
[[nodiscard]] QString hexText(std::string_view bytes, std::size_t most);
// "ESC @", "文本", "未知", "不完整".
[[nodiscard]] QString itemName(const DecodedItem& item);
// "对齐方式：居中", "文本：“合计”", ...
[[nodiscard]] QString itemMeaning(const DecodedItem& item);
// {"offset":…,"length":…,"kind":…,"name":…,"hex":…,"meaning":…} without a line end.
[[nodiscard]] QByteArray jsonLine(const DecodedItem& item);

} // namespace posprinter
