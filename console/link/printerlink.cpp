#include "console/link/printerlink.h"

#include "console/link/channels.h"
#include "platform/portmap.h"

#include <algorithm>
#include <cerrno>
#include <thread>

namespace {

void setError(std::string* error, std::string text) {
    if (error != nullptr)
        *error = std::move(text);
}

std::unique_ptr<LinkChannel> openSerial(const PortSettings& settings,
                                        const platform::PortMap& ports, std::string* error) {
    const platform::PortMapping mapping = ports.resolve(portlist::deviceName(settings.port));
    platform::SerialPort port;
    if (mapping.devicePath.empty() || !port.open(mapping.devicePath)) {
        setError(error, mapping.devicePath.empty() ? platform::noDeviceMessage(mapping.name)
                                                   : port.lastError());
        return nullptr;
    }
    // Refill the control block from the port (the plain line stays where it
    // cannot tell), put the settings in, apply. None of these results matter:
    // a port that refuses a setting still prints.
    platform::CommState state = platform::CommState::plain();
    (void)port.getState(state);
    applyPortSettings(settings, state);
    port.setState(state);
    port.setDtr(true);
    return std::make_unique<SerialChannel>(std::move(port));
}

std::unique_ptr<LinkChannel> openParallel(const PortSettings& settings,
                                          const platform::PortMap& ports, std::string* error) {
    const platform::PortMapping mapping = ports.resolve(portlist::deviceName(settings.port));
    platform::DeviceFile file;
    if (mapping.devicePath.empty() ||
        !file.open(mapping.devicePath, platform::DeviceFile::Sharing::Shared)) {
        setError(error, mapping.devicePath.empty() ? platform::noDeviceMessage(mapping.name)
                                                   : file.lastError());
        return nullptr;
    }
    return std::make_unique<DeviceChannel>(std::move(file));
}

std::unique_ptr<LinkChannel> openUsb(const platform::PortMap& ports, std::string* error) {
    const auto candidates = ports.presentUsbPrinters();
    if (candidates.empty()) {
        setError(error, std::string(linktext::NoUsbPrinter));
        return nullptr;
    }
    int tried = 0;
    for (const platform::PortMapping& candidate : candidates) {
        if (tried++ == UsbMaxCandidates)
            break;
        platform::DeviceFile file;
        if (file.open(candidate.devicePath, platform::DeviceFile::Sharing::Exclusive))
            return std::make_unique<DeviceChannel>(std::move(file));
        setError(error, file.lastError());
        // Held by another program, or still settling: give it a moment before the next.
        std::this_thread::sleep_for(UsbRetryPause);
    }
    return nullptr;
}

std::unique_ptr<LinkChannel> openNetwork(const PortSettings& settings, std::string* error) {
    platform::TcpClient client;
    if (!client.connect(settings.ipAddress, settings.tcpPort)) {
        setError(error, client.lastError());
        return nullptr;
    }
    return std::make_unique<NetworkChannel>(std::move(client));
}

} // namespace

PrinterLink::PrinterLink(PortKind kind, std::unique_ptr<LinkChannel> channel)
    : m_kind(kind), m_channel(std::move(channel)) {}

PrinterLink::~PrinterLink() {
    close();
}

PrinterLink::PrinterLink(PrinterLink&&) noexcept = default;

PrinterLink& PrinterLink::operator=(PrinterLink&& other) noexcept {
    if (this != &other) {
        close();
        m_kind = other.m_kind;
        m_channel = std::move(other.m_channel);
    }
    return *this;
}

std::optional<PrinterLink> PrinterLink::open(const PortSettings& settings,
                                             const platform::PortMap& ports, std::string* error) {
    const auto kind = portlist::kindOf(settings.port);
    if (!kind) {
        setError(error, std::string(linktext::NoPortChosen));
        return std::nullopt;
    }
    std::unique_ptr<LinkChannel> channel;
    switch (*kind) {
    case PortKind::Serial:
        channel = openSerial(settings, ports, error);
        break;
    case PortKind::Parallel:
        channel = openParallel(settings, ports, error);
        break;
    case PortKind::Usb:
        channel = openUsb(ports, error);
        break;
    case PortKind::Network:
        channel = openNetwork(settings, error);
        break;
    }
    if (!channel)
        return std::nullopt;
    setError(error, {});
    return PrinterLink(*kind, std::move(channel));
}

std::int32_t PrinterLink::write(const char* data, std::int32_t n) {
    if (!m_channel || n < 0 || (data == nullptr && n > 0))
        return 0;
    const platform::SegmentReport report = m_channel->writeSegment(
        std::string_view(data != nullptr ? data : "", static_cast<std::size_t>(n)), {});
    if (m_kind == PortKind::Network)
        return n;
    return static_cast<std::int32_t>(std::min<std::size_t>(report.written, std::size_t(n)));
}

platform::SegmentReport PrinterLink::writeSegment(std::string_view bytes,
                                                  const platform::WriteControl& control) {
    if (!m_channel)
        return {0, EBADF, {}};
    return m_channel->writeSegment(bytes, control);
}

void PrinterLink::discardOutput() {
    if (m_channel)
        m_channel->discardOutput();
}

bool PrinterLink::farEndGone() const {
    return m_channel && m_channel->farEndGone();
}

std::int32_t PrinterLink::read(char* buffer, std::int32_t capacity) {
    if (!m_channel || m_kind == PortKind::Usb || m_kind == PortKind::Network)
        return 0;
    if (buffer == nullptr || capacity <= 0)
        return 0;
    return m_channel->read(buffer, capacity);
}

void PrinterLink::close() {
    if (!m_channel)
        return;
    m_channel->close();
    m_channel.reset();
}
