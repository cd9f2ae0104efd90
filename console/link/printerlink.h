#pragma once

// The console's open connection to the printer. Every byte the console sends
// goes through write(); the receive poll reads through read(). There is no
// buffering or retrying here: each call goes straight to the channel.

#include "console/link/linkchannel.h"
#include "console/link/portkind.h"
#include "console/link/portsettings.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class PortMap;
}

class PrinterLink {
public:
    PrinterLink(PortKind kind, std::unique_ptr<LinkChannel> channel);
    ~PrinterLink();
    PrinterLink(PrinterLink&&) noexcept;
    PrinterLink& operator=(PrinterLink&&) noexcept;
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    // Opens the link of the kind of settings.port:
    //  Serial    "COM%d" through the port map, exclusively; the line settings
    //            are applied as the connect does and DTR is raised.
    //  Parallel  "LPT1"/"LPT2" through the port map, shared.
    //  Usb       the first present candidate USB1..USB10 that opens (at most
    //            10 tried, 50 ms after each one that fails).
    //  Network   TCP to ipAddress:tcpPort, giving up after 5 s.
    // nullopt on failure (and for a port number outside the list); *error then
    // says why, for logs and tooltips.
    [[nodiscard]] static std::optional<PrinterLink> open(const PortSettings& settings,
                                                         const platform::PortMap& ports,
                                                         std::string* error = nullptr);

    // The count written, 0 on failure or without a link. A network write
    // reports n whatever the socket does.
    std::int32_t write(const char* data, std::int32_t n);
    // The same write as the link's write thread makes it (see LinkWriter):
    // stoppable, with progress, and with the true outcome for every kind.
    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl& control);
    // At most min(capacity, bytes waiting); never waits. USB and network links
    // are never read and give 0.
    std::int32_t read(char* buffer, std::int32_t capacity);
    // Drops what the driver still holds for output.
    void discardOutput();
    // True when the device or the peer is gone (see LinkChannel).
    [[nodiscard]] bool farEndGone() const;
    // Closes and forgets the channel; later writes and reads give 0.
    void close();

    [[nodiscard]] PortKind kind() const { return m_kind; }
    [[nodiscard]] bool isOpen() const { return m_channel != nullptr; }

private:
    PortKind m_kind;
    std::unique_ptr<LinkChannel> m_channel;
};

// The failures PrinterLink::open words itself (the platform words the rest),
// in the tools' language: they show in the tip of the status image.
namespace linktext {
inline constexpr std::string_view NoPortChosen = "没有选择端口";
inline constexpr std::string_view NoUsbPrinter = "没有找到 USB 打印机";
} // namespace linktext

// The pause after a USB candidate that fails to open.
inline constexpr std::chrono::milliseconds UsbRetryPause{50};
inline constexpr int UsbMaxCandidates = 10;
