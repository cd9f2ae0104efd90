#pragma once

// The one owner of a file descriptor: it closes the descriptor when it goes
// or takes another, and hands it on by moving. An owner may name a step to
// run on the descriptor just before it is closed (a serial port lets go of
// its exclusive hold there).

#include <utility>

namespace platform {

class UniqueFd {
public:
    using BeforeClose = void (*)(int fd);

    UniqueFd() = default;
    explicit UniqueFd(int fd, BeforeClose beforeClose = nullptr) noexcept
        : m_fd(fd), m_beforeClose(beforeClose) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)),
          m_beforeClose(std::exchange(other.m_beforeClose, nullptr)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
            m_beforeClose = std::exchange(other.m_beforeClose, nullptr);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    [[nodiscard]] int get() const noexcept { return m_fd; }
    [[nodiscard]] bool isOpen() const noexcept { return m_fd >= 0; }
    // Closes the descriptor held, if any (running the step before it).
    void reset() noexcept;
    // Gives the descriptor up without closing it.
    [[nodiscard]] int release() noexcept {
        m_beforeClose = nullptr;
        return std::exchange(m_fd, -1);
    }

private:
    int m_fd = -1;
    BeforeClose m_beforeClose = nullptr;
};

} // namespace platform
