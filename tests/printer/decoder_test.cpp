// The decoder on a table of streams: each command of the table the tools and
// common clients send, every split of each stream into two chunks and byte by
// byte, unknown commands, truncated tails and commands too large to hold.

#include "printer/core/decoder.h"
#include "printer/core/describe.h"
#include "tests/printer/receipts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using posprinter::Cmd;
using posprinter::DecodedItem;
using posprinter::Decoder;
using Kind = DecodedItem::Kind;

struct Expected {
    Kind kind;
    std::string name; // itemName(): "ESC @", "文本", "未知", ...
    std::uint64_t length;
};

std::vector<DecodedItem> decodeChunks(const std::vector<std::string>& chunks, bool finish) {
    Decoder decoder;
    std::vector<DecodedItem> items;
    const auto sink = [&](DecodedItem&& item) {
        // Text may arrive in pieces; the paper sees one run.
        if (!items.empty() && item.kind == Kind::Text && items.back().kind == Kind::Text) {
            items.back().bytes += item.bytes;
            items.back().length += item.length;
            return;
        }
        items.push_back(std::move(item));
    };
    for (const std::string& chunk : chunks)
        decoder.feed(chunk, sink);
    if (finish)
        decoder.finish(sink);
    return items;
}

// Every byte in exactly one item, in order, and the item holds those bytes.
void expectTiles(const std::vector<DecodedItem>& items, const std::string& stream) {
    std::uint64_t at = 0;
    for (const DecodedItem& item : items) {
        ASSERT_EQ(item.offset, at);
        ASSERT_GT(item.length, 0u);
        if (!item.truncated())
            EXPECT_EQ(item.bytes, stream.substr(at, item.length));
        else
            EXPECT_EQ(item.bytes, stream.substr(at, item.bytes.size()));
        at += item.length;
    }
    EXPECT_EQ(at, stream.size());
}

std::string describe(const std::vector<DecodedItem>& items) {
    std::string out;
    for (const DecodedItem& i : items)
        out += posprinter::itemName(i).toStdString() + "/" + std::to_string(i.length) + " ";
    return out;
}

void expectItems(const std::vector<DecodedItem>& items, const std::vector<Expected>& expected) {
    ASSERT_EQ(items.size(), expected.size()) << describe(items);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].kind, expected[i].kind) << "item " << i << ": " << describe(items);
        EXPECT_EQ(posprinter::itemName(items[i]).toStdString(), expected[i].name) << "item " << i;
        EXPECT_EQ(items[i].length, expected[i].length) << "item " << i << ": " << describe(items);
    }
}

struct Case {
    const char* what;
    std::string stream;
    std::vector<Expected> items;
};

const Kind C = Kind::Command;
const Kind T = Kind::Text;
const Kind U = Kind::Unknown;

