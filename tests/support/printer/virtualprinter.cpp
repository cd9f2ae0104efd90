#include "tests/support/printer/virtualprinter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace testsupport {

namespace {

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

VirtualPrinter::VirtualPrinter(Kind kind) : m_kind(kind) {}

std::unique_ptr<VirtualPrinter> VirtualPrinter::serial() {
    std::unique_ptr<VirtualPrinter> printer(new VirtualPrinter(Kind::Serial));
    char name[256] = {};
    if (::openpty(&printer->m_master, &printer->m_slave, name, nullptr, nullptr) != 0)
        return nullptr;
    // Raw on both ends: no echo of what we send back, no line-end changes.
    termios tio{};
    if (::tcgetattr(printer->m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(printer->m_slave, TCSANOW, &tio);
    }
    ::fcntl(printer->m_master, F_SETFL, ::fcntl(printer->m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(printer->m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(printer->m_slave, F_SETFD, FD_CLOEXEC);
    printer->m_devicePath = name;
    printer->start();
    return printer;
}

std::unique_ptr<VirtualPrinter> VirtualPrinter::tcp() {
    std::unique_ptr<VirtualPrinter> printer(new VirtualPrinter(Kind::Tcp));
    printer->m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (printer->m_listener < 0)
        return nullptr;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(printer->m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(printer->m_listener, 4) != 0 ||
        ::getsockname(printer->m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return nullptr;
    printer->m_port = ntohs(address.sin_port);
    printer->start();
    return printer;
}

VirtualPrinter::~VirtualPrinter() {
    stopThread();
    closeFd(m_master);
    closeFd(m_slave);
    closeFd(m_listener);
    closeFd(m_wake);
}

void VirtualPrinter::start() {
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

void VirtualPrinter::wake() const {
    const std::uint64_t one = 1;
    (void)!::write(m_wake, &one, sizeof one);
}

void VirtualPrinter::stopThread() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    wake();
    m_thread.join();
}

void VirtualPrinter::run() {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        pollfd fds[3] = {{m_wake, POLLIN, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            if (m_reading)
                fds[1].fd = m_master;
            fds[2].fd = m_listener;
        }
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            (void)!::read(m_wake, &count, sizeof count);
        }
        if (fds[2].fd >= 0 && (fds[2].revents & POLLIN) != 0) {
            const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                std::lock_guard lock(m_mutex);
                closeFd(m_master); // one printer, one connection: the newest wins
                m_master = connection;
                ++m_connections;
                m_changed.notify_all();
            }
        }
        if (fds[1].fd >= 0 && fds[1].revents != 0) {
            const ssize_t got = m_kind == Kind::Tcp
                                    ? ::recv(fds[1].fd, buffer.data(), buffer.size(), MSG_DONTWAIT)
                                    : ::read(fds[1].fd, buffer.data(), buffer.size());
            const int error = errno;
            std::unique_lock lock(m_mutex);
            if (got > 0) {
                if (m_recording)
                    m_received.append(buffer.data(), static_cast<std::size_t>(got));
                m_count += static_cast<std::size_t>(got);
                m_changed.notify_all();
            } else if (m_kind == Kind::Tcp && (got == 0 || (error != EAGAIN && error != EINTR))) {
                if (m_master == fds[1].fd)
                    closeFd(m_master); // the tool closed the connection
            } else if (got < 0 && error != EAGAIN && error != EINTR) {
                // A pty between two owners of the slave: look again shortly, don't spin.
                lock.unlock();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }
}

std::string VirtualPrinter::received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::size_t VirtualPrinter::receivedCount() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void VirtualPrinter::clearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
    m_count = 0;
}

bool VirtualPrinter::waitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_count >= count; });
}

int VirtualPrinter::connections() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

bool VirtualPrinter::waitForConnections(int count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_connections >= count; });
}

void VirtualPrinter::setRecording(bool on) {
    std::lock_guard lock(m_mutex);
    m_recording = on;
}

void VirtualPrinter::setReading(bool on) {
    {
        std::lock_guard lock(m_mutex);
        m_reading = on;
    }
    wake();
}

bool VirtualPrinter::stallWithFullLine() {
    if (m_kind != Kind::Serial)
        return false;
    setReading(false);
    // Let the thread leave the poll that may still watch the line.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int fd = ::open(m_devicePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // The kernel moves bytes on between its buffers a little later and makes
    // room again; fill until a round finds none.
    // Large pieces first, then single bytes for the last corners of room.
    const std::string filler(4096, 'f');
    std::size_t filled = 0;
    for (bool tookAny = true; tookAny;) {
        tookAny = false;
        for (const std::size_t piece : {filler.size(), std::size_t{1}}) {
            for (ssize_t n; (n = ::write(fd, filler.data(), piece)) > 0;) {
                filled += static_cast<std::size_t>(n);
                tookAny = true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::close(fd);
    return filled > 0;
}

bool VirtualPrinter::sendBack(const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    if (m_master < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        pollfd p{m_master, POLLOUT, 0};
        if (::poll(&p, 1, 1000) <= 0)
            return false;
        const ssize_t sent =
            m_kind == Kind::Tcp
                ? ::send(m_master, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                : ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0)
            done += static_cast<std::size_t>(sent);
    }
    return true;
}

void VirtualPrinter::vanish() {
    stopThread();
    std::lock_guard lock(m_mutex);
    if (m_kind == Kind::Tcp && m_master >= 0) {
        // Linger 0: the close sends a reset, as a printer that lost power would.
        linger hard{1, 0};
        ::setsockopt(m_master, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    closeFd(m_master);
    closeFd(m_listener);
    closeFd(m_slave);
}

} // namespace testsupport
