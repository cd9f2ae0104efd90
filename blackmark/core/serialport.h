#pragma once

// Halmbrook's serial port: one port with fixed line settings (9600 8N1, DTR
// and RTS on, no handshake), opened by its Windows-style name through the
// kit's port map. The port stays open until the next Open or destruction.

#include "platform/serialport.h"

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
    void Close();

    [[nodiscard]] bool isOpen() const { return m_port.isOpen(); }
    // The device the last Open resolved the name to (empty when none).
    [[nodiscard]] const std::string& devicePath() const { return m_devicePath; }

    // The whole write must finish within 3000 ms plus 2000 ms per byte.
    [[nodiscard]] static std::chrono::milliseconds writeTimeout(std::size_t n);

private:
    platform::SerialPort m_port;
    std::string m_devicePath;
};

} // namespace halmbrook
