#include "blackmark/core/serialport.h"

#include "platform/portmap.h"

#include <limits>

namespace halmbrook {

std::chrono::milliseconds SerialPort::writeTimeout(std::size_t n) {
    using Rep = std::chrono::milliseconds::rep;
    constexpr Rep Constant = 3000;
    constexpr Rep PerByte = 2000;
    constexpr Rep MaxBytes = (std::numeric_limits<Rep>::max() - Constant) / PerByte;
    const Rep bytes = n > static_cast<std::size_t>(MaxBytes) ? MaxBytes : static_cast<Rep>(n);
    return std::chrono::milliseconds(Constant + PerByte * bytes);
}

bool SerialPort::Open(std::string_view name) {
    Close();

    // "COM3:" is how the device is named to the system; the map knows "COM3".
    if (name.ends_with(':'))
        name.remove_suffix(1);
    const platform::PortMapping mapping = platform::PortMap::load().resolve(name);
    if (mapping.devicePath.empty() || !m_port.open(mapping.devicePath))
        return false;
    m_devicePath = mapping.devicePath;

    // The plain line at 9600 with parity checking on; a device that cannot
    // take a setting (a pseudo-terminal has no modem lines) still counts as open.
    platform::CommState state = platform::CommState::plain(9600);
    state.parityCheck = true;
    m_port.setState(state);
    m_port.setDtr(true);
    return true;
}

std::size_t SerialPort::Write(const void* data, std::size_t n) {
    if (!m_port.isOpen() || n == 0)
        return 0;
    const auto deadline = writeTimeout(n);
    const std::size_t written = m_port.write(static_cast<const char*>(data), n, deadline);
    if (written == 0)
        return 0;
    m_port.drain(deadline);
    return written;
}

void SerialPort::Close() {
    m_port.close();
    m_devicePath.clear();
}

} // namespace halmbrook
