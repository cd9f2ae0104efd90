#include "platform/fdio.h"

#include "platform/errors.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace platform::fdio {

namespace {

// Longest time-out we honour; far beyond any real write, small enough for the clock.
constexpr std::chrono::milliseconds MaxTimeout = std::chrono::hours(24 * 365);

void sleepAtMost(std::chrono::milliseconds step, Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left > Clock::duration::zero())
        std::this_thread::sleep_for(std::min<Clock::duration>(step, left));
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

std::size_t writeUntil(int fd, const char* data, std::size_t n, Clock::time_point deadline,
                       HoldOutput hold, std::string* error) {
    std::size_t done = 0;
    bool pollSaidReady = false;
    while (done < n) {
        if (hold != nullptr && hold(fd)) {
            if (Clock::now() >= deadline)
                break;
            sleepAtMost(std::chrono::milliseconds(10), deadline);
            continue;
        }
        const ssize_t written = ::write(fd, data + done, n - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            pollSaidReady = false;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (error != nullptr)
                *error = lastErrnoMessage("write");
            break;
        }
        if (Clock::now() >= deadline)
            break;
        // Some printer drivers have no poll and always report ready; don't spin on them.
        if (pollSaidReady)
            sleepAtMost(std::chrono::milliseconds(2), deadline);
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno != EINTR) {
            if (error != nullptr)
                *error = lastErrnoMessage("poll");
            break;
        }
        pollSaidReady = ready > 0;
    }
    return done;
}

bool waitWritable(int fd, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, millisecondsLeft(deadline));
        if (ready > 0)
            return (p.revents & POLLOUT) != 0;
        if (ready == 0 || errno != EINTR)
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
            *error = lastErrnoMessage("read");
        return 0;
    }
}

} // namespace platform::fdio
