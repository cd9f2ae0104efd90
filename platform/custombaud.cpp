#include "platform/custombaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform::custombaud {

bool set(int fd, std::uint32_t baud) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    if (::ioctl(fd, TCSETS2, &tio) != 0)
        return false;
    // A driver may round the rate or ignore it; only the exact rate counts.
    const auto applied = get(fd);
    return applied && *applied == baud;
}

std::optional<std::uint32_t> get(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return std::nullopt;
    return tio.c_ospeed;
}

std::optional<std::uint32_t> getInput(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return std::nullopt;
    return tio.c_ispeed;
}

} // namespace platform::custombaud