std::vector<Case> cases() {
    return {
        {"initialize, text, line feed",
         "\x1B\x40"
         "AB\n",
         {{C, "ESC @", 2}, {T, "文本", 2}, {C, "LF", 1}}},
        {"GBK text keeps its pairs",
         "\xD6\xD0\xCE\xC4\r\n\t",
         {{T, "文本", 4}, {C, "CR", 1}, {C, "LF", 1}, {C, "HT", 1}}},
        {"print modes",
         "\x1B!\x38\x1B"
         "E\x01\x1B-\x02\x1B"
         "a\x01\x1D!\x11\x1BM\x01",
         {{C, "ESC !", 3},
          {C, "ESC E", 3},
          {C, "ESC -", 3},
          {C, "ESC a", 3},
          {C, "GS !", 3},
          {C, "ESC M", 3}}},
        {"feeds and spacing",
         "\x1B"
         "d\x03\x1BJ\x28\x1B"
         "3\x18\x1B"
         "2\x1B \x02",
         {{C, "ESC d", 3}, {C, "ESC J", 3}, {C, "ESC 3", 3}, {C, "ESC 2", 2}, {C, "ESC SP", 3}}},
        {"every form of GS V",
         "\x1DV\x00\x1DV\x01\x1DV0\x1DV1\x1DVA\x05\x1DVB\x11\x1DVa\x02"s,
         {{C, "GS V", 3},
          {C, "GS V", 3},
          {C, "GS V", 3},
          {C, "GS V", 3},
          {C, "GS V", 4},
          {C, "GS V", 4},
          {C, "GS V", 4}}},
        {"the console's drawer pulse", "\x1Bp\x00\xE0\xF0"s, {{C, "ESC p", 5}}},
        {"the console's CODE39 test",
         printertest::barcodeTest(false, "0123456789"),
         {{C, "GS h", 3},
          {C, "GS w", 3},
          {C, "GS H", 3},
          {C, "LF", 1},
          {C, "GS k", 14},
          {C, "LF", 1}}},
        {"the console's CODE128 test",
         printertest::barcodeTest(true, "0123456789"),
         {{C, "GS h", 3},
          {C, "GS w", 3},
          {C, "GS H", 3},
          {C, "LF", 1},
          {C, "GS k", 16},
          {C, "LF", 1}}},
        {"barcodes ended by NUL, and the other systems",
         "\x1Dk\x04"
         "ABC\x00\x1Dk\x43\x0C"
         "690123456789\x1Dk\x41\x0B"
         "01234567890"
         "\x1Dk\x46\x04"
         "1234\x1Dk\x47\x06"
         "A1234B\x1D"
         "f\x01"s,
         {{C, "GS k", 7},
          {C, "GS k", 16},
          {C, "GS k", 15},
          {C, "GS k", 8},
          {C, "GS k", 10},
          {C, "GS f", 3}}},
        {"QR code: model, size, level, store, print",
         "\x1D(k\x04\x00\x31\x41\x32\x00\x1D(k\x03\x00\x31\x43\x06\x1D(k\x03\x00\x31\x45\x31"
         "\x1D(k\x06\x00\x31\x50\x30"
         "abc\x1D(k\x03\x00\x31\x51\x30"s,
         {{C, "GS ( k", 9},
          {C, "GS ( k", 8},
          {C, "GS ( k", 8},
          {C, "GS ( k", 11},
          {C, "GS ( k", 8}}},
        {"the black-mark test print",
         printertest::blackMarkTestPrint(),
         {{C, "GS FF", 2},
          {T, "文本", 12},
          {C, "LF", 1},
          {C, "LF", 1},
          {C, "LF", 1},
          {C, "GS V", 4}}},
        {"the black-mark position commands",
         "\x1D(F\x04\x00\x01\x00\x9F\x00\x1D(F\x04\x00\x02\x00\xE3\x00"s,
         {{C, "GS ( F", 9}, {C, "GS ( F", 9}}},
        {"head adjustment commands",
         "\x1D(A\x02\x00\x00\x04\n\x1D"
         "C\x04\n"s,
         {{C, "GS ( A", 7}, {C, "LF", 1}, {C, "GS C", 3}, {C, "LF", 1}}},
        {"raster image 2 x 3 bytes",
         "\x1Dv0\x00\x02\x00\x03\x00"
         "abcdef!"s,
         {{C, "GS v 0", 14}, {T, "文本", 1}}},
        {"bit images, 24-dot and 8-dot",
         "\x1B*\x21\x02\x00"
         "abcdef\x1B*\x00\x03\x00xyz"s,
         {{C, "ESC *", 11}, {C, "ESC *", 8}}},
        {"Chinese mode and status requests",
         "\x1C&\x1C.\x10\x04\x01\x1DI\x01\x1Dr\x01",
         {{C, "FS &", 2}, {C, "FS .", 2}, {C, "DLE EOT", 3}, {C, "GS I", 3}, {C, "GS r", 3}}},
        {"tab positions up to NUL",
         "\x1B"
         "D\x08\x10\x00X"s,
         {{C, "ESC D", 5}, {T, "文本", 1}}},
        {"user characters, walked block by block",
         "\x1B&\x03\x41\x42\x02"
         "123456\x01"
         "789Z",
         {{C, "ESC &", 16}, {T, "文本", 1}}},
        {"NV images",
         "\x1Cq\x01\x01\x00\x01\x00"
         "12345678Z"s,
         {{C, "FS q", 15}, {T, "文本", 1}}},
        {"graphics with a long length",
         "\x1D"
         "8L\x03\x00\x00\x00\x30\x32\x00Z"s,
         {{C, "GS 8 L", 10}, {T, "文本", 1}}},
        {"unknown commands do not stop the stream",
         "\x01\x1B\x7FZ\x1B\x1B@\x1D(Z\x02\x00\x01\x02Q\x1BQ\x01"s,
         {{U, "未知", 1},
          {U, "未知", 2},
          {T, "文本", 1},
          {U, "未知", 1},
          {C, "ESC @", 2},
          {U, "GS (", 7},
          {T, "文本", 1},
          {U, "未知", 2},
          {U, "未知", 1}}},
    };
}

