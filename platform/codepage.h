#pragma once

// Text of the kit is bytes in code page 936 (GBK), exactly as printers and
// settings files see it. This is the one place where those bytes meet QString.
//
// Both directions are lossless: toUnicode() followed by fromUnicode() gives back
// every byte string that holds no NUL, byte for byte.
//  - A valid GBK character (one byte below 0x80, the single byte 0x80 that is
//    the euro sign, or a lead byte 0x81..0xFE with its trail byte) becomes the
//    Unicode character glibc's iconv gives for it.
//  - Any other byte (0xFF, a lead byte without a valid trail) becomes
//    the private-use character U+F700 + byte, and goes back as that one byte.
//  - A GBK character whose Unicode value is one of the reserved characters
//    below (which GBK does not use) would be ambiguous; it is escaped the same
//    way, byte by byte.
//
// Edit controls add line ends to the picture. A QPlainTextEdit stores lines as
// paragraphs, so CR LF, LF and a lone CR all come back from toPlainText() as
// LF. The edit-text functions therefore work with a line-end style:
//  - LineEnd::CrLf when the bytes hold at least one CR LF, or no LF at all
//    (a new or one-line text: lines typed into it end in CR LF);
//  - LineEnd::Lf when the bytes hold LF line ends and no CR LF.
// In the edit text a line break stands for the style's line end. A CR that is
// not part of such a line end shows as U+240D (the CR symbol) and an LF that is
// not part of one shows as U+240A (the LF symbol); each goes back as its single
// byte. So "a\r\nb" shows as two lines, "a\nb" as two lines in LF style, and
// "a\rb" as one line with a visible CR symbol, and all three come back intact.

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace codepage {

// The part of the bytes before the first NUL: a NUL ends a text.
[[nodiscard]] std::string_view untilNul(std::string_view bytes);

// Bytes (up to the first NUL) to QString, line ends kept as CR and LF.
[[nodiscard]] QString toUnicode(std::string_view bytes);
// QString back to bytes. Characters that GBK cannot encode become '?'.
[[nodiscard]] std::string fromUnicode(QStringView text);

enum class LineEnd { CrLf, Lf };

inline constexpr char16_t CrSymbol = 0x240D;
inline constexpr char16_t LfSymbol = 0x240A;

[[nodiscard]] LineEnd detectLineEnd(std::string_view bytes);
// Bytes to the text an edit control shows, in the given line-end style.
[[nodiscard]] QString toEditText(std::string_view bytes, LineEnd style);
// What an edit control holds back to bytes, in the style it was filled with.
[[nodiscard]] std::string fromEditText(QStringView text, LineEnd style);

} // namespace codepage
