// Hex text and command text.
//  - Hex text to bytes never writes past the buffer it is given (an exact-size
//    heap buffer, so AddressSanitizer sees one byte too many), never makes more
//    than its capacity, leaves the rest of the buffer alone, and agrees with a
//    small model of the notation.
//  - Command text agrees with a model of its segments, and a list of segments
//    written as command text reads back as the same list.
//  - Display pieces are "%02X " and "%c ".

#include "console/send/hextext.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string_view beforeNul(std::string_view text) {
    return text.substr(0, std::min(text.size(), text.find('\0')));
}

bool isHexDigit(char c) {
    int ignored = 0;
    return std::from_chars(&c, &c + 1, ignored, 16).ec == std::errc();
}

// Hex text as the user's manual puts it: skip non-digits; a digit pairs with
// the digit right after it; a digit with no digit after it ends the text.
std::string modelHex(std::string_view text, std::size_t capacity) {
    text = beforeNul(text);
    std::string out;
    std::size_t i = 0;
    while (out.size() < capacity) {
        while (i < text.size() && !isHexDigit(text[i]))
            ++i;
        if (i + 1 >= text.size() || !isHexDigit(text[i + 1]))
            break;
        int value = 0;
        std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        out.push_back(static_cast<char>(value));
        i += 2;
    }
    return out;
}

// Command text as a list of tokens, then the tokens grouped into segments.
std::vector<std::string> modelSegments(std::string_view text) {
    text = beforeNul(text);
    enum class Token { Char, Switch, Dropped };
    std::vector<std::pair<Token, char>> tokens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hashNext = i + 1 < text.size() && text[i + 1] == '#';
        if (text[i] == '\\' && hashNext) {
            tokens.emplace_back(Token::Char, '#');
            ++i;
        } else if (text[i] == '#' && hashNext) {
            tokens.emplace_back(Token::Switch, '#');
            ++i;
        } else if (text[i] == '#') {
            tokens.emplace_back(Token::Dropped, '#');
        } else {
            tokens.emplace_back(Token::Char, text[i]);
        }
    }
    std::vector<std::string> segments;
    std::string pending;
    bool hex = false;
    const auto send = [&] {
        segments.push_back(hex ? modelHex(pending, HexText::SendCapacity) : pending);
        pending.clear();
    };
    for (const auto& [kind, c] : tokens) {
        if (kind == Token::Char) {
            pending.push_back(c);
        } else if (kind == Token::Switch) {
            send();
            hex = !hex;
        }
    }
    // What was collected after the last switch goes out too, unless the text
    // ended on the switch itself (which has just sent it).
    if (!tokens.empty() && tokens.back().first != Token::Switch)
        send();
    return segments;
}

std::string describe(const std::vector<std::string>& segments) {
    std::string out;
    for (const auto& s : segments)
        out += "[" + fuzz::printable(s) + "] ";
    return out;
}

void checkHexIntoBuffer(std::string_view text, std::size_t size) {
    // Exactly size bytes on the heap: a write past the end is a report.
    const auto buffer = std::make_unique<char[]>(size);
    std::fill_n(buffer.get(), size, '\x5A');
    const std::size_t made = HexText::toBytes(text, std::span<char>(buffer.get(), size));
    FUZZ_CHECK(made <= size, "made " + std::to_string(made) + " into " + std::to_string(size));
    const std::string expected = modelHex(text, size);
    const std::string got(buffer.get(), made);
    FUZZ_CHECK(got == expected, "text " + fuzz::printable(text) + "\ngot " + fuzz::printable(got) +
                                    "\nexpected " + fuzz::printable(expected));
    for (std::size_t i = made; i < size; ++i)
        FUZZ_CHECK(buffer[i] == '\x5A', "byte " + std::to_string(i) + " past the result changed");
}

// Segments written as command text: '#' in plain text as "\#", hex segments as
// spaced pairs, "##" between segments.
void checkSegmentsReadBack(FuzzedDataProvider& data) {
    std::vector<std::string> segments;
    std::string text;
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, 8);
    for (std::size_t k = 0; k < count; ++k) {
        std::string segment = data.ConsumeRandomLengthString(64);
        segment = std::string(beforeNul(segment));
        if (k > 0)
            text += "##";
        if (k % 2 == 0) {
            // A plain segment ending in '\' would join the "##" after it.
            while (k + 1 < count && !segment.empty() && segment.back() == '\\')
                segment.pop_back();
            for (const char c : segment)
                text += c == '#' ? std::string("\\#") : std::string(1, c);
        } else {
            for (const char c : segment) {
                char pair[4];
                std::snprintf(pair, sizeof pair, "%02x ", static_cast<unsigned char>(c));
                text += pair;
            }
        }
        segments.push_back(std::move(segment));
    }
    // A text that ends on "##" (an empty last segment) sends nothing after it.
    if (!segments.empty() && segments.back().empty())
        segments.pop_back();
    const auto got = HexText::toSegments(text);
    FUZZ_CHECK(got == segments, "text " + fuzz::printable(text) + "\ngot " + describe(got) +
                                    "\nexpected " + describe(segments));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);

    FuzzedDataProvider sizes(bytes, size);
    checkHexIntoBuffer(text, sizes.ConsumeIntegralInRange<std::size_t>(0, 64));
    checkHexIntoBuffer(text, size / 2 + 1);

    for (const std::size_t capacity : {HexText::CutCapacity, HexText::SendCapacity}) {
        const std::string made = HexText::toBytes(text, capacity);
        FUZZ_CHECK(made.size() <= capacity, "over capacity " + std::to_string(capacity));
        FUZZ_CHECK(made == modelHex(text, capacity), "hex text " + fuzz::printable(text));
    }

    const auto segments = HexText::toSegments(text);
    const auto expected = modelSegments(text);
    FUZZ_CHECK(segments == expected, "command text " + fuzz::printable(text) + "\ngot " +
                                         describe(segments) + "\nexpected " + describe(expected));
    if (beforeNul(text).find('#') == std::string_view::npos && !beforeNul(text).empty())
        FUZZ_CHECK(segments.size() == 1 && segments[0] == beforeNul(text),
                   "text without '#' is not one unchanged segment");

    const std::vector<std::string> hexCopy{modelHex(text, HexText::SendCapacity)};
    FUZZ_CHECK(HexText::convertCopy(text, true, true) == hexCopy, "hex sending is not one write");
    const std::vector<std::string> plainCopy{std::string(beforeNul(text))};
    FUZZ_CHECK(HexText::convertCopy(text, false, true) == plainCopy,
               "no-command mode changed the text");
    FUZZ_CHECK(HexText::convertCopy(text, false, false) == segments,
               "command text differs in a copy");

    for (const char c : text.substr(0, 32)) {
        const auto b = static_cast<unsigned char>(c);
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", b);
        FUZZ_CHECK(HexText::displayPiece(b, HexText::DisplayMode::Hex) == hex, "hex piece");
        const std::string piece = HexText::displayPiece(b, HexText::DisplayMode::Text);
        FUZZ_CHECK(b == 0 ? piece.empty() : piece == std::string(1, c) + " ", "text piece");
    }

    FuzzedDataProvider rest(bytes, size);
    checkSegmentsReadBack(rest);
    return 0;
}
