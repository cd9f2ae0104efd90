#include "console/send/hextext.h"

#include "platform/codepage.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::size_t HexText::toBytes(std::string_view text, std::span<char> out) {
    text = codepage::untilNul(text);
    std::size_t made = 0;
    std::size_t i = 0;
    while (i < text.size() && made < out.size()) {
        const int high = hexValue(text[i]);
        if (high < 0) {
            ++i;
            continue;
        }
        if (i + 1 >= text.size())
            break; // a single last digit is dropped
        const int low = hexValue(text[i + 1]);
        if (low < 0)
            break; // a broken pair ends the conversion
        out[made++] = static_cast<char>(high * 16 + low);
        i += 2;
    }
    return made;
}

std::string HexText::toBytes(std::string_view text, std::size_t capacity) {
    // Never more bytes than half the text, so the buffer need not be the full capacity.
    std::string out(std::min(capacity, text.size() / 2), '\0');
    out.resize(toBytes(text, std::span<char>(out.data(), out.size())));
    return out;
}

std::vector<std::string> HexText::toSegments(std::string_view text) {
    text = codepage::untilNul(text);
    std::vector<std::string> segments;
    std::string pending;
    bool hexMode = false;
    bool justFlipped = false;
    auto emitPending = [&](bool asHex) {
        segments.push_back(asHex ? toBytes(pending) : pending);
        pending.clear();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const bool nextIsHash = i + 1 < text.size() && text[i + 1] == '#';
        justFlipped = false;
        if (c == '\\' && nextIsHash) {
            pending.push_back('#');
            i += 2;
        } else if (c == '#' && nextIsHash) {
            emitPending(hexMode);
            hexMode = !hexMode;
            justFlipped = true;
            i += 2;
        } else if (c == '#') {
            ++i; // a lone '#' is dropped
        } else {
            pending.push_back(c);
            ++i;
        }
    }
    // Whatever was collected since the last switch is sent too; a text that
    // ends on a switch has just sent it.
    if (!text.empty() && !justFlipped)
        emitPending(hexMode);
    return segments;
}

std::vector<std::string> HexText::convertCopy(std::string_view text, bool hex, bool noCommand) {
    if (hex)
        return {toBytes(text)};
    if (noCommand)
        return {std::string(codepage::untilNul(text))};
    return toSegments(text);
}

std::string HexText::displayPiece(unsigned char byte, DisplayMode mode) {
    if (mode == DisplayMode::Hex) {
        static constexpr char Digits[] = "0123456789ABCDEF";
        return {Digits[byte >> 4], Digits[byte & 0x0F], ' '};
    }
    if (byte == 0)
        return {};
    return {static_cast<char>(byte), ' '};
}
