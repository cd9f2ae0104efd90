#pragma once

// A streaming decoder from the bytes a client sends to the items a printer
// acts on: runs of text, commands from the command table, and unknown bytes.
// Bytes may arrive in chunks of any size; an item split across chunks waits
// for the rest. Every byte of the stream lands in exactly one item, in order:
// the items' [offset, offset + length) ranges tile the stream from 0.

#include "printer/core/commandtable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace posprinter {

struct DecodedItem {
    enum class Kind : std::uint8_t {
        Text,       // printable bytes (GBK pairs kept whole in Chinese mode)
        Command,    // a row of the table
        Unknown,    // a control byte or an ESC/GS/FS/DLE sequence not in the table
        Incomplete, // the start of a command cut off by the end of the stream (finish())
    };
    Kind kind = Kind::Text;
    // The row, for commands; also for table members known only by their length.
    const CommandSpec* desc = nullptr;
    std::uint64_t offset = 0; // of the first byte in the stream
    std::uint64_t length = 0; // bytes of the stream this item covers
    // The item's bytes. A command whose data is larger than the decoder holds
    // keeps only its head here (bytes.size() < length); see truncated().
    std::string bytes;

    [[nodiscard]] bool truncated() const { return bytes.size() < length; }
    // Parameter byte i after the prefix, 0 when missing.
    [[nodiscard]] std::uint8_t param(std::size_t i) const;
    // The bytes after the prefix (parameters and data).
    [[nodiscard]] std::string_view body() const;
};

class Decoder {
public:
    using Sink = std::function<void(DecodedItem&&)>;

    // Commands that carry more data than this keep only their head; the rest is
    // counted and skipped, so a bogus length cannot make the decoder hoard memory.
    static constexpr std::size_t MaxHeldBytes = 4u << 20;

    // holdLimit stands in for MaxHeldBytes: a small one lets short test streams
    // reach the paths of commands too large to hold.
    explicit Decoder(std::size_t holdLimit = MaxHeldBytes) : m_holdLimit(holdLimit) {}

    // Decodes what the chunk completes; the tail that does not yet make an item
    // is kept for the next call.
    void feed(std::span<const std::uint8_t> chunk, const Sink& sink);
    void feed(std::string_view chunk, const Sink& sink);
    // Ends the stream: a kept tail becomes one Incomplete item (or text).
    void finish(const Sink& sink);
    // Back to the state of a new stream at offset 0 (same hold limit).
    void reset();

    // Bytes fed so far and bytes waiting for the rest of their item.
    [[nodiscard]] std::uint64_t bytesFed() const { return m_fed; }
    [[nodiscard]] std::size_t pendingBytes() const { return m_pending.size() + m_heldHead.size(); }
    // Chinese mode (FS & / FS .): whether bytes 0x81..0xFE start two-byte characters.
    [[nodiscard]] bool chineseMode() const { return m_chinese; }

private:
    struct Step {
        enum class Result {
            Item,     // a whole item of `length` bytes
            NeedMore, // the item goes on past the bytes at hand
            TooLarge, // a command of `length` bytes, more than is held: keep `head`, skip the rest
            Walk,     // a command of several data blocks, walked block by block
        };
        Result result = Result::NeedMore;
        DecodedItem::Kind kind = DecodedItem::Kind::Unknown;
        const CommandSpec* desc = nullptr;
        std::uint64_t length = 0;
        std::size_t head = 0;
    };
    [[nodiscard]] Step step(std::span<const std::uint8_t> bytes, bool atEnd) const;
    std::size_t decode(std::span<const std::uint8_t> bytes, const Sink& sink);
    std::size_t walk(std::span<const std::uint8_t> bytes, const Sink& sink);
    void hold(std::span<const std::uint8_t> bytes);
    void deliver(DecodedItem::Kind kind, const CommandSpec* desc, std::string_view bytes,
                 std::uint64_t length, const Sink& sink);
    void deliverHeld(DecodedItem::Kind kind, const Sink& sink);

    std::size_t m_holdLimit;
    std::uint64_t m_fed = 0;
    std::uint64_t m_next = 0; // offset of the first byte not yet in an item
    std::string m_pending;    // bytes of an unfinished item
    bool m_chinese = true;

    // A command not held whole (too large, or walked block by block): the bytes
    // kept of it, its length so far and what comes next.
    const CommandSpec* m_heldSpec = nullptr;
    std::string m_heldHead;
    std::uint64_t m_heldLength = 0;
    std::uint64_t m_skipLeft = 0;   // data bytes still to pass
    std::uint32_t m_blocksLeft = 0; // walk: blocks still to come after the current one
    std::size_t m_headerLeft = 0;   // walk: header bytes still to come
    std::string m_header;           // walk: the header being collected
    bool m_inCommandHead = false;   // walk: the header is the command's own, not a block's
    bool m_dropping = false;        // bytes past this point are counted, not kept
};

// True for a GBK lead byte.
[[nodiscard]] constexpr bool isLeadByte(std::uint8_t b) {
    return b >= 0x81 && b <= 0xFE;
}
// True for a byte that can follow a lead byte.
[[nodiscard]] constexpr bool isTrailByte(std::uint8_t b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

} // namespace posprinter
