#include "printer/core/decoder.h"

#include <algorithm>

namespace posprinter {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint64_t le16(Bytes b, std::size_t i) {
    return static_cast<std::uint64_t>(b[i]) | static_cast<std::uint64_t>(b[i + 1]) << 8;
}

std::uint64_t le32(Bytes b, std::size_t i) {
    return le16(b, i) | le16(b, i + 2) << 16;
}

std::string_view asChars(Bytes b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

Bytes asBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

bool isFamily(std::uint8_t b) {
    return b == ESC || b == GS || b == FS || b == DLE;
}

// GS V: these functions take a feed amount after m.
bool cutTakesFeed(std::uint8_t m) {
    return m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104;
}

// The walked commands: the header after the prefix, and each block's header.
std::size_t commandHeadSize(Params p) {
    return p == Params::UserChars ? 3 : 1;
}
std::size_t blockHeadSize(Params p) {
    return p == Params::UserChars ? 1 : 4;
}

} // namespace

std::uint8_t DecodedItem::param(std::size_t i) const {
    const std::size_t at = (desc ? desc->prefix.size() : 0) + i;
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : 0;
}

std::string_view DecodedItem::body() const {
    const std::size_t p = desc ? desc->prefix.size() : 0;
    return std::string_view(bytes).substr(std::min(p, bytes.size()));
}

Decoder::Step Decoder::step(Bytes b, bool atEnd) const {
    using R = Step::Result;
    const std::size_t n = b.size();
    if (b[0] >= 0x20) {
        // A run of text up to the next control byte; a lead byte keeps its trail.
        std::size_t i = 0;
        while (i < n && b[i] >= 0x20) {
            if (m_chinese && isLeadByte(b[i])) {
                if (i + 1 < n) {
                    i += isTrailByte(b[i + 1]) ? 2 : 1;
                    continue;
                }
                if (!atEnd)
                    break;
            }
            ++i;
        }
        if (i == 0)
            return {};
        return {R::Item, DecodedItem::Kind::Text, nullptr, i, 0};
    }

    const PrefixMatch match = matchPrefix(b.first(std::min<std::size_t>(n, 3)));
    if (match.needMore)
        return {};
    if (match.desc == nullptr) {
        // ESC x that we do not know: the pair, unless x is itself a control byte.
        const std::size_t length = isFamily(b[0]) && b[1] >= 0x20 ? 2 : 1;
        return {R::Item, DecodedItem::Kind::Unknown, nullptr, length, 0};
    }

    const CommandSpec& desc = *match.desc;
    const DecodedItem::Kind kind =
        desc.known ? DecodedItem::Kind::Command : DecodedItem::Kind::Unknown;
    const std::size_t p = desc.prefix.size();
    std::size_t head = p;
    std::uint64_t length = 0;
    // Ends the item at the first NUL within `most` bytes from `from`, or after
    // `most` bytes without one.
    const auto untilNul = [&](std::size_t from, std::size_t most) -> Step {
        const std::size_t stop = std::min(n, from + most);
        for (std::size_t j = from; j < stop; ++j) {
            if (b[j] == 0)
                return {R::Item, kind, &desc, j + 1, 0};
        }
        if (n >= from + most)
            return {R::Item, kind, &desc, from + most, 0};
        return {};
    };

    switch (desc.params) {
    case Params::Fixed:
        length = p + desc.count;
        head = length;
        break;
    case Params::Length16:
        if (n < p + 2)
            return {};
        head = p + 2;
        length = head + le16(b, p);
        break;
    case Params::FnLength16:
        if (n < p + 3)
            return {};
        head = p + 3;
        length = head + le16(b, p + 1);
        break;
    case Params::Length32:
        if (n < p + 4)
            return {};
        head = p + 4;
        length = head + le32(b, p);
        break;
    case Params::NulTerminated:
        return untilNul(p, desc.count + 1u);
    case Params::BitImage: {
        if (n < p + 3)
            return {};
        const std::uint8_t m = b[p];
        const std::uint64_t columns = le16(b, p + 1);
        head = p + 3;
        length = head + ((m == 32 || m == 33) ? 3 * columns : columns);
        break;
    }
    case Params::Barcode:
        if (n < p + 1)
            return {};
        if (b[p] <= 6)
            return untilNul(p + 1, 256);
        if (n < p + 2)
            return {};
        head = p + 2;
        length = head + b[p + 1];
        break;
    case Params::Raster:
        if (n < p + 5)
            return {};
        head = p + 5;
        length = head + le16(b, p + 1) * le16(b, p + 3);
        break;
    case Params::DownloadedImage:
        if (n < p + 2)
            return {};
        head = p + 2;
        length = head + std::uint64_t{b[p]} * b[p + 1] * 8;
        break;
    case Params::UserChars:
    case Params::NvImages:
        return {R::Walk, kind, &desc, p, p};
    case Params::Cut:
        if (n < p + 1)
            return {};
        length = p + 1 + (cutTakesFeed(b[p]) ? 1 : 0);
        head = length;
        break;
    }
    // A command that is all head has no data to skip: it waits whole, whatever the limit.
    if (length > m_holdLimit && head < length)
        return {R::TooLarge, kind, &desc, length, head};
    if (n < length)
        return {};
    return {R::Item, kind, &desc, length, 0};
}

void Decoder::deliver(DecodedItem::Kind kind, const CommandSpec* desc, std::string_view bytes,
                      std::uint64_t length, const Sink& sink) {
    DecodedItem item;
    item.kind = kind;
    item.desc = desc;
    item.offset = m_next;
    item.length = length;
    item.bytes.assign(bytes);
    m_next += length;
    if (desc != nullptr && kind == DecodedItem::Kind::Command) {
        if (desc->id == Cmd::Initialize || desc->id == Cmd::ChineseOn)
            m_chinese = true;
        else if (desc->id == Cmd::ChineseOff)
            m_chinese = false;
    }
    sink(std::move(item));
}

void Decoder::deliverHeld(DecodedItem::Kind kind, const Sink& sink) {
    const CommandSpec* desc = m_heldSpec;
    const std::string head = std::move(m_heldHead);
    const std::uint64_t length = m_heldLength;
    m_heldSpec = nullptr;
    m_heldHead.clear();
    m_heldLength = m_skipLeft = 0;
    m_blocksLeft = 0;
    m_headerLeft = 0;
    m_header.clear();
    m_inCommandHead = m_dropping = false;
    deliver(kind, desc, head, length, sink);
}

void Decoder::hold(Bytes bytes) {
    m_heldLength += bytes.size();
    if (m_dropping)
        return;
    // Up to the limit whatever the chunks: the head kept must not depend on
    // how the bytes happened to arrive.
    const std::size_t room = m_holdLimit - std::min(m_holdLimit, m_heldHead.size());
    m_heldHead.append(asChars(bytes.first(std::min(room, bytes.size()))));
    m_dropping = bytes.size() > room;
}

std::size_t Decoder::walk(Bytes b, const Sink& sink) {
    const Params params = m_heldSpec->params;
    std::size_t pos = 0;
    for (;;) {
        if (m_headerLeft > 0) {
            const std::size_t k = std::min(m_headerLeft, b.size() - pos);
            const Bytes part = b.subspan(pos, k);
            m_header.append(asChars(part));
            hold(part);
            pos += k;
            m_headerLeft -= k;
            if (m_headerLeft > 0)
                return pos;
            const Bytes h = asBytes(m_header);
            if (m_inCommandHead) {
                m_inCommandHead = false;
                if (params == Params::UserChars) {
                    m_blocksLeft = h[2] >= h[1] ? h[2] - h[1] + 1u : 0u;
                } else {
                    m_blocksLeft = h[0];
                }
            } else {
                // A block header: how much data follows it.
                const std::uint8_t y =
                    static_cast<std::uint8_t>(m_heldHead.size() > m_heldSpec->prefix.size()
                                                  ? m_heldHead[m_heldSpec->prefix.size()]
                                                  : 0);
                m_skipLeft = params == Params::UserChars ? std::uint64_t{y} * h[0]
                                                         : le16(h, 0) * le16(h, 2) * 8;
                --m_blocksLeft;
            }
            m_header.clear();
        }
        if (m_skipLeft > 0) {
            const std::size_t k =
                static_cast<std::size_t>(std::min<std::uint64_t>(m_skipLeft, b.size() - pos));
            hold(b.subspan(pos, k));
            pos += k;
            m_skipLeft -= k;
            if (m_skipLeft > 0)
                return pos;
        }
        if (m_blocksLeft == 0) {
            deliverHeld(m_heldSpec->known ? DecodedItem::Kind::Command : DecodedItem::Kind::Unknown,
                        sink);
            return pos;
        }
        m_headerLeft = blockHeadSize(params);
    }
}

std::size_t Decoder::decode(Bytes b, const Sink& sink) {
    using R = Step::Result;
    std::size_t pos = 0;
    while (pos < b.size()) {
        if (m_heldSpec != nullptr) {
            pos += walk(b.subspan(pos), sink);
            continue;
        }
        const Step s = step(b.subspan(pos), false);
        switch (s.result) {
        case R::Item:
            deliver(s.kind, s.desc, asChars(b.subspan(pos, static_cast<std::size_t>(s.length))),
                    s.length, sink);
            pos += static_cast<std::size_t>(s.length);
            break;
        case R::NeedMore:
            return pos;
        case R::TooLarge:
            m_heldSpec = s.desc;
            hold(b.subspan(pos, s.head));
            m_dropping = true;
            m_skipLeft = s.length - s.head;
            m_blocksLeft = 0;
            pos += s.head;
            break;
        case R::Walk:
            m_heldSpec = s.desc;
            hold(b.subspan(pos, s.head));
            m_headerLeft = commandHeadSize(s.desc->params);
            m_inCommandHead = true;
            pos += s.head;
            break;
        }
    }
    return pos;
}

void Decoder::feed(std::span<const std::uint8_t> chunk, const Sink& sink) {
    m_fed += chunk.size();
    std::size_t pos = 0;
    if (m_heldSpec != nullptr) {
        pos = walk(chunk, sink);
        if (m_heldSpec != nullptr)
            return;
    }
    const Bytes rest = chunk.subspan(pos);
    if (!m_pending.empty()) {
        m_pending.append(asChars(rest));
        const std::size_t used = decode(asBytes(m_pending), sink);
        m_pending.erase(0, used);
        return;
    }
    const std::size_t used = decode(rest, sink);
    m_pending.assign(asChars(rest.subspan(used)));
}

void Decoder::feed(std::string_view chunk, const Sink& sink) {
    feed(asBytes(chunk), sink);
}

void Decoder::finish(const Sink& sink) {
    if (m_heldSpec != nullptr)
        deliverHeld(DecodedItem::Kind::Incomplete, sink);
    std::size_t pos = 0;
    const std::string pending = std::move(m_pending);
    m_pending.clear();
    const Bytes b = asBytes(pending);
    while (pos < b.size()) {
        const Step s = step(b.subspan(pos), true);
        if (s.result != Step::Result::Item) {
            deliver(DecodedItem::Kind::Incomplete, s.desc, asChars(b.subspan(pos)), b.size() - pos,
                    sink);
            return;
        }
        deliver(s.kind, s.desc, asChars(b.subspan(pos, static_cast<std::size_t>(s.length))),
                s.length, sink);
        pos += static_cast<std::size_t>(s.length);
    }
}

void Decoder::reset() {
    *this = Decoder(m_holdLimit);
}

} // namespace posprinter
