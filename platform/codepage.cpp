#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace codepage {
namespace {

constexpr char16_t EscapeBase = 0xF700; // U+F700 + byte stands for a byte GBK cannot read

bool isReserved(char32_t c) {
    return (c >= EscapeBase && c <= EscapeBase + 0xFF) || c == CrSymbol || c == LfSymbol ||
           (c >= 0xD800 && c <= 0xDFFF);
}

// One character of code page 936 as iconv reads it; 0 when the bytes are not
// exactly one plain BMP character above ASCII.
char16_t decodeOne(iconv_t cd, const char* bytes, size_t size) {
    char in[2] = {};
    std::copy(bytes, bytes + size, in);
    unsigned char out[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = size;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<size_t>(-1) || inLeft != 0 || outLeft != sizeof out - 4)
        return 0;
    const char32_t c =
        out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
    if (c < 0x80 || c > 0xFFFF || isReserved(c))
        return 0;
    return static_cast<char16_t>(c);
}

// The code page's characters, asked of iconv once. decode[] is indexed by
// (lead - 0x81) * 256 + trail and holds 0 where the pair is not a character;
// single80 is the character of the single byte 0x80 (the euro sign), 0 when
// the converter has none; encode[] maps a character back to its bytes:
// lead << 8 | trail for a pair, the byte itself for 0x80, 0 for none.
struct Tables {
    std::vector<char16_t> decode = std::vector<char16_t>(126 * 256, 0);
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, 0);
    char16_t single80 = 0;

    Tables() {
        iconv_t cd = iconv_open("UCS-4LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return; // no converter: every byte above 0x7F is escaped, still lossless
        // The single byte first: when a pair means the same character too,
        // the pair is the one escaped, so that each character has one encoding.
        const char euro = '\x80';
        if (const char16_t c = decodeOne(cd, &euro, 1); c != 0) {
            single80 = c;
            encode[c] = 0x80;
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t c = decodeOne(cd, in, 2);
                if (c == 0 || encode[c] != 0)
                    continue; // not a character, or already taken
                decode[(lead - 0x81) * 256 + trail] = c;
                encode[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
        iconv_close(cd);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

void appendBytes(std::string& out, QStringView text) {
    const Tables& t = tables();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c >= EscapeBase && c <= EscapeBase + 0xFF) {
            out.push_back(static_cast<char>(c - EscapeBase));
        } else if (const std::uint16_t code = t.encode[c]; code != 0) {
            if (code > 0xFF)
                out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else {
            // Not in GBK; a surrogate pair is one character and one '?'.
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            out.push_back('?');
        }
    }
}

} // namespace

std::string_view untilNul(std::string_view bytes) {
    const auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

QString toUnicode(std::string_view bytes) {
    bytes = untilNul(bytes);
    const Tables& t = tables();
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t{b}));
            continue;
        }
        if (b == 0x80 && t.single80 != 0) {
            out.append(QChar(t.single80));
            continue;
        }
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (const char16_t c = t.decode[(b - 0x81) * 256 + trail]; c != 0) {
                out.append(QChar(c));
                ++i;
                continue;
            }
        }
        out.append(QChar(static_cast<char16_t>(EscapeBase + b)));
    }
    return out;
}

std::string fromUnicode(QStringView text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    appendBytes(out, text);
    return out;
}

LineEnd detectLineEnd(std::string_view bytes) {
    bytes = untilNul(bytes);
    if (bytes.find("\r\n") != std::string_view::npos)
        return LineEnd::CrLf;
    return bytes.find('\n') == std::string_view::npos ? LineEnd::CrLf : LineEnd::Lf;
}

QString toEditText(std::string_view bytes, LineEnd style) {
    bytes = untilNul(bytes);
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    size_t start = 0;
    auto flush = [&](size_t end) { out.append(toUnicode(bytes.substr(start, end - start))); };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char b = bytes[i];
        if (b != '\r' && b != '\n')
            continue;
        flush(i);
        if (style == LineEnd::CrLf && b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out.append(QLatin1Char('\n'));
            ++i;
        } else if (style == LineEnd::Lf && b == '\n') {
            out.append(QLatin1Char('\n'));
        } else {
            out.append(QChar(b == '\r' ? CrSymbol : LfSymbol));
        }
        start = i + 1;
    }
    flush(bytes.size());
    return out;
}

std::string fromEditText(QStringView text, LineEnd style) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    qsizetype start = 0;
    auto flush = [&](qsizetype end) { appendBytes(out, text.mid(start, end - start)); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\n' && c != u'\r' && c != CrSymbol && c != LfSymbol && c != 0x2029)
            continue;
        flush(i);
        if (c == CrSymbol) {
            out.push_back('\r');
        } else if (c == LfSymbol) {
            out.push_back('\n');
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            // A CR LF pasted as such is one line break.
            out += style == LineEnd::CrLf ? "\r\n" : "\n";
            ++i;
        } else {
            out += style == LineEnd::CrLf ? "\r\n" : "\n";
        }
        start = i + 1;
    }
    flush(text.size());
    return out;
}

} // namespace codepage
