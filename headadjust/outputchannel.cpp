#include "headadjust/outputchannel.h"

#include <cerrno>

namespace headadjust {

bool OutputChannel::openSerial(const std::string& devicePath, std::uint32_t baudRate) {
    m_lastError.clear();
    m_speedRefused = false;
    platform::SerialPort port;
    if (!port.open(devicePath)) {
        m_lastError = port.lastError();
        return false;
    }
    // The plain line as it is: no handshaking, since the tool only sends and a
    // printer that holds CTS or DSR low must not stall the window; DTR and RTS
    // raised, so printers that wait for a ready host will print.
    if (!port.setState(platform::CommState::plain(baudRate))) {
        m_lastError = devicePath + "：串口参数设置失败";
        return false;
    }
    // A rate the driver cannot make is dropped without an error; only reading
    // it back tells.
    platform::CommState applied;
    if (port.getState(applied) && applied.baudRate != baudRate) {
        m_speedRefused = true;
        m_lastError = devicePath + "：此端口不支持波特率 " + std::to_string(baudRate);
        return false;
    }
    m_serial = std::move(port);
    return true;
}

bool OutputChannel::openParallel(const std::string& devicePath) {
    m_lastError.clear();
    if (m_parallel.open(devicePath, platform::DeviceFile::Sharing::Shared))
        return true;
    m_lastError = m_parallel.lastError();
    return false;
}

std::optional<ChannelKind> OutputChannel::active() const {
    if (m_serial.isOpen())
        return ChannelKind::Serial;
    if (m_parallel.isOpen())
        return ChannelKind::Parallel;
    return std::nullopt;
}

bool OutputChannel::write(std::string_view bytes) {
    return writeSegment(bytes, {}).error == 0;
}

platform::SegmentReport OutputChannel::writeSegment(std::string_view bytes,
                                                    const platform::WriteControl& control) {
    m_lastError.clear();
    platform::SegmentReport report;
    if (bytes.empty())
        return report;
    const auto take = [&](auto& device) {
        report.written = device.write(bytes.data(), bytes.size(), WriteDeadline, control);
        if (report.written < bytes.size()) {
            report.error = device.lastErrorCode() != 0 ? device.lastErrorCode() : EIO;
            m_lastError = device.lastError();
        }
    };
    // The serial port decides first: it is the channel whenever it is open.
    if (m_serial.isOpen())
        take(m_serial);
    else if (m_parallel.isOpen())
        take(m_parallel);
    else
        report.error = EBADF;
    report.reason = m_lastError;
    return report;
}

void OutputChannel::discardOutput() {
    m_serial.discardOutput();
}

void OutputChannel::close() {
    if (m_serial.isOpen()) {
        m_serial.drain(CloseDeadline);
        m_serial.close();
    }
    if (m_parallel.isOpen()) {
        m_parallel.flush(CloseDeadline);
        m_parallel.close();
    }
}

} // namespace headadjust
