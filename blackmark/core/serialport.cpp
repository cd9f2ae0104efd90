#include "blackmark/core/serialport.h"

#include "platform/portmap.h"

#include <cerrno>
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
    if (mapping.devicePath.empty()) {
        m_lastError = platform::noDeviceMessage(name);
        return false;
    }
    if (!m_port.open(mapping.devicePath)) {
        m_lastError = m_port.lastError();
        return false;
    }
    m_devicePath = mapping.devicePath;

    // The plain line at 9600 with parity checking on; a device that cannot
    // take a setting (a pseudo-terminal has no modem lines) still counts as open.
    // The plain line has no XON/XOFF: a stray XOFF from the printer must not
    // hold the commands back.
    platform::CommState state = platform::CommState::plain(9600);
    state.parityCheck = true;
    m_port.setState(state);
    m_port.setDtr(true);
    return true;
}

std::size_t SerialPort::Write(const void* data, std::size_t n) {
    return writeSegment(std::string_view(static_cast<const char*>(data), n), {}).written;
}

platform::SegmentReport SerialPort::writeSegment(std::string_view bytes,
                                                 const platform::WriteControl& control) {
    platform::SegmentReport report;
    m_lastError.clear();
    if (!m_port.isOpen()) {
        report.error = EBADF;
        m_lastError = report.reason = "串口没有打开";
        return report;
    }
    if (bytes.empty())
        return report;
    const auto deadline = writeTimeout(bytes.size());
    report.written = m_port.write(bytes.data(), bytes.size(), deadline, control);
    if (report.written < bytes.size()) {
        report.error = m_port.lastErrorCode() != 0 ? m_port.lastErrorCode() : ETIMEDOUT;
        m_lastError = report.reason = m_port.lastError();
    }
    if (report.written == 0)
        return report;
    m_port.drain(deadline, control.stop);
    return report;
}

void SerialPort::Close() {
    m_port.close();
    m_devicePath.clear();
}

} // namespace halmbrook
