#pragma once

// A serial port on a termios device, with the settings model the tools were
// written against: a device control block (CommState) that is read from the
// port, changed field by field, and applied. How each field maps onto termios
// is kept in one table in serialport.cpp (see serialtermios.h).

#include "platform/fdio.h"
#include "platform/uniquefd.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// A device control block. A fresh one holds the plain line (see plain()).
struct CommState {
    enum Parity : std::uint8_t { NoParity = 0, OddParity = 1, EvenParity = 2 };
    enum StopBits : std::uint8_t { OneStopBit = 0, One5StopBits = 1, TwoStopBits = 2 };
    enum LineControl : std::uint8_t { ControlDisable = 0, ControlEnable = 1, ControlHandshake = 2 };

    std::uint32_t baudRate = 9600;
    std::uint8_t byteSize = 8;
    Parity parity = NoParity;
    StopBits stopBits = OneStopBit;
    bool binary = true;
    bool parityCheck = false; // check parity of received bytes
    bool outxCtsFlow = false; // hold output while CTS is low
    bool outxDsrFlow = false; // hold output while DSR is low
    LineControl dtrControl = ControlEnable;
    LineControl rtsControl = ControlEnable;
    bool outX = false; // XON/XOFF on output
    bool inX = false;  // XON/XOFF on input
    char xonChar = 0x11;
    char xoffChar = 0x13;
    std::uint16_t xonLim = 100;
    std::uint16_t xoffLim = 100;

    // The plain line every tool starts from before its own few settings: the
    // given rate, 8 data bits, no parity, 1 stop bit, no parity checking, no
    // handshake of any kind (CTS, DSR, XON/XOFF), DTR and RTS raised.
    [[nodiscard]] static CommState plain(std::uint32_t baud = 9600) {
        CommState state;
        state.baudRate = baud;
        return state;
    }

    bool operator==(const CommState&) const = default;
};

class SerialPort {
public:
    // Opens the device for reading and writing, exclusively: a port that
    // another process holds fails to open. Never blocks on modem lines.
    [[nodiscard]] bool open(const std::string& devicePath);
    [[nodiscard]] bool isOpen() const { return m_fd.isOpen(); }
    void close();

    // The port's current settings as a device control block; false when the
    // port cannot tell (the state is then left as it was).
    [[nodiscard]] bool getState(CommState& state) const;
    // Applies the block; settings a device does not support are skipped.
    bool setState(const CommState& state);
    bool setDtr(bool on);
    bool setRts(bool on);

    // Writes up to n bytes within the deadline and returns how many were
    // written before it; 0 on failure. Output flow control is honoured. A
    // short count leaves its reason in lastError() and lastErrorCode().
    [[nodiscard]] std::size_t write(const char* data, std::size_t n,
                                    std::chrono::milliseconds deadline,
                                    const fdio::WriteControl& control = {});
    // Waits until the output queue is empty, at most until the deadline or a
    // requested stop.
    bool drain(std::chrono::milliseconds deadline, const std::stop_token& stop = {});
    // Drops whatever the driver still holds for output (after a cancelled write).
    void discardOutput();
    // Bytes waiting in the input queue; nullopt when the port cannot tell.
    [[nodiscard]] std::optional<std::size_t> bytesWaiting() const;
    // Reads at most min(capacity, bytes waiting); never waits for more. A
    // failure is kept in lastReadError(), apart from the write's, so that
    // reads and writes may run on two threads at once.
    [[nodiscard]] std::size_t read(char* buffer, std::size_t capacity);
    [[nodiscard]] const std::string& lastReadError() const { return m_lastReadError; }
    // True when the line reports a hang-up (the device is unplugged, the far
    // end of a pseudo-terminal closed). Never waits.
    [[nodiscard]] bool farEndGone() const { return fdio::farEndGone(m_fd.get()); }

    // The text of the last failure of open or write (empty when none).
    [[nodiscard]] const std::string& lastError() const { return m_lastError; }
    // Its errno value (see fdio::WriteReport for a write's); 0 when none.
    [[nodiscard]] int lastErrorCode() const { return m_lastErrorCode; }

private:
    // The parts of the control block that termios cannot hold; the port keeps
    // them itself and emulates them (see serialport.cpp).
    struct Emulated {
        bool outxDsrFlow = false;
        CommState::LineControl dtrControl = CommState::ControlEnable;
        CommState::LineControl rtsControl = CommState::ControlEnable;
        std::uint16_t xonLim = 100;
        std::uint16_t xoffLim = 100;
    };

    UniqueFd m_fd;
    Emulated m_emulated;
    std::string m_lastError;
    int m_lastErrorCode = 0;
    std::string m_lastReadError;
};

} // namespace platform
