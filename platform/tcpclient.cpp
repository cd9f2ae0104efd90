#include "platform/tcpclient.h"

#include "platform/errors.h"
#include "platform/fdio.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace platform {

namespace {

bool setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

// Waits for a non-blocking connect to finish; 0 on success, else an errno value.
int finishConnect(int fd, std::chrono::milliseconds timeout) {
    const auto deadline = fdio::deadlineAfter(timeout);
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, fdio::millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return errno;
        if (ready == 0)
            return ETIMEDOUT;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            return errno;
        return error;
    }
}

} // namespace

bool TcpClient::connect(const std::string& address, std::int32_t port,
                        std::chrono::milliseconds timeout) {
    close();
    m_lastError.clear();
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(static_cast<std::uint32_t>(port) & 0xFFFFU));
    // inet_aton reads the same forms as inet_addr ("10.1", hex, octal) without
    // mistaking 255.255.255.255 for an error.
    if (address.empty() || ::inet_aton(address.c_str(), &peer.sin_addr) == 0) {
        m_lastError = "无法识别的 IP 地址“" + address + "”";
        return false;
    }
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.isOpen()) {
        m_lastError = lastErrnoMessage("创建套接字");
        return false;
    }
    // Linux gives up on a silent address only after about two minutes; the
    // window cannot wait that long.
    const auto bound =
        std::clamp(timeout, std::chrono::milliseconds::zero(), DefaultConnectTimeout);
    int error = 0;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0)
        error = errno == EINPROGRESS ? finishConnect(fd.get(), bound) : errno;
    if (error == 0 && !setBlocking(fd.get(), true))
        error = errno;
    if (error != 0) {
        m_lastError = "连接：" + errnoMessage(error);
        return false;
    }
    m_fd = std::move(fd);
    return true;
}

void TcpClient::close() {
    m_fd.reset();
}

long TcpClient::send(const char* data, std::size_t n) {
    if (!m_fd.isOpen())
        return -1;
    for (;;) {
        // MSG_NOSIGNAL: a peer that has gone away must not end the program.
        const ssize_t sent = ::send(m_fd.get(), n == 0 ? "" : data, n, MSG_NOSIGNAL);
        if (sent >= 0)
            return static_cast<long>(sent);
        if (errno == EINTR)
            continue;
        m_lastError = lastErrnoMessage("发送");
        return -1;
    }
}

std::size_t TcpClient::write(const char* data, std::size_t n, std::chrono::milliseconds deadline,
                             const fdio::WriteControl& control) {
    m_lastError.clear();
    m_lastErrorCode = 0;
    if (!m_fd.isOpen()) {
        m_lastErrorCode = EBADF;
        m_lastError = fdio::writeErrorMessage(EBADF);
        return 0;
    }
    if (data == nullptr || n == 0)
        return 0;
    const fdio::WriteReport report =
        fdio::sendUntil(m_fd.get(), data, n, fdio::deadlineAfter(deadline), control);
    m_lastErrorCode = report.error;
    m_lastError = fdio::writeErrorMessage(report.error);
    return report.written;
}

bool TcpClient::setSendTimeout(std::chrono::milliseconds timeout) {
    if (!m_fd.isOpen())
        return false;
    const auto ms = std::clamp<long long>(timeout.count(), 0, 24LL * 3600 * 1000);
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(ms / 1000);
    tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return ::setsockopt(m_fd.get(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0;
}

} // namespace platform
