#pragma once

// The printer's characters as small images, drawn once from the installed CJK
// font and kept: half-width characters in a 12 x 24 cell (font B: 9 x 17),
// two-byte GBK characters in 24 x 24, enlarged dot by dot as a print head does.

#include <QFont>
#include <QHash>
#include <QImage>

#include <cstdint>

namespace posprinter {

struct GlyphStyle {
    bool fontB = false;
    bool bold = false;
    bool reverse = false;
    std::uint8_t widthMul = 1;  // 1..8
    std::uint8_t heightMul = 1; // 1..8
};

class GlyphCache {
public:
    GlyphCache();

    // A character of the printer's code: one byte (latin1: a byte above 0x7F is
    // a Latin-1 character, else it prints as '?'), or a GBK pair lead << 8 | trail.
    // Black on transparent, or transparent on black when reversed. A copy (shared
    // data): the cache moves its images as it grows.
    QImage glyph(std::uint16_t code, bool pair, bool latin1, const GlyphStyle& style);

    static constexpr int CellHeight = 24;
    static constexpr int HalfWidth = 12;
    static constexpr int FullWidth = 24;
    static constexpr int FontBWidth = 9;
    static constexpr int FontBHeight = 17;

    // The family the glyphs are drawn in.
    [[nodiscard]] static QString family();

private:
    QImage draw(std::uint16_t code, bool pair, bool latin1, const GlyphStyle& style) const;

    QFont m_fontA;
    QFont m_fontB;
    QHash<quint64, QImage> m_cache;
};

} // namespace posprinter
