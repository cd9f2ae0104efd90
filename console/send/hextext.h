#pragma once

// The console's notation for bytes in text.
//  - Hex text: pairs of hex digits; any run of other characters separates
//    pairs. A digit followed by a non-digit ends the conversion there.
//  - Command text: plain text in which "##" switches between plain and hex
//    text, "\#" stands for a literal '#', and a lone '#' is dropped. Each
//    stretch between switches is one segment, and each segment is one write.
//  - Display text: a received byte as "%02X " or "%c ".
// Every text ends at its first NUL.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class HexText {
public:
    // Buffer capacities of the two kinds of hex conversion. A conversion stops
    // when its buffer is full; bytes beyond the capacity are not made.
    static constexpr std::size_t SendCapacity = 262144;
    static constexpr std::size_t CutCapacity = 500;

    enum class DisplayMode { Hex, Text };

    // Converts hex text into out; returns the number of bytes written there.
    static std::size_t toBytes(std::string_view text, std::span<char> out);
    // The same into a new string of at most capacity bytes.
    [[nodiscard]] static std::string toBytes(std::string_view text,
                                             std::size_t capacity = SendCapacity);

    // Command text to its segments in order; an empty segment is an empty write.
    [[nodiscard]] static std::vector<std::string> toSegments(std::string_view text);

    // The writes of one copy of send data:
    //  hex on          -> the whole text as hex text, one write;
    //  no-command mode -> the text's bytes as they are, one write;
    //  otherwise       -> the command-text segments.
    [[nodiscard]] static std::vector<std::string> convertCopy(std::string_view text, bool hex,
                                                              bool noCommand);

    // One received byte as display text; a NUL byte gives an empty piece.
    [[nodiscard]] static std::string displayPiece(unsigned char byte, DisplayMode mode);
};
