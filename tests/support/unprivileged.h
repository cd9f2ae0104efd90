#pragma once

// Runs a piece of a test as a user without privileges, so that permission
// checks apply even when the suite runs as root (as CI does): as root the
// piece runs in a child process that has dropped to "nobody"; otherwise it
// runs here. The piece reports a short text back.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace testsupport {

inline constexpr uid_t NobodyId = 65534;

// True when files the test prepares must be opened up for "nobody" to reach.
inline bool runsAsRoot() {
    return ::geteuid() == 0;
}

// nullopt when the child could not be started or ended abnormally.
inline std::optional<std::string> runUnprivileged(const std::function<std::string()>& piece) {
    if (!runsAsRoot())
        return piece();
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)
            ::_exit(2);
        const std::string text = piece();
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

} // namespace testsupport
