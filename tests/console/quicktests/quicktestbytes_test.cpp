// The quick tests' bytes apart from the window: the two sample receipts, the
// barcode test's writes, the print file, and the named commands they share
// with the send engine.
#include "console/quicktests/quicktestbytes.h"
#include "console/send/hextext.h"
#include "console/send/printercommands.h"
#include "tests/console/quicktests/golden.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using quicktests::Paper;
using quicktests::PrintFile;
using quicktests::Writes;

// Each line's length in GBK bytes fixes its runs of spaces; with 22 line
// feeds the receipts are 656 and 894 bytes.
TEST(SampleReceipts, EveryLineHasItsByteCountAndEachReceiptItsTotal) {
    struct Case {
        Paper paper;
        std::array<std::size_t, quicktests::SampleLineCount> lineBytes;
        std::size_t total;
        const std::string& golden;
    };
    const Case cases[] = {
        {Paper::Mm58,
         {32, 32, 32, 32, 24, 32, 24, 32, 24, 32, 24, 32, 31, 31, 31, 21, 26, 27, 28, 23, 32, 32},
         656,
         golden::sample58()},
        {Paper::Mm80,
         {42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 31, 31, 31, 23, 42, 42},
         894,
         golden::sample80()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paper == Paper::Mm58 ? "58/76 mm" : "80 mm");
        const auto& lines = quicktests::sampleLines(c.paper);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].size(), c.lineBytes[i]) << "line " << i + 1;
            EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos) << "line " << i + 1;
        }
        const std::string& receipt = quicktests::sampleReceipt(c.paper);
        EXPECT_EQ(receipt.size(), c.total);
        EXPECT_EQ(std::count(receipt.begin(), receipt.end(), '\n'), 22);
        EXPECT_EQ(receipt.back(), '\n');
        ASSERT_EQ(c.golden.size(), c.total);
        EXPECT_EQ(receipt, c.golden); // GBK, byte for byte
    }
}

TEST(BarcodeWrites, SetUpThenOneCommandWithItsDataAndALineFeed) {
    const Writes setUp = {"\x1D\x68\x78", "\x1D\x77\x02", "\x1D\x48\x02", "\x0A"};
    const auto command = [](char m, unsigned char n, const std::string& data) {
        return std::string{'\x1D', '\x6B', m, static_cast<char>(n)} + data + '\x0A';
    };
    const std::string code39Max(255, '7');
    const std::string code128Max(253, 'a');
    struct Case {
        const char* name;
        int type;
        std::string content;
        std::optional<std::string> last; // the GS k write; nothing when refused
    };
    const Case cases[] = {
        {"empty CODE39", 0, "", std::string("\x1D\x6B\x45\x00\x0A", 5)},
        {"empty CODE128", 1, "", std::string("\x1D\x6B\x49\x02{A\x0A")},
        {"CODE128 takes code set A first", 1, "0123456789",
         std::string("\x1D\x6B\x49\x0C{A0123456789\x0A")},
        {"CODE39 as typed", 0, "0123456789", command('\x45', 10, "0123456789")},
        {"any other type index is CODE128", 7, "X", std::string("\x1D\x6B\x49\x03{AX\x0A")},
        {"bytes of any kind pass", 0, "\xB2\xE2\x20*", command('\x45', 4, "\xB2\xE2\x20*")},
        {"255 bytes of CODE39", 0, code39Max, command('\x45', 255, code39Max)},
        {"256 bytes of CODE39", 0, code39Max + "7", std::nullopt},
        {"253 bytes of CODE128 and its prefix", 1, code128Max,
         command('\x49', 255, "{A" + code128Max)},
        {"254 bytes of CODE128 and its prefix", 1, code128Max + "a", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto writes = quicktests::barcodeWrites(c.type, c.content);
        ASSERT_EQ(writes.has_value(), c.last.has_value());
        if (!writes)
            continue;
        Writes expected = setUp;
        expected.push_back(*c.last);
        EXPECT_EQ(*writes, expected);
    }
}

TEST(PrintFile, IsReadAsStoredBytesWithinItsLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* name;
        std::optional<std::string> content; // nothing: no such file
        std::int64_t limit;
        PrintFile::Status status;
    };
    const Case cases[] = {
        {"NULs, line ends and bytes that are not GBK", golden::oddFile(),
         quicktests::PrintFileLimit, PrintFile::Status::Ok},
        {"empty", std::string(), quicktests::PrintFileLimit, PrintFile::Status::Ok},
        {"missing", std::nullopt, quicktests::PrintFileLimit, PrintFile::Status::CannotOpen},
        {"as large as the limit", std::string(10, 'x'), 10, PrintFile::Status::Ok},
        {"one byte over the limit", std::string(11, 'x'), 10, PrintFile::Status::TooLarge},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::number(++n));
        if (c.content) {
            ASSERT_TRUE(golden::writeFile(path, *c.content));
        }
        const PrintFile file = quicktests::readPrintFile(path, c.limit);
        EXPECT_EQ(file.status, c.status);
        EXPECT_EQ(file.bytes, c.status == PrintFile::Status::Ok ? *c.content : std::string());
    }
    // A folder is no file to print.
    EXPECT_EQ(quicktests::readPrintFile(dir.path()).status, PrintFile::Status::CannotOpen);
}

// The settings files keep the cut as hex text; the table's cut and that text
// must stay the same bytes.
TEST(PrinterCommands, TheDefaultCutIsTheTablesCutAsTheHexTextTheSettingsKeep) {
    EXPECT_EQ(printercommands::DefaultCutCommand, "1d 56 42 11");
    const auto cut = printercommands::feedAndCut(0x11);
    EXPECT_EQ(HexText::toBytes(printercommands::DefaultCutCommand),
              std::string(cut.begin(), cut.end()));
}
