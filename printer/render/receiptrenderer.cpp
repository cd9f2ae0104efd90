#include "printer/render/receiptrenderer.h"

#include "platform/codepage.h"
#include "printer/core/barcodetypes.h"
#include "printer/render/barcodes.h"

#include <QPainter>

#include <algorithm>

namespace posprinter {

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr int NoteHeight = 26;
const QColor NoteInk(30, 80, 200);
const QColor NotePaper(232, 240, 255);

unsigned le16(std::string_view s, std::size_t i) {
    if (i + 1 >= s.size())
        return 0;
    return static_cast<std::uint8_t>(s[i]) |
           static_cast<unsigned>(static_cast<std::uint8_t>(s[i + 1])) << 8;
}

// n and '0' + n mean the same in most one-byte settings.
int digit(std::uint8_t n) {
    return n >= 48 ? n - 48 : n;
}

QImage transparentImage(int width, int height) {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Dots of a raster row (MSB first) into an image, each dot sx by sy.
void rasterRows(QImage& image, std::string_view data, int bytesPerRow, int rows, int sx, int sy) {
    for (int r = 0; r < rows; ++r) {
        for (int j = 0; j < bytesPerRow; ++j) {
            const std::size_t at = static_cast<std::size_t>(r) * bytesPerRow + j;
            if (at >= data.size())
                return;
            const auto byte = static_cast<std::uint8_t>(data[at]);
            for (int bit = 0; bit < 8; ++bit) {
                if ((byte & (0x80 >> bit)) == 0)
                    continue;
                const int x = (j * 8 + bit) * sx;
                if (x >= image.width())
                    continue;
                for (int dy = 0; dy < sy; ++dy) {
                    auto* line = reinterpret_cast<QRgb*>(image.scanLine(r * sy + dy));
                    for (int dx = 0; dx < sx && x + dx < image.width(); ++dx)
                        line[x + dx] = Black;
                }
            }
        }
    }
}

QImage scaledModules(const ModuleMatrix& modules, int moduleWidth, int moduleHeight) {
    QImage image = transparentImage(modules.width * moduleWidth, modules.height * moduleHeight);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (modules.at(x / moduleWidth, y / moduleHeight))
                line[x] = Black;
        }
    }
    return image;
}

// The rows of a receipt without blue notes, a quarter of the memory: black
// ink on white paper has equal red, green and blue, so one of them is the grey.
QImage greyCopy(const QImage& canvas, int rows) {
    QImage grey(canvas.width(), rows, QImage::Format_Grayscale8);
    for (int y = 0; y < rows; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        uchar* to = grey.scanLine(y);
        for (int x = 0; x < canvas.width(); ++x)
            to[x] = static_cast<uchar>(qBlue(from[x]));
    }
    return grey;
}

} // namespace

PaperGeometry geometryOf(PaperWidth paper) {
    return paper == PaperWidth::Mm58 ? PaperGeometry{464, 384} : PaperGeometry{640, 576};
}

ReceiptRenderer::ReceiptRenderer(PaperWidth paper) : m_paper(paper), m_nextPaper(paper) {
    m_noteFont.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), GlyphCache::family()});
    m_noteFont.setPixelSize(16);
    ensureCanvas(InitialCanvasDots);
}

void ReceiptRenderer::setPaper(PaperWidth paper) {
    m_nextPaper = paper;
    if (!hasOpenReceipt() && paper != m_paper) {
        m_paper = paper;
        m_canvas = QImage();
        ensureCanvas(InitialCanvasDots);
        changed();
    }
}

int ReceiptRenderer::areaLeft() const {
    const PaperGeometry g = geometryOf(m_paper);
    return (g.paperDots - g.printDots) / 2 + std::min(m.leftMargin, g.printDots - 1);
}

int ReceiptRenderer::areaWidth() const {
    const PaperGeometry g = geometryOf(m_paper);
    int width = g.printDots - std::min(m.leftMargin, g.printDots - 1);
    if (m.areaWidth >= 0)
        width = std::min(width, m.areaWidth);
    return std::max(width, 1);
}

