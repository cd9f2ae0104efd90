#pragma once

// The barcode systems of GS k, by the command's m, and where its data lies.

#include "printer/core/decoder.h"

#include <optional>
#include <string_view>

namespace posprinter {

enum class Symbology { UpcA, UpcE, Ean13, Ean8, Code39, Itf, Codabar, Code93, Code128 };

// m = 0..6 (data ends with NUL) and m = 65..73 (data count given) name the same systems.
[[nodiscard]] std::optional<Symbology> symbologyOf(std::uint8_t m);
[[nodiscard]] std::string_view symbologyName(Symbology s);

// The data bytes of a GS k item: without m, n and the closing NUL.
[[nodiscard]] std::string_view barcodeData(const DecodedItem& item);

} // namespace posprinter
