#include "printer/core/printerstatus.h"

namespace posprinter {

namespace {

std::uint8_t bit(bool on, int n) {
    return on ? static_cast<std::uint8_t>(1u << n) : 0;
}

std::string textBlock(std::string_view text) {
    std::string block = "_";
    block += text;
    block += '\0';
    return block;
}

} // namespace

std::uint8_t PrinterStatus::toBits() const {
    return bit(online, 0) | bit(coverOpen, 1) | bit(paperNearEnd, 2) | bit(paperOut, 3) |
           bit(drawerOpen, 4);
}

PrinterStatus PrinterStatus::fromBits(std::uint8_t bits) {
    PrinterStatus s;
    s.online = (bits & 0x01) != 0;
    s.coverOpen = (bits & 0x02) != 0;
    s.paperNearEnd = (bits & 0x04) != 0;
    s.paperOut = (bits & 0x08) != 0;
    s.drawerOpen = (bits & 0x10) != 0;
    return s;
}

std::string replyTo(const DecodedItem& item, const PrinterStatus& s) {
    if (item.kind != DecodedItem::Kind::Command || item.desc == nullptr)
        return {};
    const std::uint8_t n = item.param(0);
    const auto one = [](std::uint8_t b) { return std::string(1, static_cast<char>(b)); };
    constexpr std::uint8_t Fixed = 0x12;
    switch (item.desc->id) {
    case Cmd::RealTimeStatus:
        switch (n) {
        case 1:
            return one(Fixed | bit(s.drawerOpen, 2) | bit(s.offline(), 3));
        case 2:
            return one(Fixed | bit(s.coverOpen, 2) | bit(s.paperOut, 5));
        case 3:
            return one(Fixed);
        case 4:
            return one(Fixed | (s.paperNearEnd ? 0x0C : 0) | (s.paperOut ? 0x60 : 0));
        default:
            return {};
        }
    case Cmd::TransmitStatus:
        if (n == 1 || n == 49)
            return one((s.paperNearEnd ? 0x03 : 0) | (s.paperOut ? 0x0C : 0));
        if (n == 2 || n == 50)
            return one(bit(s.drawerOpen, 0));
        return {};
    case Cmd::PrinterId:
        switch (n) {
        case 1:
        case 49:
            return one(0x20);
        case 2:
        case 50:
            return one(0x02);
        case 3:
        case 51:
            return one(0x10);
        case 65:
            return textBlock("1.00");
        case 66:
            return textBlock("POSKIT");
        case 67:
            return textBlock("posprinter");
        case 68:
            return textBlock("000001");
        case 69:
            return textBlock("GBK");
        default:
            return {};
        }
    default:
        return {};
    }
}

} // namespace posprinter
