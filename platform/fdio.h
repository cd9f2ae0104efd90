#pragma once

// Descriptor helpers shared by the serial port and the device files: writes
// bounded by a deadline, and reads of only what is already waiting.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

namespace platform::fdio {

using Clock = std::chrono::steady_clock;

// now + timeout, clamped so that huge time-outs cannot overflow the clock.
[[nodiscard]] Clock::time_point deadlineAfter(std::chrono::milliseconds timeout);
// Milliseconds until the deadline as poll() takes them, 0 once it has passed.
[[nodiscard]] int millisecondsLeft(Clock::time_point deadline);

// Called before each attempt; true means output must wait (emulated flow control).
using HoldOutput = bool (*)(int fd);

// What a long write listens to while it runs (on whatever thread it runs):
// a stop request ends it within a few milliseconds, and progress hears the
// count written so far after each piece the driver takes.
struct WriteControl {
    std::stop_token stop;
    std::function<void(std::size_t written)> progress;
};

// How a write ended: the count written and, when that is short of the count
// asked, why: an errno value, ETIMEDOUT when the deadline passed, ECANCELED
// when a stop was requested, EPIPE when the descriptor reported a hang-up.
struct WriteReport {
    std::size_t written = 0;
    int error = 0;
};

// Writes on a non-blocking descriptor until everything is written, the
// deadline passes, a stop is requested or the descriptor fails.
[[nodiscard]] WriteReport writeUntil(int fd, const char* data, std::size_t n,
                                     Clock::time_point deadline, HoldOutput hold,
                                     const WriteControl& control = {});
// The same for a connected socket: each piece goes out with send() without
// blocking and without SIGPIPE, so a peer that stops reading holds the caller
// no longer than the deadline or a stop, and a peer that is gone is an error
// (EPIPE, ECONNRESET), not a signal.
[[nodiscard]] WriteReport sendUntil(int fd, const char* data, std::size_t n,
                                    Clock::time_point deadline, const WriteControl& control = {});
// True when the descriptor reports that its far end is gone: a hang-up, an
// error, or (for a socket) a peer that closed its side. Never waits.
[[nodiscard]] bool farEndGone(int fd);
// The text of a WriteReport's error, as a failure message shows it.
[[nodiscard]] std::string writeErrorMessage(int error);

// Waits until the descriptor accepts output; false when the deadline passed
// (or a stop was requested) first.
bool waitWritable(int fd, Clock::time_point deadline, const std::stop_token& stop = {});
// Sleeps for step, at most until the deadline; false when a stop was requested.
bool pause(std::chrono::milliseconds step, Clock::time_point deadline,
           const std::stop_token& stop = {});

// FIONREAD; nullopt where the descriptor has no input queue.
[[nodiscard]] std::optional<std::size_t> bytesWaiting(int fd);

// Reads at most min(capacity, bytes waiting) without blocking; 0 when nothing
// is waiting or the descriptor fails.
[[nodiscard]] std::size_t readWaiting(int fd, char* buffer, std::size_t capacity,
                                      std::string* error);

} // namespace platform::fdio
