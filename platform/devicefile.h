#pragma once

// A printer character device: a parallel port (/dev/lpN) or a USB printer
// (/dev/usb/lpN). Parallel devices are opened shared, USB printers exclusively.

#include "platform/fdio.h"
#include "platform/uniquefd.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace platform {

class DeviceFile {
public:
    enum class Sharing { Shared, Exclusive };

    [[nodiscard]] bool open(const std::string& devicePath, Sharing sharing);
    [[nodiscard]] bool isOpen() const { return m_fd.isOpen(); }
    void close();

    // As SerialPort::write: the count written before the deadline, 0 on failure.
    [[nodiscard]] std::size_t write(const char* data, std::size_t n,
                                    std::chrono::milliseconds deadline,
                                    const fdio::WriteControl& control = {});
    // Waits until the device has taken what was written, at most until the
    // deadline or a requested stop.
    bool flush(std::chrono::milliseconds deadline, const std::stop_token& stop = {});
    // Bytes waiting where the device has an input queue; nullopt where it has none.
    [[nodiscard]] std::optional<std::size_t> bytesWaiting() const;
    // As SerialPort::read, with its failure in lastReadError().
    [[nodiscard]] std::size_t read(char* buffer, std::size_t capacity);
    [[nodiscard]] const std::string& lastReadError() const { return m_lastReadError; }
    // True when the device reports a hang-up or an error (unplugged). Never waits.
    [[nodiscard]] bool farEndGone() const { return fdio::farEndGone(m_fd.get()); }

    // The text of the last failure of open or write (empty when none).
    [[nodiscard]] const std::string& lastError() const { return m_lastError; }
    // Its errno value (see fdio::WriteReport for a write's); 0 when none.
    [[nodiscard]] int lastErrorCode() const { return m_lastErrorCode; }

private:
    UniqueFd m_fd;
    std::string m_lastError;
    int m_lastErrorCode = 0;
    std::string m_lastReadError;
};

} // namespace platform