GlyphStyle ReceiptRenderer::style(bool pair) const {
    GlyphStyle s;
    s.fontB = m.fontB;
    s.bold = m.bold || m.doubleStrike;
    s.reverse = m.reverse;
    s.widthMul =
        static_cast<std::uint8_t>(std::max(m.widthMul, pair && m.chineseDoubleWidth ? 2 : 1));
    s.heightMul =
        static_cast<std::uint8_t>(std::max(m.heightMul, pair && m.chineseDoubleHeight ? 2 : 1));
    return s;
}

void ReceiptRenderer::ensureCanvas(int height) {
    const int width = geometryOf(m_paper).paperDots;
    if (!m_canvas.isNull() && m_canvas.width() == width && m_canvas.height() >= height)
        return;
    const int rows =
        std::max({height, m_canvas.isNull() ? 0 : m_canvas.height() * 2, InitialCanvasDots});
    QImage bigger(width, rows, QImage::Format_RGB32);
    bigger.fill(Qt::white);
    if (!m_canvas.isNull() && m_canvas.width() == width) {
        QPainter p(&bigger);
        p.drawImage(0, 0, m_canvas);
    }
    m_canvas = std::move(bigger);
}

void ReceiptRenderer::render(const DecodedItem& item) {
    if (!m_offsetSet) {
        m_firstOffset = item.offset;
        m_offsetSet = true;
    }
    m_lastEnd = item.offset + item.length;
    if (item.kind == DecodedItem::Kind::Text) {
        text(item.bytes);
        return;
    }
    if (item.kind != DecodedItem::Kind::Command)
        return;
    const std::uint8_t n = item.param(0);
    switch (item.desc->id) {
    case Cmd::LineFeed:
    case Cmd::FormFeed:
    case Cmd::PageModePrint:
        printLine(m.lineSpacing);
        break;
    case Cmd::Tab:
        tab();
        break;
    case Cmd::FeedDots:
        printLine(n);
        break;
    case Cmd::FeedLines:
        printLine(n * m.lineSpacing);
        break;
    case Cmd::Initialize: {
        const Modes fresh;
        m = fresh;
        m_line.clear();
        m_x = 0;
        m_lineHeight = 0;
        m_qrData.clear();
        break;
    }
    case Cmd::PrintModes:
        m.fontB = (n & 0x01) != 0;
        m.bold = (n & 0x08) != 0;
        m.heightMul = (n & 0x10) != 0 ? 2 : 1;
        m.widthMul = (n & 0x20) != 0 ? 2 : 1;
        m.underline = (n & 0x80) != 0 ? 1 : 0;
        break;
    case Cmd::CharacterSize:
        m.widthMul = (n >> 4 & 7) + 1;
        m.heightMul = (n & 7) + 1;
        break;
    case Cmd::Bold:
        m.bold = (n & 1) != 0;
        break;
    case Cmd::DoubleStrike:
        m.doubleStrike = (n & 1) != 0;
        break;
    case Cmd::Underline:
        m.underline = std::min(digit(n), 2);
        break;
    case Cmd::ChineseUnderline:
        m.chineseUnderline = std::min(digit(n), 2);
        break;
    case Cmd::ChineseModes:
        m.chineseDoubleWidth = (n & 0x04) != 0;
        m.chineseDoubleHeight = (n & 0x08) != 0;
        m.chineseUnderline = (n & 0x80) != 0 ? 1 : 0;
        break;
    case Cmd::ChineseQuadruple:
        m.chineseDoubleWidth = m.chineseDoubleHeight = (n & 1) != 0;
        break;
    case Cmd::ChineseSpacing:
        m.chineseLeft = n;
        m.chineseRight = item.param(1);
        break;
    case Cmd::ChineseOn:
        m.chinese = true;
        break;
    case Cmd::ChineseOff:
        m.chinese = false;
        break;
    case Cmd::Reverse:
        m.reverse = (n & 1) != 0;
        break;
    case Cmd::SelectFont:
        m.fontB = (n & 1) != 0;
        break;
    case Cmd::Justify:
        m.justify = std::min(digit(n), 2);
        break;
    case Cmd::DefaultLineSpacing:
        m.lineSpacing = DefaultLineSpacing;
        break;
    case Cmd::LineSpacing:
        m.lineSpacing = n;
        break;
    case Cmd::RightSpacing:
        m.rightSpacing = n;
        break;
    case Cmd::TabPositions: {
        m.tabs.clear();
        m.defaultTabs = false;
        for (char c : item.body()) {
            if (c != '\0')
                m.tabs.push_back(static_cast<std::uint8_t>(c));
        }
        break;
    }
    case Cmd::AbsolutePosition: {
        const int x = static_cast<int>(le16(item.body(), 0));
        if (x < areaWidth())
            m_x = x;
        break;
    }
    case Cmd::RelativePosition: {
        const auto step = static_cast<std::int16_t>(le16(item.body(), 0));
        const int x = m_x + step;
        if (x >= 0 && x < areaWidth())
            m_x = x;
        break;
    }
    case Cmd::LeftMargin:
        m.leftMargin = static_cast<int>(le16(item.body(), 0));
        break;
    case Cmd::PrintAreaWidth:
        m.areaWidth = static_cast<int>(le16(item.body(), 0));
        break;
    case Cmd::BarcodeHeight:
        if (n > 0)
            m.barcodeHeight = n;
        break;
    case Cmd::BarcodeWidth:
        m.barcodeModule = std::clamp<int>(n, 1, 6);
        break;
    case Cmd::HriPosition:
        m.hriPosition = digit(n) & 3;
        break;
    case Cmd::HriFont:
        m.hriFontB = (n & 1) != 0;
        break;
    case Cmd::Barcode:
        barcode(item);
        break;
    case Cmd::Symbol2D:
        symbol2D(item);
        break;
    case Cmd::RasterImage:
        raster(item);
        break;
    case Cmd::BitImage:
        bitImage(item);
        break;
    case Cmd::Graphics:
        graphics(item);
        break;
    case Cmd::DefineDownloadedImage: {
        const int columns = n * 8;
        const int rows = item.param(1) * 8;
        const std::string_view data = item.body().substr(2);
        m_downloaded = transparentImage(columns, rows);
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                const std::size_t at = static_cast<std::size_t>(c) * (rows / 8) + r / 8;
                if (at < data.size() &&
                    (static_cast<std::uint8_t>(data[at]) & (0x80 >> (r % 8))) != 0)
                    m_downloaded.setPixel(c, r, Black);
            }
        }
        break;
    }
    case Cmd::PrintDownloadedImage:
        if (!m_downloaded.isNull()) {
            const int sx = (digit(n) & 1) != 0 ? 2 : 1;
            const int sy = (digit(n) & 2) != 0 ? 2 : 1;
            placeBlock(m_downloaded.scaled(m_downloaded.width() * sx, m_downloaded.height() * sy,
                                           Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
        break;
    case Cmd::Cut: {
        const bool partial = n == 1 || n == 49 || n == 66 || n == 98 || n == 104;
        cut(partial ? QStringLiteral("半切") : QStringLiteral("全切"), n >= 65 ? item.param(1) : 0);
        break;
    }
    case Cmd::PartialCutOnePoint:
    case Cmd::PartialCutThreePoints:
        cut(QStringLiteral("半切"), 0);
        break;
    case Cmd::DrawerPulse:
        annotate(QStringLiteral("钱箱脉冲：引脚 %1，开 %2 ms，关 %3 ms")
                     .arg((n & 1) != 0 ? 5 : 2)
                     .arg(item.param(1) * 2)
                     .arg(item.param(2) * 2));
        break;
    case Cmd::RealTimePulse:
        if (n == 1)
            annotate(QStringLiteral("钱箱脉冲（实时）：引脚 %1，%2 ms")
                         .arg((item.param(1) & 1) != 0 ? 5 : 2)
                         .arg(item.param(2) * 100));
        break;
    case Cmd::MarkFeedToStart:
        annotate(QStringLiteral("黑标：走纸到打印起始位置"));
        break;
    case Cmd::MarkAdjust: {
        const unsigned units = le16(item.body(), 4);
        annotate(QStringLiteral("黑标设置：%1 %2 单位（%3 mm）")
                     .arg(item.param(2) == 2 ? QStringLiteral("切纸位置")
                                             : QStringLiteral("打印起始位置"))
                     .arg(units)
                     .arg(units * 0.176, 0, 'f', 1));
        break;
    }
    case Cmd::HeadParameter:
        annotate(QStringLiteral("机头参数设为 %1").arg(n));
        break;
    case Cmd::TestPrint:
        testPrint(item);
        break;
    default:
        break; // decoded and logged; nothing to show on the paper
    }
}

void ReceiptRenderer::text(std::string_view bytes) {
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (m.chinese && isLeadByte(b) && i + 1 < n &&
            isTrailByte(static_cast<std::uint8_t>(bytes[i + 1]))) {
            putCharacter(
                static_cast<std::uint16_t>(b << 8 | static_cast<std::uint8_t>(bytes[i + 1])), true);
            ++i;
        } else {
            putCharacter(b, false);
        }
    }
}

