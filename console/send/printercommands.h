#pragma once

// The printer commands the console sends of its own, named once. The send
// engine's cut and the quick tests build their bytes from here; nothing else
// in the console spells a command's bytes.
//
//   ESC p 0 224 240   cash drawer pulse on pin 2: on 224 × 2 ms, off 240 × 2 ms
//   GS h 120          barcode height 120 dots
//   GS w 2            barcode module width 2
//   GS H 2            barcode's readable characters below it
//   GS k m n d1..dn   print a barcode of system m with n data bytes
//   GS V 66 n         feed to the cutting position plus n units, then cut

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace printercommands {

inline constexpr char LineFeed = '\x0A';

// --- cash drawer
inline constexpr std::string_view OpenCashDrawer{"\x1B\x70\x00\xE0\xF0", 5};

// --- barcodes
inline constexpr std::string_view BarcodeHeight120{"\x1D\x68\x78", 3};
inline constexpr std::string_view BarcodeModuleWidth2{"\x1D\x77\x02", 3};
inline constexpr std::string_view BarcodeTextBelow{"\x1D\x48\x02", 3};

// The m of GS k.
enum class BarcodeSystem : unsigned char { Code39 = 0x45, Code128 = 0x49 };
// CODE128 data starts by choosing its code set; "{A" is code set A.
inline constexpr std::string_view Code128CodeSetA{"{A", 2};
// n is one byte.
inline constexpr std::size_t MaxBarcodeData = 255;

// GS k m n followed by the data; nullopt when the data is longer than n can say.
[[nodiscard]] inline std::optional<std::string> printBarcode(BarcodeSystem m,
                                                             std::string_view data) {
    if (data.size() > MaxBarcodeData)
        return std::nullopt;
    std::string command{'\x1D', '\x6B', static_cast<char>(m), static_cast<char>(data.size())};
    command.append(data);
    return command;
}

// --- the paper cut
[[nodiscard]] constexpr std::array<char, 4> feedAndCut(unsigned char n) {
    return {'\x1D', '\x56', '\x42', static_cast<char>(n)};
}

namespace detail {
// Bytes as the hex text the console stores ("1d 56 42 11"): lower-case pairs
// with one space between them.
template <std::size_t N>
constexpr std::array<char, N * 3 - 1> hexText(const std::array<char, N>& bytes) {
    constexpr char Digits[] = "0123456789abcdef";
    std::array<char, N * 3 - 1> text{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i * 3] = Digits[b >> 4];
        text[i * 3 + 1] = Digits[b & 0x0F];
        if (i + 1 < N)
            text[i * 3 + 2] = ' ';
    }
    return text;
}
inline constexpr auto DefaultCutText = hexText(feedAndCut(0x11));
} // namespace detail

// The cut the console sends after a send when "自动切纸" is on, as the hex
// text the cut-command dialog shows and the settings keep: GS V 66 17.
inline constexpr std::string_view DefaultCutCommand{detail::DefaultCutText.data(),
                                                    detail::DefaultCutText.size()};

} // namespace printercommands
