#pragma once

// How the texts of the Port, Speed and LPort boxes are read at connect.

#include <QStringView>

#include <cstdint>
#include <optional>

namespace headadjust {

// The speeds the serial line accepts, typed or picked, in bit/s; blanks around
// the number are allowed. nullopt for any other text.
[[nodiscard]] std::optional<std::uint32_t> parseSerialSpeed(QStringView text);
// "COM1".."COM4" -> 1..4, exactly as listed; nullopt for any other text.
[[nodiscard]] std::optional<int> serialPortNumber(QStringView portText);
// True for "LPT1" and "LPT2", exactly as listed.
[[nodiscard]] bool isParallelPortName(QStringView portText);

} // namespace headadjust
