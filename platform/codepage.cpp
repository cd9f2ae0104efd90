#include "platform/codepage.h"

#include "codepagetable.inc" // generated at build time by codepagegen

#include <cstdint>
#include <vector>

namespace codepage {
namespace {

constexpr char16_t EscapeBase = 0xF700; // U+F700 + byte stands for a byte GBK cannot read

// The way back from a character to its bytes: lead << 8 | trail for a pair,
// the byte itself for 0x80, 0 for none. Only texts that hold characters above
// ASCII need it, so it is built from the decode table on first use.
const std::vector<std::uint16_t>& encodeTable() {
    static const std::vector<std::uint16_t> encode = [] {
        std::vector<std::uint16_t> e(0x10000, 0);
        if (table::Single80 != 0)
            e[table::Single80] = 0x80;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (const char16_t c = table::Decode[(lead - 0x81) * 256 + trail]; c != 0)
                    e[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
        return e;
    }();
    return encode;
}

void appendBytes(std::string& out, QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c >= EscapeBase && c <= EscapeBase + 0xFF) {
            out.push_back(static_cast<char>(c - EscapeBase));
        } else if (const std::uint16_t code = encodeTable()[c]; code != 0) {
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

// The characters of the bytes (no NUL among them) appended to out.
void appendUnicode(QString& out, std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t{b}));
            continue;
        }
        if (b == 0x80 && table::Single80 != 0) {
            out.append(QChar(table::Single80));
            continue;
        }
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (const char16_t c = table::Decode[(b - 0x81) * 256 + trail]; c != 0) {
                out.append(QChar(c));
                ++i;
                continue;
            }
        }
        out.append(QChar(static_cast<char16_t>(EscapeBase + b)));
    }
}

// Room enough for the bytes of the text, and not much more: the result of a
// long text is kept, and twice its size would be held for nothing. Characters
// below 0x80 and escaped bytes are one byte; a line break and anything else
// is at most two.
size_t maxBytes(QStringView text) {
    size_t n = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        n += (c < 0x80 && c != u'\n') || (c >= EscapeBase && c <= EscapeBase + 0xFF) ? 1 : 2;
    }
    return n;
}

} // namespace

std::string_view untilNul(std::string_view bytes) {
    const auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

QString toUnicode(std::string_view bytes) {
    bytes = untilNul(bytes);
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    appendUnicode(out, bytes);
    return out;
}

std::string fromUnicode(QStringView text) {
    std::string out;
    out.reserve(maxBytes(text));
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
    auto flush = [&](size_t end) { appendUnicode(out, bytes.substr(start, end - start)); };
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
    out.reserve(maxBytes(text));
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
