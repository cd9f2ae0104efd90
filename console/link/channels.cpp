#include "console/link/channels.h"

#include "console/link/portsettings.h"

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// What is left of a write's time-out for the flush that follows it.
std::chrono::milliseconds leftOf(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds::zero(),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

// Shared by the file kinds: one bounded write, then a flush in the rest of
// the same time-out, so a stalled device cannot hold the window twice as long.
template <typename Device, typename Flush>
std::int32_t writeThenFlush(Device& device, const char* data, std::int32_t n, Flush flush) {
    if (n < 0)
        return 0;
    const auto timeout = serialtimeouts::writeTotal(n);
    const auto deadline = Clock::now() + timeout;
    const std::size_t written = device.write(data, static_cast<std::size_t>(n), timeout);
    if (written == 0 && n > 0)
        return 0;
    flush(device, leftOf(deadline));
    return static_cast<std::int32_t>(written);
}

template <typename Device>
std::int32_t readWaiting(Device& device, char* buffer, std::int32_t capacity) {
    if (capacity <= 0 || buffer == nullptr)
        return 0;
    return static_cast<std::int32_t>(device.read(buffer, static_cast<std::size_t>(capacity)));
}

} // namespace

std::int32_t SerialChannel::write(const char* data, std::int32_t n) {
    return writeThenFlush(
        m_port, data, n,
        [](platform::SerialPort& port, std::chrono::milliseconds left) { port.drain(left); });
}

std::int32_t SerialChannel::read(char* buffer, std::int32_t capacity) {
    return readWaiting(m_port, buffer, capacity);
}

std::int32_t DeviceChannel::write(const char* data, std::int32_t n) {
    return writeThenFlush(
        m_file, data, n,
        [](platform::DeviceFile& file, std::chrono::milliseconds left) { file.flush(left); });
}

std::int32_t DeviceChannel::read(char* buffer, std::int32_t capacity) {
    return readWaiting(m_file, buffer, capacity);
}

std::int32_t NetworkChannel::write(const char* data, std::int32_t n) {
    if (!m_client.isOpen() || n < 0)
        return 0;
    // A peer that stops reading may hold the window no longer than a serial write could.
    m_client.setSendTimeout(serialtimeouts::writeTotal(n));
    (void)m_client.send(data, static_cast<std::size_t>(n));
    return n;
}
