#pragma once

// Byte streams the kit's tools send, as test data for the virtual printer:
// the console's two sample receipts and barcode test, the black-mark test
// print and the head-adjustment writes, and a mixed stream with everything.

#include "printer/render/receiptrenderer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

namespace printertest {

// 22 lines of GBK text, each ending in LF: 656 and 894 bytes.
[[nodiscard]] std::string sample58();
[[nodiscard]] std::string sample80();
// The console's barcode test: GS h 120, GS w 2, GS H 2, LF, GS k m n data, LF.
[[nodiscard]] std::string barcodeTest(bool code128, const std::string& content);
// Halmbrook's test print, all three writes in a row.
[[nodiscard]] std::string blackMarkTestPrint();
// Ostrelle's parameter-effect print, parameter 4 and effect test on a serial line.
[[nodiscard]] std::string headAdjustment();
// A receipt with modes, a QR code, a CODE128 barcode, a raster logo and `lines`
// lines of items, ended by a cut.
[[nodiscard]] std::string richReceipt(int lines);

// Decodes and prints a whole stream; a receipt left open at the end is included.
[[nodiscard]] std::vector<posprinter::Receipt> renderAll(const std::string& stream,
                                                         posprinter::PaperWidth paper);

// The image against the PNG of that name under tests/data/printer: the same
// size, and at most a few pixels (0.3 %) apart by more than a third of the grey
// scale. With POSKIT_UPDATE_GOLDEN set the PNG is written instead.
[[nodiscard]] ::testing::AssertionResult matchesGolden(const QImage& image,
                                                       const std::string& name);

} // namespace printertest
