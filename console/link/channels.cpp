#include "console/link/channels.h"

#include "console/link/portsettings.h"

#include <algorithm>
#include <cerrno>

namespace {

using Clock = std::chrono::steady_clock;

// What is left of a write's time-out for the flush that follows it.
std::chrono::milliseconds leftOf(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds::zero(),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

// One bounded write of a device; a short count carries the device's reason.
template <typename Device>
platform::SegmentReport writeBounded(Device& device, std::string_view bytes,
                                     std::chrono::milliseconds timeout,
                                     const platform::WriteControl& control) {
    platform::SegmentReport report;
    if (bytes.empty())
        return report;
    report.written = device.write(bytes.data(), bytes.size(), timeout, control);
    if (report.written < bytes.size()) {
        report.error = device.lastErrorCode() != 0 ? device.lastErrorCode() : ETIMEDOUT;
        report.reason = device.lastError();
    }
    return report;
}

// Shared by the file kinds: one bounded write, then a flush in the rest of
// the same time-out, so a stalled device cannot hold the write twice as long.
// A write that took nothing is not flushed.
template <typename Device, typename Flush>
platform::SegmentReport writeThenFlush(Device& device, std::string_view bytes,
                                       const platform::WriteControl& control, Flush flush) {
    const auto timeout = serialtimeouts::writeTotal(static_cast<std::int64_t>(bytes.size()));
    const auto deadline = Clock::now() + timeout;
    platform::SegmentReport report = writeBounded(device, bytes, timeout, control);
    if (report.written == 0 && !bytes.empty())
        return report;
    flush(device, leftOf(deadline), control.stop);
    return report;
}

template <typename Device>
std::int32_t readWaiting(Device& device, char* buffer, std::int32_t capacity) {
    if (capacity <= 0 || buffer == nullptr)
        return 0;
    return static_cast<std::int32_t>(device.read(buffer, static_cast<std::size_t>(capacity)));
}

} // namespace

platform::SegmentReport SerialChannel::writeSegment(std::string_view bytes,
                                                    const platform::WriteControl& control) {
    return writeThenFlush(m_port, bytes, control,
                          [](platform::SerialPort& port, std::chrono::milliseconds left,
                             const std::stop_token& stop) { port.drain(left, stop); });
}

void SerialChannel::close() {
    // Bytes a stalled line still holds would keep the close waiting for as
    // long as the driver lets them drain (half a minute): drop them.
    if (!m_port.drain(std::chrono::milliseconds::zero()))
        m_port.discardOutput();
    m_port.close();
}

std::int32_t SerialChannel::read(char* buffer, std::int32_t capacity) {
    return readWaiting(m_port, buffer, capacity);
}

platform::SegmentReport DeviceChannel::writeSegment(std::string_view bytes,
                                                    const platform::WriteControl& control) {
    return writeThenFlush(m_file, bytes, control,
                          [](platform::DeviceFile& file, std::chrono::milliseconds left,
                             const std::stop_token& stop) { file.flush(left, stop); });
}

std::int32_t DeviceChannel::read(char* buffer, std::int32_t capacity) {
    return readWaiting(m_file, buffer, capacity);
}

platform::SegmentReport NetworkChannel::writeSegment(std::string_view bytes,
                                                     const platform::WriteControl& control) {
    if (!m_client.isOpen())
        return {0, EBADF, {}};
    // A peer that stops reading may hold the write no longer than a serial write could.
    return writeBounded(m_client, bytes,
                        serialtimeouts::writeTotal(static_cast<std::int64_t>(bytes.size())),
                        control);
}