TEST(Decoder, EachStreamWholeInTwoPiecesAndByteByByte) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const std::vector<DecodedItem> whole = decodeChunks({c.stream}, false);
        expectItems(whole, c.items);
        expectTiles(whole, c.stream);
        for (std::size_t split = 1; split < c.stream.size(); ++split) {
            SCOPED_TRACE("split at " + std::to_string(split));
            const auto items =
                decodeChunks({c.stream.substr(0, split), c.stream.substr(split)}, false);
            expectItems(items, c.items);
            expectTiles(items, c.stream);
        }
        std::vector<std::string> bytes;
        for (char b : c.stream)
            bytes.emplace_back(1, b);
        expectItems(decodeChunks(bytes, false), c.items);
    }
}

TEST(Decoder, TruncatedTailsWaitAndEndAsIncomplete) {
    struct Tail {
        std::string stream;
        std::vector<Expected> items; // after finish()
    };
    const std::vector<Tail> tails = {
        {"AB\x1B", {{T, "文本", 2}, {Kind::Incomplete, "不完整", 1}}},
        {"\x1D(", {{Kind::Incomplete, "不完整", 2}}},
        {"\x1Dv0\x00\x02\x00\x03\x00"
         "abc"s,
         {{Kind::Incomplete, "不完整", 11}}},
        {"\x1Dk\x49\x0C{A01"s, {{Kind::Incomplete, "不完整", 8}}},
        {"\x1B&\x03\x41\x42\x02"
         "12",
         {{Kind::Incomplete, "不完整", 8}}},
        // a lead byte at the very end is text of its own
        {"A\xD6", {{T, "文本", 2}}},
    };
    for (const Tail& t : tails) {
        SCOPED_TRACE(posprinter::hexText(t.stream, 64).toStdString());
        Decoder decoder;
        std::vector<DecodedItem> before;
        decoder.feed(t.stream, [&](DecodedItem&& i) { before.push_back(std::move(i)); });
        // Nothing is lost while it waits: the held bytes are counted.
        std::uint64_t emitted = 0;
        for (const auto& i : before)
            emitted += i.length;
        EXPECT_EQ(emitted + decoder.pendingBytes(), t.stream.size());
        const auto items = decodeChunks({t.stream}, true);
        expectItems(items, t.items);
        expectTiles(items, t.stream);
    }
}

TEST(Decoder, ALeadByteWaitsForItsTrail) {
    Decoder decoder;
    std::vector<DecodedItem> items;
    const auto sink = [&](DecodedItem&& i) { items.push_back(std::move(i)); };
    decoder.feed("ab\xD6"s, sink);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].bytes, "ab");
    decoder.feed("\xD0\n"s, sink);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].bytes, "\xD6\xD0");
    // Outside Chinese mode a high byte is a character of its own.
    items.clear();
    decoder.feed("\x1C.\xD6"s, sink);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].bytes, "\xD6");
}

TEST(Decoder, CommandsLargerThanItHoldsAreCountedNotKept) {
    // A raster image that claims 65535 x 65535 bytes: the decoder keeps its head
    // and counts the rest, whatever the chunks.
    const std::string head = "\x1Dv0\x00\xFF\xFF\xFF\xFF"s;
    const std::string chunk(64 * 1024, '\x55');
    Decoder decoder;
    std::vector<DecodedItem> items;
    const auto sink = [&](DecodedItem&& i) { items.push_back(std::move(i)); };
    decoder.feed(head, sink);
    for (int i = 0; i < 128; ++i) // 8 MiB
        decoder.feed(chunk, sink);
    EXPECT_TRUE(items.empty());
    EXPECT_LE(decoder.pendingBytes(), head.size());
    decoder.finish(sink);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, Kind::Incomplete);
    EXPECT_EQ(items[0].length, head.size() + 128 * chunk.size());
    EXPECT_EQ(items[0].bytes, head);

    // One that does end: the item covers all of it and the stream goes on.
    const std::uint32_t size = 6u << 20;
    std::string graphics = "\x1D"
                           "8L"s;
    for (int i = 0; i < 4; ++i)
        graphics += static_cast<char>(size >> (8 * i) & 0xFF);
    const std::string data(size, '\x01');
    const auto all = decodeChunks({graphics, data.substr(0, 1000), data.substr(1000) + "Z"}, false);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].kind, Kind::Command);
    EXPECT_EQ(all[0].length, graphics.size() + size);
    EXPECT_TRUE(all[0].truncated());
    EXPECT_EQ(all[1].bytes, "Z");
}

