#pragma once

// Where a printer takes its bytes: the far end of a pseudo-terminal (a client
// opens the slave path like a serial port, with any line settings) or a TCP
// listener. A thread of the endpoint's own takes every byte off the line as it
// comes and hands it to a handler, so a slow consumer never makes a client's
// write stall or lose bytes. Replies go back to the client on the same line.
// Used by the virtual printer program and by the tests' printer alike.

#include "platform/uniquefd.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace posprinter {

class Endpoint {
public:
    enum class Kind { Pty, Tcp };
    // A second TCP client while one is connected: it waits its turn (as at a
    // real printer), or it replaces the first (the newest wins).
    enum class Takeover { Queue, Replace };

    struct Handlers {
        // Called on the endpoint's thread, never with a lock of the endpoint held.
        std::function<void(std::string_view bytes)> received;
        std::function<void()> accepted; // a TCP client connected
        std::function<void()> closed;   // a TCP client went away
    };

    // nullptr on failure, with the reason in *error.
    [[nodiscard]] static std::unique_ptr<Endpoint> openPty(std::string* error = nullptr);
    // host is a dotted IPv4 address; port 0 picks a free one.
    [[nodiscard]] static std::unique_ptr<Endpoint> listenTcp(const std::string& host,
                                                             std::uint16_t port, Takeover takeover,
                                                             std::string* error = nullptr);
    ~Endpoint();
    Endpoint(const Endpoint&) = delete;
    Endpoint& operator=(const Endpoint&) = delete;

    // Starts the reading thread.
    void start(Handlers handlers);
    // Ends the thread; the descriptors stay open.
    void stop();

    [[nodiscard]] Kind kind() const { return m_kind; }
    // Pty: the slave path clients open. Tcp: empty.
    [[nodiscard]] const std::string& devicePath() const { return m_devicePath; }
    // Pty: the slave, held open so the master never sees a hang-up between clients.
    [[nodiscard]] int slaveFd() const { return m_slave.get(); }
    // Tcp: the bound address and port.
    [[nodiscard]] const std::string& host() const { return m_host; }
    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // Tcp: a client is connected now.
    [[nodiscard]] bool clientConnected() const;

    // Stop or resume taking bytes off the line (a printer that does not read).
    void setReading(bool on);
    // Sends to the client (pty: into the slave's input). False when there is no
    // client or the bytes could not all go within the time-out.
    bool sendBack(std::string_view bytes,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));
    // The cable is pulled: the thread stops, the pty master is closed, or the
    // TCP connection is reset and the listener closed.
    void vanish();

private:
    explicit Endpoint(Kind kind);
    void run();
    void wake() const;

    Kind m_kind;
    Takeover m_takeover = Takeover::Queue;
    platform::UniqueFd m_connection; // pty master, or the accepted TCP connection
    platform::UniqueFd m_slave;
    platform::UniqueFd m_listener;
    platform::UniqueFd m_wake; // eventfd: wakes the thread on a change
    std::string m_devicePath;
    std::string m_host;
    std::uint16_t m_port = 0;

    mutable std::mutex m_mutex;
    Handlers m_handlers;
    bool m_reading = true;
    bool m_stop = false;
    std::thread m_thread;
};

// A symbolic link to the pty's slave under a stable name, removed again when
// the owner goes. It replaces an old link there, never a file.
class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    bool create(const std::string& linkPath, const std::string& target, std::string* error);
    void remove();

private:
    std::string m_path;
};

} // namespace posprinter
