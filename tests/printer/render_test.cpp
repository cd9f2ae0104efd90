// The paper: golden images of what the kit's tools print, and the rules of
// the line buffer, cuts and paper width that the images depend on.

#include "printer/render/receiptrenderer.h"
#include "tests/printer/receipts.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using posprinter::PaperWidth;
using posprinter::Receipt;
using printertest::renderAll;

TEST(Renderer, TheToolsPrintsMatchTheirGoldenImages) {
    struct Golden {
        const char* name;
        std::string stream;
        PaperWidth paper;
    };
    const Golden goldens[] = {
        {"sample58.png", printertest::sample58(), PaperWidth::Mm58},
        {"sample80.png", printertest::sample80(), PaperWidth::Mm80},
        {"code39.png", printertest::barcodeTest(false, "0123456789"), PaperWidth::Mm80},
        {"code128.png", printertest::barcodeTest(true, "0123456789"), PaperWidth::Mm80},
        {"blackmark.png", printertest::blackMarkTestPrint(), PaperWidth::Mm80},
        {"headadjust.png", printertest::headAdjustment(), PaperWidth::Mm80},
        {"rich.png", printertest::richReceipt(12), PaperWidth::Mm80},
    };
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.name);
        const std::vector<Receipt> receipts = renderAll(g.stream, g.paper);
        ASSERT_EQ(receipts.size(), 1u);
        EXPECT_TRUE(printertest::matchesGolden(receipts[0].image, g.name));
    }
}

TEST(Renderer, TheSamplesAreTheirByteCountsAndFillTheirLines) {
    EXPECT_EQ(printertest::sample58().size(), 656u);
    EXPECT_EQ(printertest::sample80().size(), 894u);
    // 22 lines at the default spacing: nothing wrapped, nothing lost.
    for (const auto& [stream, paper] : {std::pair{printertest::sample58(), PaperWidth::Mm58},
                                        std::pair{printertest::sample80(), PaperWidth::Mm80}}) {
        const auto receipts = renderAll(stream, paper);
        ASSERT_EQ(receipts.size(), 1u);
        EXPECT_EQ(receipts[0].image.height(), posprinter::ReceiptRenderer::TopMargin + 22 * 30 +
                                                  posprinter::ReceiptRenderer::BottomMargin);
        EXPECT_EQ(receipts[0].image.width(), posprinter::geometryOf(paper).paperDots);
    }
}

// The leftmost and rightmost inked columns of an image, -1 when blank.
std::pair<int, int> inkColumns(const QImage& image) {
    int left = -1;
    int right = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

TEST(Renderer, CutsEndReceiptsAndEmptyCutsMakeNone) {
    const auto receipts = renderAll("A\n\x1DV\x00\x1DVB\x00"
                                    "B\n\x1BiC\n"s,
                                    PaperWidth::Mm80);
    ASSERT_EQ(receipts.size(), 3u);
    EXPECT_EQ(receipts[0].ending, QStringLiteral("全切"));
    EXPECT_EQ(receipts[1].ending, QStringLiteral("半切"));
    EXPECT_EQ(receipts[2].ending, QString()); // never cut: what is on the paper at the end
    EXPECT_EQ(receipts[0].firstOffset, 0u);
    EXPECT_EQ(receipts[1].firstOffset, 9u); // the empty cut belongs to the first
}

TEST(Renderer, LinesWrapJustifyAndEnlarge) {
    const int left = (640 - 576) / 2;
    // 48 half-width characters fill an 80 mm line; the 49th starts a new one.
    const auto full = renderAll(std::string(49, 'X') + "\n", PaperWidth::Mm80);
    EXPECT_EQ(full[0].image.height(), 16 + 2 * 30 + 24);
    // Centred: the ink sits in the middle of the print area.
    const auto centred = renderAll("\x1B"
                                   "a\x01XXXX\n",
                                   PaperWidth::Mm80);
    const auto [l, r] = inkColumns(centred[0].image);
    EXPECT_NEAR((l + r) / 2.0, left + 576 / 2.0, 3.0);
    // Double width and height: twice the room, and the line as tall as its letters.
    const auto big = renderAll("\x1D!\x11XXXX\n", PaperWidth::Mm80);
    EXPECT_EQ(big[0].image.height(), 16 + 48 + 24);
    const auto [bl, br] = inkColumns(big[0].image);
    EXPECT_GT(br - bl, 4 * 24 - 12);
    EXPECT_LT(br - bl, 4 * 24 + 1);
}

TEST(Renderer, UnknownCommandsAndInvalidBarcodesLeaveTheRestPrinted) {
    // An unknown command between two lines, and a CODE39 with characters it cannot hold.
    const std::string stream = "A\n\x1B\x7F\x1D(Z\x01\x00\x00"
                               "B\n\x1Dk\x45\x03"
                               "a~b\n"s;
    const auto receipts = renderAll(stream, PaperWidth::Mm80);
    ASSERT_EQ(receipts.size(), 1u);
    // Two text lines, the note on the barcode and the LF after it.
    EXPECT_EQ(receipts[0].image.height(), 16 + 30 + 30 + 26 + 30 + 24);
}

TEST(Renderer, PaperWidthChangesWithTheNextReceipt) {
    posprinter::Decoder decoder;
    posprinter::ReceiptRenderer renderer(PaperWidth::Mm80);
    const auto feed = [&](const std::string& bytes) {
        decoder.feed(bytes, [&](posprinter::DecodedItem&& item) { renderer.render(item); });
    };
    feed("A\n");
    renderer.setPaper(PaperWidth::Mm58);
    feed("B\n\x1DV\x00"s);
    feed("C\n\x1DV\x00"s);
    const auto receipts = renderer.takeFinished();
    ASSERT_EQ(receipts.size(), 2u);
    EXPECT_EQ(receipts[0].image.width(), 640);
    EXPECT_EQ(receipts[1].image.width(), 464);
}

} // namespace