void ReceiptRenderer::putCharacter(std::uint16_t code, bool pair) {
    const GlyphStyle s = style(pair);
    const QImage glyph = m_glyphs.glyph(code, pair, !m.chinese, s);
    const int gap = pair ? m.chineseLeft * s.widthMul : 0;
    const int after = (pair ? m.chineseRight : m.rightSpacing) * s.widthMul;
    const int underline = m.reverse ? 0
                          : pair    ? std::max(m.underline, m.chineseUnderline)
                                    : m.underline;
    putElement(glyph, gap + glyph.width() + after, gap, underline);
}

void ReceiptRenderer::putElement(const QImage& image, int advance, int gap, int underline) {
    if (m_x > 0 && m_x + advance > areaWidth())
        printLine(m.lineSpacing); // the line is full: the printer prints it and goes on
    m_line.push_back({m_x, gap, image, underline, advance});
    m_x += advance;
    m_lineHeight = std::max(m_lineHeight, image.height());
}

void ReceiptRenderer::printLine(int advance) {
    const int height = m_lineHeight;
    if (!m_line.empty()) {
        ensureCanvas(m_y + std::max(height, advance) + BottomMargin);
        const int room = areaWidth() - m_x;
        const int offset = room <= 0 ? 0 : m.justify == 1 ? room / 2 : m.justify == 2 ? room : 0;
        const int left = areaLeft() + offset;
        QPainter p(&m_canvas);
        for (const Element& e : m_line) {
            p.drawImage(left + e.x + e.gap, m_y + height - e.image.height(), e.image);
            if (e.underline > 0)
                p.fillRect(left + e.x, m_y + height - e.underline, e.width, e.underline, Qt::black);
        }
        m_line.clear();
        m_x = 0;
        m_lineHeight = 0;
    }
    feed(std::max(height, advance));
    for (const QString& note : std::exchange(m_notes, {}))
        drawNote(note);
}

