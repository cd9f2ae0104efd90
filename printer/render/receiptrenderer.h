#pragma once

// The paper: decoded items in, receipts out. Text goes into a line buffer and
// is printed at LF (or when the line is full) with the print modes of each
// character; barcodes, QR codes and raster images are printed as blocks; a cut
// ends the receipt. Events a paper roll cannot show by itself (a drawer pulse,
// a black-mark feed, settings sent to the head) are noted on the paper in blue.

#include "printer/core/decoder.h"
#include "printer/render/glyphs.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace posprinter {

enum class PaperWidth { Mm58, Mm80 };

struct PaperGeometry {
    int paperDots; // the width of the paper, 8 dots per mm
    int printDots; // the printable width
};
[[nodiscard]] PaperGeometry geometryOf(PaperWidth paper);

struct Receipt {
    QImage image;                  // grey, or RGB when it carries notes
    std::uint64_t firstOffset = 0; // stream offsets of the items it holds
    std::uint64_t endOffset = 0;
    QString ending; // "全切", "半切", "续" (too long, goes on), or empty (not cut)
};

class ReceiptRenderer {
public:
    explicit ReceiptRenderer(PaperWidth paper = PaperWidth::Mm80);

    // The paper of the next receipt (at once when nothing is printed yet).
    void setPaper(PaperWidth paper);
    [[nodiscard]] PaperWidth paper() const { return m_paper; }

    void render(const DecodedItem& item);
    // Receipts finished since the last call, oldest first.
    [[nodiscard]] std::vector<Receipt> takeFinished();

    // The receipt being printed.
    [[nodiscard]] bool hasOpenReceipt() const { return m_y > TopMargin || !m_line.empty(); }
    // Its canvas: rows [0, openHeight()) are the paper so far.
    [[nodiscard]] const QImage& canvas() const { return m_canvas; }
    [[nodiscard]] int openHeight() const { return m_y + BottomMargin; }
    [[nodiscard]] QImage openImage() const;
    // Ends the open receipt without a cut (what is on the paper so far, the
    // line buffer printed); nothing when nothing was printed.
    void finishOpen(std::vector<Receipt>& into);

    // Discards the open receipt and returns to the state after power-on.
    void clear();
    // Changes whenever the paper changes, so a view knows when to repaint.
    [[nodiscard]] std::uint64_t revision() const { return m_revision; }

    static constexpr int TopMargin = 16;
    static constexpr int BottomMargin = 24;
    static constexpr int DefaultLineSpacing = 30;
    // A receipt that grows past this without a cut is ended and goes on in the next.
    static constexpr int MaxReceiptDots = 20000;
    static constexpr int InitialCanvasDots = 2048;

private:
    struct Modes {
        bool fontB = false;
        bool bold = false;
        bool doubleStrike = false;
        int underline = 0; // dots
        int chineseUnderline = 0;
        int widthMul = 1;
        int heightMul = 1;
        bool chineseDoubleWidth = false;
        bool chineseDoubleHeight = false;
        bool reverse = false;
        int justify = 0; // 0 left, 1 centre, 2 right
        int lineSpacing = DefaultLineSpacing;
        int rightSpacing = 0;
        int chineseLeft = 0;
        int chineseRight = 0;
        bool chinese = true;
        int leftMargin = 0;
        int areaWidth = -1;    // -1: the whole printable width
        std::vector<int> tabs; // columns; empty: every 8
        bool defaultTabs = true;
        int barcodeHeight = 162;
        int barcodeModule = 3;
        int hriPosition = 0; // bit 0 above, bit 1 below
        bool hriFontB = false;
        int qrModule = 3;
        int qrLevel = 1; // L
    };

    struct Element {
        int x = 0;   // where its room in the line starts
        int gap = 0; // room left of the image (left spacing of two-byte characters)
        QImage image;
        int underline = 0; // dots
        int width = 0;     // its room in the line, spacing included
    };

    void text(std::string_view bytes);
    void putCharacter(std::uint16_t code, bool pair);
    void putElement(const QImage& image, int advance, int gap, int underline);
    void drawNote(const QString& note);
    // Prints the line buffer and feeds max(advance, line height).
    void printLine(int advance);
    void feed(int dots);
    void placeBlock(const QImage& block);
    void annotate(const QString& note);
    void barcode(const DecodedItem& item);
    void symbol2D(const DecodedItem& item);
    void raster(const DecodedItem& item);
    void bitImage(const DecodedItem& item);
    void graphics(const DecodedItem& item);
    void testPrint(const DecodedItem& item);
    void tab();
    void cut(const QString& ending, int feedDots);
    void finishReceipt(const QString& ending);
    void ensureCanvas(int height);
    void startPaper();
    void changed() { ++m_revision; }

    [[nodiscard]] int areaWidth() const;
    [[nodiscard]] int areaLeft() const; // from the paper's left edge
    [[nodiscard]] GlyphStyle style(bool pair) const;

    PaperWidth m_paper;
    PaperWidth m_nextPaper;
    Modes m;
    GlyphCache m_glyphs;
    QImage m_canvas;
    int m_y = TopMargin;
    std::vector<Element> m_line;
    int m_x = 0; // the next position in the line, from the print area's left
    int m_lineHeight = 0;
    std::string m_qrData;
    QImage m_graphics;            // GS ( L stored graphics
    QImage m_downloaded;          // GS * image
    std::vector<QString> m_notes; // wait for the line buffer to be printed
    QFont m_noteFont;
    std::vector<Receipt> m_finished;
    std::uint64_t m_firstOffset = 0;
    std::uint64_t m_lastEnd = 0;
    bool m_offsetSet = false;
    bool m_hasNotes = false; // blue notes on this receipt: it keeps its colours
    std::uint64_t m_revision = 0;
};

} // namespace posprinter
