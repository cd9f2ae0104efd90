#pragma once

// A timed run of the send engine: N numbered copies, one at the click and one
// per tick of the send timer, each written k times, with the cut after the last.

#include <cstdint>
#include <string>
#include <string_view>

struct SendJob {
    bool active = false;
    std::int32_t total = 0;       // N, fixed at the click
    std::int32_t interval = 0;    // ms between copies, fixed at the click
    std::int32_t firstNumber = 0; // S, fixed at the click
    std::int32_t sent = 0;        // copies sent so far, 0..N
    std::int32_t frame = 0;       // busy animation frame, 1 at the start

    // The number the next copy carries.
    [[nodiscard]] std::int64_t nextNumber() const { return std::int64_t{firstNumber} + sent; }
    [[nodiscard]] bool complete() const { return sent >= total; }
};

// One copy of the send text, preceded by "\nNO.<number>\n" when numbering is on.
[[nodiscard]] std::string numberedCopy(std::string_view text, bool numbering, std::int64_t number);
