#pragma once

// Halmbrook's serial port: one port with fixed line settings (9600 8N1, DTR
// and RTS on, no handshake, neither hardware nor XON/XOFF), opened by its Windows-style name
// through the kit's port map. The port stays open until the next Open or destruction.

#include "platform/serialport.h"
#include "platform/writeworker.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace halmbrook {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort() { Close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // name is "COM1:" .. "COM12:" (the colon is optional). Closes any port
    // that is open first. True when the device could be opened; the line
    // settings are applied as far as the device supports them.
    [[nodiscard]] bool Open(std::string_view name);
    // The count written, 0 on failure; less than n when the time-out ran out.
    [[nodiscard]] std::size_t Write(const void* data, std::size_t n);
    // Write as a WriteWorker runs it (on its thread): the write and its
    // drain, stopped early when control.stop asks; says why when short.
    [[nodiscard]] platform::SegmentReport writeSegment(std::string_view bytes,
                                                       const platform::WriteControl& control);
    // Drops what the driver still holds for output (after a cancelled write).
    void discardOutput() { m_port.discardOutput(); }
    void Close();

    [[nodiscard]] bool isOpen() const { return m_port.isOpen(); }
    // The device the last Open resolved the name to (empty when none).
    [[nodiscard]] const std::string& devicePath() const { return m_devicePath; }
    // Why the last Open or write failed, in the tools' language; empty when it did not.
    [[nodiscard]] const std::string& lastError() const { return m_lastError; }

    // The whole write must finish within 3000 ms plus 2000 ms per byte.
    [[nodiscard]] static std::chrono::milliseconds writeTimeout(std::size_t n);

private:
    platform::SerialPort m_port;
    std::string m_devicePath;
    std::string m_lastError;
};

} // namespace halmbrook
