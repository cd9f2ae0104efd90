#include "printer/render/barcodes.h"

#include <zint.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace posprinter {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using Symbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

// Encodes with one pixel per module and reads the modules back.
EncodedSymbol encode(int symbology, std::string_view data, int option1, bool linear) {
    EncodedSymbol result;
    Symbol symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = QStringLiteral("内存不足");
        return result;
    }
    symbol->symbology = symbology;
    symbol->input_mode = DATA_MODE;
    symbol->scale = 0.5f; // one pixel per module
    symbol->height = 1;
    symbol->whitespace_width = 0;
    symbol->border_width = 0;
    symbol->guard_descent = 0;
    symbol->output_options = BARCODE_NO_QUIET_ZONES;
    if (option1 > 0)
        symbol->option_1 = option1;
    symbol->show_hrt = 0;
    const int rc = ZBarcode_Encode_and_Buffer(symbol.get(),
                                              reinterpret_cast<const unsigned char*>(data.data()),
                                              static_cast<int>(data.size()), 0);
    if (rc >= ZINT_ERROR || symbol->bitmap == nullptr) {
        result.error = QString::fromUtf8(symbol->errtxt);
        return result;
    }
    ModuleMatrix& m = result.modules;
    m.width = symbol->bitmap_width;
    m.height = linear ? 1 : symbol->bitmap_height;
    m.dark.resize(static_cast<std::size_t>(m.width) * m.height);
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            const unsigned char* rgb = symbol->bitmap + (y * symbol->bitmap_width + x) * 3;
            m.dark[static_cast<std::size_t>(y * m.width + x)] = rgb[0] < 128 ? 1 : 0;
        }
    }
    result.text = QString::fromUtf8(reinterpret_cast<const char*>(symbol->text));
    return result;
}

std::string upper(std::string_view data) {
    std::string s(data);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

std::string code128Content(std::string_view data) {
    std::string out;
    char set = 'B';
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '{' && i + 1 < data.size()) {
            const char d = data[i + 1];
            ++i;
            if (d == 'A' || d == 'B' || d == 'C')
                set = d;
            else if (d == '{')
                out += '{';
            // {1..{4 (FNC) and {S (shift) carry no content of their own.
            continue;
        }
        if (set == 'C') {
            const auto value = static_cast<unsigned char>(c);
            if (value < 100) {
                out += static_cast<char>('0' + value / 10);
                out += static_cast<char>('0' + value % 10);
            }
            continue;
        }
        out += c;
    }
    return out;
}

EncodedSymbol encodeBarcode(Symbology type, std::string_view data) {
    const std::size_t n = data.size();
    switch (type) {
    case Symbology::UpcA:
        return encode(n >= 12 ? BARCODE_UPCA_CHK : BARCODE_UPCA, data, 0, true);
    case Symbology::UpcE:
        return encode(n >= 8 ? BARCODE_UPCE_CHK : BARCODE_UPCE, data, 0, true);
    case Symbology::Ean13:
        return encode(n >= 13 ? BARCODE_EANX_CHK : BARCODE_EANX, data, 0, true);
    case Symbology::Ean8:
        return encode(n >= 8 ? BARCODE_EANX_CHK : BARCODE_EANX, data, 0, true);
    case Symbology::Code39: {
        std::string_view content = data;
        if (content.size() >= 2 && content.front() == '*' && content.back() == '*')
            content = content.substr(1, content.size() - 2);
        EncodedSymbol s = encode(BARCODE_CODE39, upper(content), 0, true);
        s.text.remove(QLatin1Char('*'));
        return s;
    }
    case Symbology::Itf:
        return encode(BARCODE_C25INTER, data, 0, true);
    case Symbology::Codabar:
        return encode(BARCODE_CODABAR, upper(data), 0, true);
    case Symbology::Code93:
        return encode(BARCODE_CODE93, data, 0, true);
    case Symbology::Code128:
        return encode(BARCODE_CODE128, code128Content(data), 0, true);
    }
    return {};
}

EncodedSymbol encodeQr(std::string_view data, int level) {
    if (data.empty()) {
        EncodedSymbol none;
        none.error = QStringLiteral("没有数据");
        return none;
    }
    return encode(BARCODE_QRCODE, data, std::clamp(level, 1, 4), false);
}

} // namespace posprinter
