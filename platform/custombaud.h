#pragma once

// Rates that have no Bxxx constant go through the kernel's termios2/BOTHER
// interface. It lives in a file of its own because the kernel's termios
// header cannot be included next to <termios.h>.

#include <cstdint>
#include <optional>

namespace platform::custombaud {

// Sets input and output to the exact rate; false where the driver refuses it.
bool set(int fd, std::uint32_t baud);
// The output rate as the kernel keeps it (exact for custom rates).
[[nodiscard]] std::optional<std::uint32_t> get(int fd);
// The input rate likewise; it differs from the output rate only when the
// line was left with split speeds.
[[nodiscard]] std::optional<std::uint32_t> getInput(int fd);

} // namespace platform::custombaud
