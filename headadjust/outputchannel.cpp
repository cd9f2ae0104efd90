#include "headadjust/outputchannel.h"

namespace headadjust {

bool OutputChannel::openSerial(const std::string& devicePath, std::uint32_t baudRate) {
    m_lastError.clear();
    platform::SerialPort port;
    if (!port.open(devicePath)) {
        m_lastError = port.lastError();
        return false;
    }
    // The plain line as it is: no handshaking, since the tool only sends and a
    // printer that holds CTS or DSR low must not stall the window; DTR and RTS
    // raised, so printers that wait for a ready host will print.
    if (!port.setState(platform::CommState::plain(baudRate))) {
        m_lastError = devicePath + ": the line settings were refused";
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
    m_lastError.clear();
    if (bytes.empty())
        return true;
    // The serial port decides first: it is the channel whenever it is open.
    if (m_serial.isOpen()) {
        if (m_serial.write(bytes.data(), bytes.size(), WriteDeadline) == bytes.size())
            return true;
        m_lastError = m_serial.lastError();
        return false;
    }
    if (m_parallel.isOpen()) {
        if (m_parallel.write(bytes.data(), bytes.size(), WriteDeadline) == bytes.size())
            return true;
        m_lastError = m_parallel.lastError();
        return false;
    }
    return false;
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