TEST(Decoder, ACommandHeldInPartKeepsTheSameHeadWhateverTheChunks) {
    // NV images of 3 x 2 MiB, walked image by image: more than the decoder
    // holds. It keeps the first MaxHeldBytes, not what the chunks let through.
    std::string stream = "\x1Cq\x03"s;
    for (int image = 0; image < 3; ++image) {
        stream += "\x00\x04\x00\x01"s; // 1024 x 256 bytes of 8 dots
        stream += std::string(2u << 20, static_cast<char>('a' + image));
    }
    stream += "Z";
    const auto whole = decodeChunks({stream}, false);
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[0].kind, Kind::Command);
    EXPECT_EQ(whole[0].length, stream.size() - 1);
    EXPECT_EQ(whole[0].bytes.size(), Decoder::MaxHeldBytes);
    EXPECT_TRUE(whole[0].bytes == stream.substr(0, Decoder::MaxHeldBytes)); // no 4 MiB printout
    for (std::size_t step : {1000u, 64u * 1024, 3u << 20}) {
        std::vector<std::string> chunks;
        for (std::size_t at = 0; at < stream.size(); at += step)
            chunks.push_back(stream.substr(at, step));
        const auto items = decodeChunks(chunks, false);
        ASSERT_EQ(items.size(), 2u) << "step " << step;
        EXPECT_EQ(items[0].length, whole[0].length) << "step " << step;
        EXPECT_EQ(items[0].bytes.size(), whole[0].bytes.size()) << "step " << step;
        EXPECT_TRUE(items[0].bytes == whole[0].bytes) << "step " << step;
    }
}

TEST(Decoder, UnderASmallHoldLimitOnlyCommandsWithDataAreCut) {
    // The limit a test can set: commands that are all head (FS 2 is 76 bytes)
    // still wait whole; a raster image keeps its header, user characters their
    // first bytes.
    const std::string defineChar = "\x1C\x32\xA1\xA1"s + std::string(72, '\x0F');
    const std::string raster = "\x1Dv0\x00\x04\x00\x08\x00"s + std::string(32, '\x55');
    const std::string userChars = "\x1B&\x03\x41\x41\x0C"s + std::string(36, '\x3C');
    Decoder decoder(16);
    std::vector<DecodedItem> items;
    const auto sink = [&](DecodedItem&& i) { items.push_back(std::move(i)); };
    for (char b : defineChar + raster + userChars)
        decoder.feed(std::string_view(&b, 1), sink);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].bytes, defineChar);
    EXPECT_EQ(items[1].length, raster.size());
    EXPECT_EQ(items[1].bytes, raster.substr(0, 8));
    EXPECT_EQ(items[2].length, userChars.size());
    EXPECT_EQ(items[2].bytes, userChars.substr(0, 16));
    for (const DecodedItem& item : items)
        EXPECT_EQ(item.kind, Kind::Command) << posprinter::itemName(item).toStdString();
}

TEST(Decoder, TheRichReceiptTilesAtAnySplit) {
    const std::string stream = printertest::richReceipt(30);
    const auto whole = decodeChunks({stream}, true);
    expectTiles(whole, stream);
    for (std::size_t step : {1u, 7u, 64u, 333u}) {
        std::vector<std::string> chunks;
        for (std::size_t at = 0; at < stream.size(); at += step)
            chunks.push_back(stream.substr(at, step));
        const auto items = decodeChunks(chunks, true);
        ASSERT_EQ(items.size(), whole.size()) << "step " << step;
        for (std::size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(items[i].bytes, whole[i].bytes) << "step " << step << " item " << i;
    }
}

} // namespace
