#pragma once

// Barcodes and QR codes as module patterns, made by the zint library: the
// printer only scales the modules to dots.

#include "printer/core/barcodetypes.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace posprinter {

struct ModuleMatrix {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dark; // row by row, 1 = dark

    [[nodiscard]] bool at(int x, int y) const {
        return dark[static_cast<std::size_t>(y * width + x)] != 0;
    }
    [[nodiscard]] bool empty() const { return width == 0 || height == 0; }
};

struct EncodedSymbol {
    ModuleMatrix modules; // empty when the data cannot be encoded
    QString text;         // the human-readable line (linear codes)
    QString error;        // why nothing was encoded
};

// A linear barcode from the data bytes of GS k: one row of modules. CODE128
// data carries the printer's code-set selections ("{A", "{B", "{C", "{{").
[[nodiscard]] EncodedSymbol encodeBarcode(Symbology type, std::string_view data);

// A QR code (model 2) from the stored bytes; level 1..4 for L, M, Q, H.
[[nodiscard]] EncodedSymbol encodeQr(std::string_view data, int level);

// The CODE128 content the printer's data stands for, code-set selections
// resolved (code set C bytes become two digits each).
[[nodiscard]] std::string code128Content(std::string_view data);

} // namespace posprinter
