#include "headadjust/outputchannel.h"

#include <array>

namespace headadjust {
bool OutputChannel::openSerial(const std::string& devicePath, std::uint32_t baudRate) {
    platform::SerialPort port;
    if (!port.open(devicePath))
        return false;
    platform::CommState state;
    (void)port.getState(state);
    state.baudRate = baudRate;
    state.byteSize = 8;
    state.parity = platform::CommState::NoParity;
    state.stopBits = platform::CommState::OneStopBit;
    state.parityCheck = false;
    // No handshaking: the tool only sends, and a printer that holds CTS or
    // DSR low must not stall the window.
    state.outxCtsFlow = false;
    state.outxDsrFlow = false;
    state.outX = false;
    state.inX = false;
    // DTR and RTS raised, so printers that wait for a ready host will print.
    state.dtrControl = platform::CommState::ControlEnable;
    state.rtsControl = platform::CommState::ControlEnable;
    if (!port.setState(state))
        return false;
    m_serial = std::move(port);
    return true;
}

bool OutputChannel::openParallel(const std::string& devicePath) {
    return m_parallel.open(devicePath, platform::DeviceFile::Sharing::Shared);
}

std::optional<ChannelKind> OutputChannel::active() const {
    if (m_serial.isOpen())
        return ChannelKind::Serial;
    if (m_parallel.isOpen())
        return ChannelKind::Parallel;
    return std::nullopt;
}

bool OutputChannel::write(std::string_view bytes) {
    if (bytes.empty())
        return true;
    // The serial port decides first: it is the channel whenever it is open.
    if (m_serial.isOpen())
        return m_serial.write(bytes.data(), bytes.size(), WriteDeadline) == bytes.size();
    if (m_parallel.isOpen())
        return m_parallel.write(bytes.data(), bytes.size(), WriteDeadline) == bytes.size();
    return false;
}

void OutputChannel::close() {
    m_serial.close();
    m_parallel.close();
}

} // namespace headadjust