void ReceiptRenderer::feed(int dots) {
    if (dots <= 0)
        return;
    ensureCanvas(m_y + dots + BottomMargin);
    m_y += dots;
    changed();
    if (m_y > MaxReceiptDots)
        finishReceipt(QStringLiteral("续"));
}

void ReceiptRenderer::tab() {
    const int column =
        ((m.fontB ? GlyphCache::FontBWidth : GlyphCache::HalfWidth) + m.rightSpacing) * m.widthMul;
    int target = -1;
    if (m.defaultTabs) {
        target = (m_x / (8 * column) + 1) * 8 * column;
    } else {
        for (int stop : m.tabs) {
            if (stop * column > m_x) {
                target = stop * column;
                break;
            }
        }
    }
    if (target > m_x && target < areaWidth())
        m_x = target;
}

void ReceiptRenderer::placeBlock(const QImage& block) {
    if (!m_line.empty())
        printLine(0);
    if (block.width() > areaWidth()) {
        annotate(QStringLiteral("超出打印宽度（%1 点 > %2 点），未打印")
                     .arg(block.width())
                     .arg(areaWidth()));
        return;
    }
    ensureCanvas(m_y + block.height() + BottomMargin);
    const int room = areaWidth() - block.width();
    const int offset = m.justify == 1 ? room / 2 : m.justify == 2 ? room : 0;
    {
        QPainter p(&m_canvas);
        p.drawImage(areaLeft() + offset, m_y, block);
    }
    feed(block.height());
}

