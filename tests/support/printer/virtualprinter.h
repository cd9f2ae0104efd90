#pragma once

// A printer that tests can talk to: the far end of a pseudo-terminal (the
// tool opens the slave path like a serial port) or a TCP listener on
// 127.0.0.1 with an ephemeral port. It records every byte that arrives; the
// test can send bytes back, stop reading so that the tool's writes fill the
// buffers and hit their deadline, and vanish while connected like an
// unplugged cable. The lines themselves are the virtual printer's endpoints.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace posprinter {
class Endpoint;
}

namespace testsupport {

class VirtualPrinter {
public:
    // nullptr when the pair or the listener cannot be made.
    [[nodiscard]] static std::unique_ptr<VirtualPrinter> serial();
    [[nodiscard]] static std::unique_ptr<VirtualPrinter> tcp();
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    // Serial: the slave device path. TCP: empty.
    [[nodiscard]] const std::string& devicePath() const { return m_devicePath; }
    // TCP: the listening port. Serial: 0.
    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // Serial: a descriptor on the slave kept open by the printer, for reading
    // back the line settings the tool applied.
    [[nodiscard]] int slaveFd() const { return m_slave; }

    // Everything received so far, and its total count (also counted when
    // recording is off).
    [[nodiscard]] std::string received() const;
    [[nodiscard]] std::size_t receivedCount() const;
    void clearReceived();
    // Waits until at least count bytes have arrived in total.
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout) const;
    // Connections accepted so far (TCP).
    [[nodiscard]] int connections() const;
    bool waitForConnections(int count, std::chrono::milliseconds timeout) const;

    // Keep counting but drop the bytes (long benchmark runs).
    void setRecording(bool on);
    // Stop or resume taking bytes off the line.
    void setReading(bool on);
    // Serial: stops reading and fills the line with filler bytes ('f'), so
    // that the tool's next write stalls at once (a printer out of paper that
    // holds the line). Once reading resumes the filler arrives first.
    bool stallWithFullLine();
    // Bytes for the tool to read (serial) or receive (TCP).
    bool sendBack(const std::string& bytes);
    // The cable is pulled: the pty master is closed, or the TCP connection is
    // reset and the listener closed.
    void vanish();

private:
    explicit VirtualPrinter(std::unique_ptr<posprinter::Endpoint> endpoint);
    void start();

    std::unique_ptr<posprinter::Endpoint> m_endpoint;
    std::string m_devicePath;
    std::uint16_t m_port = 0;
    int m_slave = -1;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::string m_received;
    std::size_t m_count = 0;
    int m_connections = 0;
    bool m_recording = true;
};

} // namespace testsupport
