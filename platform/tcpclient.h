#pragma once

// A blocking IPv4 TCP client for network printers. It only sends.

#include "platform/fdio.h"
#include "platform/uniquefd.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class TcpClient {
public:
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{5000};

    // address is read as inet_addr() reads it; an empty or unreadable address
    // fails at once. port: its low 16 bits are used. The connect gives up
    // after timeout.
    [[nodiscard]] bool connect(const std::string& address, std::int32_t port,
                               std::chrono::milliseconds timeout = DefaultConnectTimeout);
    [[nodiscard]] bool isOpen() const { return m_fd.isOpen(); }
    void close();

    // Hands the bytes to the socket in one blocking send; never raises SIGPIPE.
    // Returns the count sent, or -1 on failure.
    long send(const char* data, std::size_t n);

    // Bounds each later send: a peer that stops reading cannot hold the caller
    // for longer than this (0: no bound). Returns false when not connected.
    bool setSendTimeout(std::chrono::milliseconds timeout);

    // As SerialPort::write: sends up to n bytes within the deadline, in
    // pieces as the socket takes them, and returns how many went out before
    // it. A stop request ends the wait within a few milliseconds; a peer
    // that is gone ends it at once. A short count leaves its reason in
    // lastError() and lastErrorCode(). Never raises SIGPIPE.
    [[nodiscard]] std::size_t write(const char* data, std::size_t n,
                                    std::chrono::milliseconds deadline,
                                    const fdio::WriteControl& control = {});
    // True once the peer has closed or reset the connection. Never waits.
    [[nodiscard]] bool peerGone() const { return fdio::farEndGone(m_fd.get()); }

    // The text of the last failure of connect or send (empty when none).
    [[nodiscard]] const std::string& lastError() const { return m_lastError; }
    // The errno value of the last write's failure (see fdio::WriteReport); 0 when none.
    [[nodiscard]] int lastErrorCode() const { return m_lastErrorCode; }

private:
    UniqueFd m_fd;
    std::string m_lastError;
    int m_lastErrorCode = 0;
};

} // namespace platform
