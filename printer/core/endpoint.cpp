#include "printer/core/endpoint.h"

#include "platform/errors.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace posprinter {

namespace {

bool fail(std::string* error, const char* what) {
    if (error != nullptr)
        *error = platform::lastErrnoMessage(what);
    return false;
}

} // namespace

Endpoint::Endpoint(Kind kind) : m_kind(kind) {}

std::unique_ptr<Endpoint> Endpoint::openPty(std::string* error) {
    std::unique_ptr<Endpoint> e(new Endpoint(Kind::Pty));
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        fail(error, "openpty");
        return nullptr;
    }
    e->m_connection = platform::UniqueFd(master);
    e->m_slave = platform::UniqueFd(slave);
    // Raw: no echo of replies, no line-end changes, whatever the client sets later.
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    e->m_devicePath = name;
    return e;
}

std::unique_ptr<Endpoint> Endpoint::listenTcp(const std::string& host, std::uint16_t port,
                                              Takeover takeover, std::string* error) {
    std::unique_ptr<Endpoint> e(new Endpoint(Kind::Tcp));
    e->m_takeover = takeover;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        if (error != nullptr)
            *error = "not an IPv4 address: " + host;
        return nullptr;
    }
    e->m_listener =
        platform::UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!e->m_listener.isOpen()) {
        fail(error, "socket");
        return nullptr;
    }
    const int on = 1;
    ::setsockopt(e->m_listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    socklen_t length = sizeof address;
    if (::bind(e->m_listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(e->m_listener.get(), 8) != 0 ||
        ::getsockname(e->m_listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        fail(error, (host + ":" + std::to_string(port)).c_str());
        return nullptr;
    }
    e->m_host = host;
    e->m_port = ntohs(address.sin_port);
    return e;
}

Endpoint::~Endpoint() {
    stop();
}

void Endpoint::start(Handlers handlers) {
    if (m_thread.joinable())
        return;
    m_handlers = std::move(handlers);
    m_stop = false;
    m_wake = platform::UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    m_thread = std::thread([this] { run(); });
}

void Endpoint::wake() const {
    const std::uint64_t one = 1;
    (void)!::write(m_wake.get(), &one, sizeof one);
}

void Endpoint::stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    wake();
    m_thread.join();
}

bool Endpoint::clientConnected() const {
    std::lock_guard lock(m_mutex);
    return m_kind == Kind::Tcp && m_connection.isOpen();
}

void Endpoint::run() {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        pollfd fds[3] = {{m_wake.get(), POLLIN, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            if (m_reading)
                fds[1].fd = m_connection.get();
            if (m_takeover == Takeover::Replace || !m_connection.isOpen())
                fds[2].fd = m_listener.get();
        }
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            (void)!::read(m_wake.get(), &count, sizeof count);
        }
        if (fds[2].fd >= 0 && (fds[2].revents & POLLIN) != 0) {
            const int client =
                ::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                bool replaced = false;
                {
                    std::lock_guard lock(m_mutex);
                    replaced = m_connection.isOpen();
                    m_connection = platform::UniqueFd(client);
                }
                if (replaced && m_handlers.closed)
                    m_handlers.closed();
                if (m_handlers.accepted)
                    m_handlers.accepted();
                continue; // poll again with the new connection
            }
        }
        if (fds[1].fd >= 0 && fds[1].revents != 0) {
            const ssize_t got = m_kind == Kind::Tcp
                                    ? ::recv(fds[1].fd, buffer.data(), buffer.size(), MSG_DONTWAIT)
                                    : ::read(fds[1].fd, buffer.data(), buffer.size());
            const int error = errno;
            if (got > 0) {
                if (m_handlers.received)
                    m_handlers.received(
                        std::string_view(buffer.data(), static_cast<std::size_t>(got)));
            } else if (m_kind == Kind::Tcp && (got == 0 || (error != EAGAIN && error != EINTR))) {
                {
                    std::lock_guard lock(m_mutex);
                    if (m_connection.get() == fds[1].fd)
                        m_connection.reset(); // the client closed the connection
                }
                if (m_handlers.closed)
                    m_handlers.closed();
            } else if (got < 0 && error != EAGAIN && error != EINTR) {
                // A pty between two owners of the slave: look again shortly, don't spin.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }
}

void Endpoint::setReading(bool on) {
    {
        std::lock_guard lock(m_mutex);
        m_reading = on;
    }
    wake();
}

bool Endpoint::sendBack(std::string_view bytes, std::chrono::milliseconds timeout) {
    std::lock_guard lock(m_mutex);
    if (!m_connection.isOpen())
        return false;
    const int fd = m_connection.get();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLOUT, 0};
        if (left.count() < 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t sent =
            m_kind == Kind::Tcp ? ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                                : ::write(fd, bytes.data() + done, bytes.size() - done);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0)
            done += static_cast<std::size_t>(sent);
    }
    return true;
}

void Endpoint::vanish() {
    stop();
    std::lock_guard lock(m_mutex);
    if (m_kind == Kind::Tcp && m_connection.isOpen()) {
        // Linger 0: the close sends a reset, as a printer that lost power would.
        linger hard{1, 0};
        ::setsockopt(m_connection.get(), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    m_connection.reset();
    m_listener.reset();
    m_slave.reset();
}

DeviceLink::~DeviceLink() {
    remove();
}

bool DeviceLink::create(const std::string& linkPath, const std::string& target,
                        std::string* error) {
    remove();
    struct stat old {};
    if (::lstat(linkPath.c_str(), &old) == 0) {
        if (!S_ISLNK(old.st_mode)) {
            if (error != nullptr)
                *error = linkPath + ": exists and is not a symbolic link";
            return false;
        }
        if (::unlink(linkPath.c_str()) != 0)
            return fail(error, linkPath.c_str());
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0)
        return fail(error, linkPath.c_str());
    m_path = linkPath;
    return true;
}

void DeviceLink::remove() {
    if (m_path.empty())
        return;
    ::unlink(m_path.c_str());
    m_path.clear();
}

} // namespace posprinter
