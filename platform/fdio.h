#pragma once

// Descriptor helpers shared by the serial port and the device files: writes
// bounded by a deadline, and reads of only what is already waiting.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace platform::fdio {

using Clock = std::chrono::steady_clock;

// now + timeout, clamped so that huge time-outs cannot overflow the clock.
[[nodiscard]] Clock::time_point deadlineAfter(std::chrono::milliseconds timeout);
// Milliseconds until the deadline as poll() takes them, 0 once it has passed.
[[nodiscard]] int millisecondsLeft(Clock::time_point deadline);

// Called before each attempt; true means output must wait (emulated flow control).
using HoldOutput = bool (*)(int fd);

// Writes on a non-blocking descriptor until everything is written, the
// deadline passes or the descriptor fails. Returns the count written; on a
// failure the errno text goes to *error.
[[nodiscard]] std::size_t writeUntil(int fd, const char* data, std::size_t n,
                                     Clock::time_point deadline, HoldOutput hold,
                                     std::string* error);

// Waits until the descriptor accepts output; false when the deadline passed first.
bool waitWritable(int fd, Clock::time_point deadline);

// FIONREAD; nullopt where the descriptor has no input queue.
[[nodiscard]] std::optional<std::size_t> bytesWaiting(int fd);

// Reads at most min(capacity, bytes waiting) without blocking; 0 when nothing
// is waiting or the descriptor fails.
[[nodiscard]] std::size_t readWaiting(int fd, char* buffer, std::size_t capacity,
                                      std::string* error);

} // namespace platform::fdio
