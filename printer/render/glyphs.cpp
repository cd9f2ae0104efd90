#include "printer/render/glyphs.h"

#include "platform/codepage.h"

#include <QPainter>

namespace posprinter {

namespace {

QFont printerFont(int pixelSize) {
    QFont font(GlyphCache::family());
    font.setPixelSize(pixelSize);
    // The same face on every machine, so the paper looks the same everywhere.
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QString characterOf(std::uint16_t code, bool pair, bool latin1) {
    if (pair) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const QString text = codepage::toUnicode(std::string_view(bytes, 2));
        // A pair that is not GBK comes back as private-use characters.
        if (text.size() != 1 || (text[0].unicode() >= 0xF700 && text[0].unicode() <= 0xF7FF))
            return QStringLiteral("?");
        return text;
    }
    if (code < 0x20 || code == 0x7F)
        return QStringLiteral(" ");
    if (code < 0x80 || latin1)
        return QString(QChar(code));
    return QStringLiteral("?");
}

} // namespace

GlyphCache::GlyphCache() : m_fontA(printerFont(CellHeight)), m_fontB(printerFont(FontBHeight)) {}

QString GlyphCache::family() {
    return QStringLiteral("WenQuanYi Micro Hei Mono");
}

QImage GlyphCache::glyph(std::uint16_t code, bool pair, bool latin1, const GlyphStyle& style) {
    const quint64 key = quint64{code} | quint64{pair} << 16 | quint64{latin1} << 17 |
                        quint64{style.fontB} << 18 | quint64{style.bold} << 19 |
                        quint64{style.reverse} << 20 | quint64{style.widthMul} << 24 |
                        quint64{style.heightMul} << 32;
    auto it = m_cache.find(key);
    if (it == m_cache.end())
        it = m_cache.insert(key, draw(code, pair, latin1, style));
    return *it;
}

QImage GlyphCache::draw(std::uint16_t code, bool pair, bool latin1, const GlyphStyle& style) const {
    const bool small = style.fontB && !pair;
    const int width = pair ? FullWidth : small ? FontBWidth : HalfWidth;
    const int height = small ? FontBHeight : CellHeight;
    QImage cell(width, height, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    {
        QPainter p(&cell);
        p.setFont(small ? m_fontB : m_fontA);
        p.setPen(Qt::black);
        const QString text = characterOf(code, pair, latin1);
        p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, text);
        if (style.bold) // a second pass one dot to the right, as the head does
            p.drawText(QRect(1, 0, width, height), Qt::AlignCenter, text);
    }
    if (style.widthMul > 1 || style.heightMul > 1)
        cell = cell.scaled(width * style.widthMul, height * style.heightMul, Qt::IgnoreAspectRatio,
                           Qt::FastTransformation);
    if (style.reverse) {
        QImage inverse(cell.size(), QImage::Format_ARGB32_Premultiplied);
        inverse.fill(Qt::black);
        QPainter p(&inverse);
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.drawImage(0, 0, cell);
        return inverse;
    }
    return cell;
}

} // namespace posprinter
