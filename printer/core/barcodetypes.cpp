#include "printer/core/barcodetypes.h"

namespace posprinter {

std::optional<Symbology> symbologyOf(std::uint8_t m) {
    static constexpr Symbology Order[] = {
        Symbology::UpcA,    Symbology::UpcE,   Symbology::Ean13,
        Symbology::Ean8,    Symbology::Code39, Symbology::Itf,
        Symbology::Codabar, Symbology::Code93, Symbology::Code128};
    if (m <= 6)
        return Order[m];
    if (m >= 65 && m <= 73)
        return Order[m - 65];
    return std::nullopt;
}

std::string_view symbologyName(Symbology s) {
    switch (s) {
    case Symbology::UpcA:
        return "UPC-A";
    case Symbology::UpcE:
        return "UPC-E";
    case Symbology::Ean13:
        return "EAN-13";
    case Symbology::Ean8:
        return "EAN-8";
    case Symbology::Code39:
        return "CODE39";
    case Symbology::Itf:
        return "ITF";
    case Symbology::Codabar:
        return "CODABAR";
    case Symbology::Code93:
        return "CODE93";
    case Symbology::Code128:
        return "CODE128";
    }
    return {};
}

std::string_view barcodeData(const DecodedItem& item) {
    const std::string_view body = item.body();
    if (body.empty())
        return {};
    if (static_cast<std::uint8_t>(body[0]) <= 6) {
        std::string_view data = body.substr(1);
        if (!data.empty() && data.back() == '\0')
            data.remove_suffix(1);
        return data;
    }
    return body.substr(std::min<std::size_t>(2, body.size()));
}

} // namespace posprinter
