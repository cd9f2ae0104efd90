// The virtual printer's decoder, on any stream, fed whole and in random chunks
// (empty ones too).
//  - Every byte is accounted for: the items' [offset, offset + length) ranges
//    tile the stream from 0 with no gap and no overlap, while it is fed and
//    after the end; each item holds its own bytes (a command too large to hold
//    keeps its first bytes, and only such a command is cut short).
//  - Each item is what its kind says: text is printable bytes, a command starts
//    with its row's prefix, an incomplete item comes only at the very end.
//  - The items are the same whatever the chunking (text may arrive in pieces:
//    neighbouring text runs are joined before comparing).
//  - What the decoder keeps while it waits stays within its hold limit. Most
//    inputs run with a small limit, so short streams reach the paths of
//    commands too large to hold.
//
// Input: the stream, then one byte choosing the hold limit and four bytes
// seeding the chunk sizes (FuzzedDataProvider takes integers from the end).

#include "fuzzcheck.h"
#include "printer/core/decoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <random>
#include <string>
#include <vector>

namespace {

using posprinter::DecodedItem;
using posprinter::Decoder;
using Kind = DecodedItem::Kind;

// The most a decoder waits on beyond its hold limit: commands without a length
// of their own (GS k with NUL-ended data, ESC D, FS 2) are held whole, and none
// is longer than 259 bytes.
constexpr std::size_t WaitBeyondLimit = 512;

std::string describe(const DecodedItem& item) {
    static constexpr const char* Kinds[] = {"text", "command", "unknown", "incomplete"};
    std::string out = Kinds[static_cast<int>(item.kind)];
    if (item.desc != nullptr)
        out += " " + std::string(item.desc->name);
    out += " @" + std::to_string(item.offset) + "+" + std::to_string(item.length) + " [" +
           fuzz::printable(item.bytes) + "]";
    return out;
}

class Run {
public:
    Run(const std::string& stream, std::size_t holdLimit)
        : m_stream(stream), m_holdLimit(holdLimit), m_decoder(holdLimit) {}

    void feed(std::string_view chunk) {
        m_decoder.feed(chunk, [this](DecodedItem&& item) { take(std::move(item)); });
        m_fed += chunk.size();
        FUZZ_CHECK(m_decoder.bytesFed() == m_fed, "fed " + std::to_string(m_fed));
        FUZZ_CHECK(m_covered <= m_fed, "items reach " + std::to_string(m_covered) + " of " +
                                           std::to_string(m_fed) + " bytes fed");
        FUZZ_CHECK(m_decoder.pendingBytes() <= m_holdLimit + WaitBeyondLimit,
                   std::to_string(m_decoder.pendingBytes()) + " bytes held, limit " +
                       std::to_string(m_holdLimit));
    }

    // Ends the stream; the items, with neighbouring text joined.
    std::vector<DecodedItem> finish() {
        m_decoder.finish([this](DecodedItem&& item) { take(std::move(item)); });
        FUZZ_CHECK(m_covered == m_stream.size(), "items cover " + std::to_string(m_covered) +
                                                     " of " + std::to_string(m_stream.size()));
        FUZZ_CHECK(m_decoder.pendingBytes() == 0, std::to_string(m_decoder.pendingBytes()));
        return std::move(m_items);
    }

private:
    void take(DecodedItem&& item) {
        FUZZ_CHECK(!m_ended, "an item after an incomplete one: " + describe(item));
        FUZZ_CHECK(item.offset == m_covered,
                   "expected offset " + std::to_string(m_covered) + ": " + describe(item));
        FUZZ_CHECK(item.length > 0 && item.length <= m_stream.size() - m_covered, describe(item));
        FUZZ_CHECK(item.bytes.size() <= item.length &&
                       item.bytes == m_stream.substr(m_covered, item.bytes.size()),
                   describe(item));
        // Only a command too large to hold is cut short (complete, or ended by
        // the end of the stream), and it keeps no more than the limit.
        if (item.truncated())
            FUZZ_CHECK(item.desc != nullptr && item.bytes.size() <= m_holdLimit &&
                           (item.kind == Kind::Incomplete || item.length > m_holdLimit),
                       describe(item));
        switch (item.kind) {
        case Kind::Text:
            FUZZ_CHECK(item.desc == nullptr, describe(item));
            for (const char c : item.bytes)
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20, describe(item));
            break;
        case Kind::Command:
            FUZZ_CHECK(item.desc != nullptr && item.desc->known &&
                           item.bytes.starts_with(item.desc->prefix),
                       describe(item));
            break;
        case Kind::Unknown:
            FUZZ_CHECK(item.desc == nullptr || !item.desc->known, describe(item));
            break;
        case Kind::Incomplete:
            m_ended = true;
            break;
        }
        m_covered += item.length;
        if (!m_items.empty() && item.kind == Kind::Text && m_items.back().kind == Kind::Text) {
            m_items.back().bytes += item.bytes;
            m_items.back().length += item.length;
            return;
        }
        m_items.push_back(std::move(item));
    }

    const std::string& m_stream;
    std::size_t m_holdLimit;
    Decoder m_decoder;
    std::vector<DecodedItem> m_items;
    std::uint64_t m_fed = 0;
    std::uint64_t m_covered = 0;
    bool m_ended = false;
};

// Chunk sizes mostly small, now and then empty or large.
std::vector<std::string_view> randomChunks(std::string_view stream, std::uint32_t seed) {
    std::minstd_rand rng(seed | 1u);
    static constexpr std::size_t Caps[] = {1, 2, 5, 16, 64, 1024};
    std::vector<std::string_view> chunks;
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t cap = Caps[rng() % std::size(Caps)];
        const std::size_t size = rng() % 16 == 0 ? 0 : 1 + rng() % cap;
        chunks.push_back(stream.substr(at, size));
        at += chunks.back().size();
    }
    return chunks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto seed = input.ConsumeIntegral<std::uint32_t>();
    const auto limitChoice = input.ConsumeIntegral<std::uint8_t>();
    const std::string stream = input.ConsumeRemainingBytesAsString();
    const std::size_t holdLimit =
        limitChoice < 64 ? Decoder::MaxHeldBytes : std::size_t{16} + (limitChoice - 64);

    Run whole(stream, holdLimit);
    whole.feed(stream);
    const std::vector<DecodedItem> expected = whole.finish();

    Run chunked(stream, holdLimit);
    const std::vector<std::string_view> chunks = randomChunks(stream, seed);
    for (const std::string_view chunk : chunks)
        chunked.feed(chunk);
    const std::vector<DecodedItem> items = chunked.finish();

    std::string sizes;
    for (const std::string_view chunk : chunks)
        sizes += std::to_string(chunk.size()) + " ";
    FUZZ_CHECK(items.size() == expected.size(), std::to_string(items.size()) + " items in chunks " +
                                                    sizes + "against " +
                                                    std::to_string(expected.size()) + " whole");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DecodedItem& a = items[i];
        const DecodedItem& b = expected[i];
        FUZZ_CHECK(a.kind == b.kind && a.desc == b.desc && a.offset == b.offset &&
                       a.length == b.length && a.bytes == b.bytes,
                   "item " + std::to_string(i) + " in chunks " + sizes + ": " + describe(a) +
                       "\nwhole: " + describe(b));
    }
    return 0;
}