void ReceiptRenderer::annotate(const QString& note) {
    if (m_line.empty())
        drawNote(note);
    else
        m_notes.push_back(note);
}

void ReceiptRenderer::drawNote(const QString& note) {
    const PaperGeometry g = geometryOf(m_paper);
    m_hasNotes = true;
    ensureCanvas(m_y + NoteHeight + BottomMargin);
    {
        QPainter p(&m_canvas);
        p.fillRect(0, m_y + 1, g.paperDots, NoteHeight - 2, NotePaper);
        p.setPen(NoteInk);
        p.setFont(m_noteFont);
        p.drawText(QRect(areaLeft(), m_y, g.printDots, NoteHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, note);
    }
    feed(NoteHeight);
}

void ReceiptRenderer::barcode(const DecodedItem& item) {
    const auto type = symbologyOf(item.param(0));
    if (!type) {
        annotate(QStringLiteral("不支持的条码类型 m=%1").arg(item.param(0)));
        return;
    }
    const EncodedSymbol symbol = encodeBarcode(*type, barcodeData(item));
    if (symbol.modules.empty()) {
        annotate(QStringLiteral("%1 条码无法编码：%2")
                     .arg(QString::fromLatin1(symbologyName(*type)), symbol.error));
        return;
    }
    const int module = m.barcodeModule;
    const int barsWidth = symbol.modules.width * module;
    const int barsHeight = m.barcodeHeight;

    // The readable line, in the HRI font, centred on the bars.
    GlyphStyle hriStyle;
    hriStyle.fontB = m.hriFontB;
    const QByteArray hri = symbol.text.toLatin1();
    std::vector<QImage> glyphs; // copies: the cache may move its images as it grows
    int hriWidth = 0;
    int hriHeight = 0;
    for (char c : hri) {
        glyphs.push_back(m_glyphs.glyph(static_cast<std::uint8_t>(c), false, true, hriStyle));
        hriWidth += glyphs.back().width();
        hriHeight = std::max(hriHeight, glyphs.back().height());
    }
    const bool above = (m.hriPosition & 1) != 0 && !glyphs.empty();
    const bool below = (m.hriPosition & 2) != 0 && !glyphs.empty();
    const int width = std::max(barsWidth, above || below ? hriWidth : 0);
    const int barsTop = above ? hriHeight + 2 : 0;
    QImage block = transparentImage(width, barsTop + barsHeight + (below ? hriHeight + 2 : 0));
    QPainter p(&block);
    const int barsLeft = (width - barsWidth) / 2;
    for (int x = 0; x < symbol.modules.width; ++x) {
        if (symbol.modules.at(x, 0))
            p.fillRect(barsLeft + x * module, barsTop, module, barsHeight, Qt::black);
    }
    const auto drawHri = [&](int top) {
        int x = (width - hriWidth) / 2;
        for (const QImage& g : glyphs) {
            p.drawImage(x, top, g);
            x += g.width();
        }
    };
    if (above)
        drawHri(0);
    if (below)
        drawHri(barsTop + barsHeight + 2);
    p.end();
    placeBlock(block);
}

void ReceiptRenderer::symbol2D(const DecodedItem& item) {
    const std::uint8_t cn = item.param(2);
    const std::uint8_t fn = item.param(3);
    if (cn != 49) {
        if (fn == 81)
            annotate(QStringLiteral("二维码 cn=%1 未模拟，未打印").arg(cn));
        return;
    }
    switch (fn) {
    case 67:
        m.qrModule = std::clamp<int>(item.param(4), 1, 16);
        break;
    case 69:
        m.qrLevel = std::clamp(item.param(4) - 47, 1, 4);
        break;
    case 80:
        m_qrData.assign(item.body().substr(std::min<std::size_t>(5, item.body().size())));
        break;
    case 81: {
        const EncodedSymbol symbol = encodeQr(m_qrData, m.qrLevel);
        if (symbol.modules.empty()) {
            annotate(QStringLiteral("QR 码无法编码：%1").arg(symbol.error));
            return;
        }
        placeBlock(scaledModules(symbol.modules, m.qrModule, m.qrModule));
        break;
    }
    default:
        break;
    }
}

void ReceiptRenderer::raster(const DecodedItem& item) {
    if (item.truncated()) {
        annotate(QStringLiteral("光栅位图数据过大，未打印"));
        return;
    }
    const int mode = item.param(0) & 3;
    const std::string_view body = item.body();
    const int bytesPerRow = static_cast<int>(le16(body, 1));
    const int rows = static_cast<int>(le16(body, 3));
    if (bytesPerRow == 0 || rows == 0)
        return;
    const int sx = (mode & 1) != 0 ? 2 : 1;
    const int sy = (mode & 2) != 0 ? 2 : 1;
    if (rows * sy > MaxReceiptDots) {
        annotate(QStringLiteral("光栅位图高 %1 点，超出一张小票，未打印").arg(rows * sy));
        return;
    }
    if (bytesPerRow * 8 * sx > areaWidth()) {
        annotate(
            QStringLiteral("光栅位图宽 %1 点，超出打印宽度，未打印").arg(bytesPerRow * 8 * sx));
        return;
    }
    QImage image = transparentImage(bytesPerRow * 8 * sx, rows * sy);
    rasterRows(image, body.substr(5), bytesPerRow, rows, sx, sy);
    placeBlock(image);
}

void ReceiptRenderer::bitImage(const DecodedItem& item) {
    const std::uint8_t mode = item.param(0);
    const std::string_view body = item.body();
    const int columns = static_cast<int>(le16(body, 1));
    const bool tall = mode == 32 || mode == 33;
    const int bytesPerColumn = tall ? 3 : 1;
    const int sx = (mode == 0 || mode == 32) ? 2 : 1; // single density: each column twice as wide
    const int sy = tall ? 1 : 3;                      // 8-dot images stand as tall as 24 dots
    if (columns == 0)
        return;
    QImage image = transparentImage(columns * sx, bytesPerColumn * 8 * sy);
    const std::string_view data = body.substr(3);
    for (int c = 0; c < columns; ++c) {
        for (int k = 0; k < bytesPerColumn; ++k) {
            const std::size_t at = static_cast<std::size_t>(c) * bytesPerColumn + k;
            if (at >= data.size())
                break;
            const auto byte = static_cast<std::uint8_t>(data[at]);
            for (int bit = 0; bit < 8; ++bit) {
                if ((byte & (0x80 >> bit)) == 0)
                    continue;
                const int y = (k * 8 + bit) * sy;
                for (int dy = 0; dy < sy; ++dy) {
                    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y + dy));
                    for (int dx = 0; dx < sx; ++dx)
                        line[c * sx + dx] = Black;
                }
            }
        }
    }
    putElement(image, image.width(), 0, 0);
}

