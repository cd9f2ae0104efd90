#include "platform/fdio.h"

#include "platform/errors.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace platform::fdio {

namespace {

// Longest time-out we honour; far beyond any real write, small enough for the clock.
constexpr std::chrono::milliseconds MaxTimeout = std::chrono::hours(24 * 365);
// How often a write that may be stopped looks at its stop token while it waits.
constexpr int StopCheckMs = 20;

// poll() for at most the time left, in slices when a stop may come.
int pollFor(pollfd& p, Clock::time_point deadline, const std::stop_token& stop) {
    int ms = millisecondsLeft(deadline);
    if (stop.stop_possible())
        ms = std::min(ms, StopCheckMs);
    return ::poll(&p, 1, ms);
}

} // namespace

Clock::time_point deadlineAfter(std::chrono::milliseconds timeout) {
    return Clock::now() + std::clamp(timeout, std::chrono::milliseconds::zero(), MaxTimeout);
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    // Round up so that poll() does not return just before the deadline and spin.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<long long>(ms, 1'000'000'000));
}

bool pause(std::chrono::milliseconds step, Clock::time_point deadline,
           const std::stop_token& stop) {
    const auto until = std::min<Clock::time_point>(Clock::now() + step, deadline);
    while (!stop.stop_requested()) {
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero())
            return true;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(left, std::chrono::milliseconds(StopCheckMs)));
    }
    return false;
}

namespace {

using PutCall = ssize_t (*)(int fd, const char* data, std::size_t n);

ssize_t putWrite(int fd, const char* data, std::size_t n) {
    return ::write(fd, data, n);
}

ssize_t putSend(int fd, const char* data, std::size_t n) {
    // MSG_NOSIGNAL: a peer that has gone away must not end the program.
    return ::send(fd, data, n, MSG_NOSIGNAL | MSG_DONTWAIT);
}

WriteReport putUntil(int fd, const char* data, std::size_t n, Clock::time_point deadline,
                     HoldOutput hold, const WriteControl& control, PutCall put) {
    WriteReport report;
    bool pollSaidReady = false;
    const auto stopped = [&] { return control.stop.stop_requested(); };
    while (report.written < n) {
        if (stopped()) {
            report.error = ECANCELED;
            break;
        }
        if (hold != nullptr && hold(fd)) {
            if (Clock::now() >= deadline) {
                report.error = ETIMEDOUT;
                break;
            }
            (void)pause(std::chrono::milliseconds(10), deadline, control.stop);
            continue;
        }
        const ssize_t written = put(fd, data + report.written, n - report.written);
        if (written > 0) {
            report.written += static_cast<std::size_t>(written);
            pollSaidReady = false;
            if (control.progress)
                control.progress(report.written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            report.error = errno;
            break;
        }
        if (Clock::now() >= deadline) {
            report.error = ETIMEDOUT;
            break;
        }
        // Some printer drivers have no poll and always report ready; don't spin on them.
        if (pollSaidReady)
            (void)pause(std::chrono::milliseconds(2), deadline, control.stop);
        pollfd p{fd, POLLOUT, 0};
        const int ready = pollFor(p, deadline, control.stop);
        if (ready < 0 && errno != EINTR) {
            report.error = errno;
            break;
        }
        if (ready > 0 && (p.revents & POLLOUT) == 0 && (p.revents & (POLLHUP | POLLERR)) != 0) {
            // The far end is gone: nothing written now would arrive.
            report.error = EPIPE;
            break;
        }
        pollSaidReady = ready > 0;
    }
    return report;
}

} // namespace

WriteReport writeUntil(int fd, const char* data, std::size_t n, Clock::time_point deadline,
                       HoldOutput hold, const WriteControl& control) {
    return putUntil(fd, data, n, deadline, hold, control, &putWrite);
}

WriteReport sendUntil(int fd, const char* data, std::size_t n, Clock::time_point deadline,
                      const WriteControl& control) {
    return putUntil(fd, data, n, deadline, nullptr, control, &putSend);
}

bool farEndGone(int fd) {
    if (fd < 0)
        return false;
    pollfd p{fd, POLLRDHUP, 0};
    for (;;) {
        const int ready = ::poll(&p, 1, 0);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL | POLLRDHUP)) != 0;
    }
}

std::string writeErrorMessage(int error) {
    switch (error) {
    case 0:
        return {};
    case ETIMEDOUT:
        return writeTimeoutMessage();
    case ECANCELED:
        return errnoMessage(ECANCELED);
    default:
        return "写入：" + errnoMessage(error);
    }
}

bool waitWritable(int fd, Clock::time_point deadline, const std::stop_token& stop) {
    for (;;) {
        if (stop.stop_requested())
            return false;
        pollfd p{fd, POLLOUT, 0};
        const int ready = pollFor(p, deadline, stop);
        if (ready > 0)
            return (p.revents & POLLOUT) != 0;
        if (ready == 0 && Clock::now() >= deadline)
            return false;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

std::optional<std::size_t> bytesWaiting(int fd) {
    int waiting = 0;
    if (fd < 0 || ::ioctl(fd, FIONREAD, &waiting) != 0 || waiting < 0)
        return std::nullopt;
    return static_cast<std::size_t>(waiting);
}

std::size_t readWaiting(int fd, char* buffer, std::size_t capacity, std::string* error) {
    const auto waiting = bytesWaiting(fd);
    if (!waiting || *waiting == 0 || capacity == 0 || buffer == nullptr)
        return 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, std::min(capacity, *waiting));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK && error != nullptr)
            *error = lastErrnoMessage("读取");
        return 0;
    }
}

} // namespace platform::fdio
