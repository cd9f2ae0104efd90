#include "console/link/portkind.h"

namespace portlist {

namespace {

constexpr const char* ItemTexts[PortCount] = {
    "COM1",  "COM2",  "COM3",  "COM4",  "COM5",  "COM6", "COM7", "COM8", "COM9",
    "COM10", "COM11", "COM12", "COM13", "COM14", "LPT1", "LPT2", "USB",  "ETHERNET",
};

} // namespace

std::span<const char* const> itemTexts() {
    return ItemTexts;
}

std::optional<PortKind> kindOf(std::int32_t port) {
    if (port >= FirstCom && port <= LastCom)
        return PortKind::Serial;
    if (port == Lpt1 || port == Lpt2)
        return PortKind::Parallel;
    if (port == Usb)
        return PortKind::Usb;
    if (port == Ethernet)
        return PortKind::Network;
    return std::nullopt;
}

int comboIndex(std::int32_t port) {
    return kindOf(port) ? port - 1 : -1;
}

std::string deviceName(std::int32_t port) {
    if (port >= FirstCom && port <= LastCom)
        return "COM" + std::to_string(port);
    if (port == Lpt1)
        return "LPT1";
    if (port == Lpt2)
        return "LPT2";
    return {};
}

} // namespace portlist