void ReceiptRenderer::graphics(const DecodedItem& item) {
    const std::size_t lengthBytes = item.desc->params == Params::Length32 ? 4 : 2;
    const std::string_view body = item.body();
    if (body.size() < lengthBytes + 2)
        return;
    const auto fn = static_cast<std::uint8_t>(body[lengthBytes + 1]);
    if (fn == 2 || fn == 50) {
        if (!m_graphics.isNull())
            placeBlock(m_graphics);
        return;
    }
    if (fn != 112 || body.size() < lengthBytes + 10)
        return;
    if (item.truncated()) {
        annotate(QStringLiteral("图形数据过大，未存储"));
        return;
    }
    const std::size_t at = lengthBytes + 2; // a bx by c xL xH yL yH
    const int sx = std::clamp<int>(static_cast<std::uint8_t>(body[at + 1]), 1, 2);
    const int sy = std::clamp<int>(static_cast<std::uint8_t>(body[at + 2]), 1, 2);
    const int width = static_cast<int>(le16(body, at + 4));
    const int height = static_cast<int>(le16(body, at + 6));
    if (width == 0 || height == 0)
        return;
    if (width * sx > areaWidth() || height * sy > MaxReceiptDots) {
        annotate(QStringLiteral("图形 %1 × %2 点，超出打印范围，未存储")
                     .arg(width * sx)
                     .arg(height * sy));
        return;
    }
    m_graphics = transparentImage(width * sx, height * sy);
    rasterRows(m_graphics, body.substr(at + 8), (width + 7) / 8, height, sx, sy);
}

void ReceiptRenderer::testPrint(const DecodedItem& item) {
    const int pattern = item.param(3);
    annotate(QStringLiteral("自检打印（图案 %1）").arg(pattern));
    if (pattern != 4)
        return;
    // What a head-parameter sheet shows: one sample line per selectable value.
    for (int value = 0; value <= 13; ++value) {
        text(codepage::fromUnicode(
            QStringLiteral("n=%1  打印效果 ■■■■ ABCabc123").arg(value, 2, 10, QLatin1Char('0'))));
        printLine(m.lineSpacing);
    }
}

void ReceiptRenderer::cut(const QString& ending, int feedDots) {
    if (!m_line.empty())
        printLine(0);
    // A cut on paper with nothing on it (a second cut, a cut after a status
    // request) makes no blank receipt.
    if (hasOpenReceipt())
        feed(feedDots);
    finishReceipt(ending);
}

void ReceiptRenderer::finishReceipt(const QString& ending) {
    if (hasOpenReceipt()) {
        Receipt receipt;
        receipt.image = m_hasNotes ? m_canvas.copy(0, 0, m_canvas.width(), m_y + BottomMargin)
                                   : greyCopy(m_canvas, m_y + BottomMargin);
        receipt.firstOffset = m_firstOffset;
        receipt.endOffset = m_lastEnd;
        receipt.ending = ending;
        m_finished.push_back(std::move(receipt));
    }
    m_offsetSet = false;
    m_hasNotes = false;
    startPaper();
    changed();
}

void ReceiptRenderer::startPaper() {
    // The canvas is kept from receipt to receipt (a fresh one costs more than
    // wiping the part that was used).
    const int used = std::min(m_y + BottomMargin, m_canvas.height());
    m_y = TopMargin;
    if (m_paper != m_nextPaper || m_canvas.isNull()) {
        m_paper = m_nextPaper;
        m_canvas = QImage();
        ensureCanvas(InitialCanvasDots);
        return;
    }
    for (int y = 0; y < used; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(m_canvas.scanLine(y)), m_canvas.width(),
                    QRgb{0xFFFFFFFF});
}

std::vector<Receipt> ReceiptRenderer::takeFinished() {
    return std::exchange(m_finished, {});
}

QImage ReceiptRenderer::openImage() const {
    if (!hasOpenReceipt())
        return {};
    return m_canvas.copy(0, 0, m_canvas.width(), openHeight());
}

void ReceiptRenderer::finishOpen(std::vector<Receipt>& into) {
    if (!m_line.empty())
        printLine(0);
    for (const QString& note : std::exchange(m_notes, {}))
        drawNote(note);
    finishReceipt(QString());
    for (Receipt& r : takeFinished())
        into.push_back(std::move(r));
}

void ReceiptRenderer::clear() {
    m = Modes{};
    m_line.clear();
    m_notes.clear();
    m_x = 0;
    m_lineHeight = 0;
    m_qrData.clear();
    m_graphics = QImage();
    m_downloaded = QImage();
    m_finished.clear();
    m_offsetSet = false;
    m_hasNotes = false;
    m_canvas = QImage();
    startPaper();
    changed();
}

} // namespace posprinter
