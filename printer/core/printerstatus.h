#pragma once

// The status a client can ask for, and the bytes the printer answers with.
//
// Answers to DLE EOT n (real-time, answered at once) and GS r n:
//
//   command      bit 7 6 5 4 3 2 1 0   meaning of the bits that move
//   DLE EOT 1        0 0 0 1 O D 1 0   D drawer open (connector pin 3 high), O offline
//   DLE EOT 2        0 0 P 1 0 C 1 0   C cover open, P printing stopped: paper out
//   DLE EOT 3        0 0 0 1 0 0 1 0   (no cutter or head errors are simulated)
//   DLE EOT 4        0 P P 1 N N 1 0   N paper near end, P paper out
//   GS r 1 / 49      0 0 0 0 P P N N   N paper near end, P paper out
//   GS r 2 / 50      0 0 0 0 0 0 0 D   D drawer open
//
// "Offline" is the Online switch off, the cover open or the paper out, as on
// a real printer. Bits 1 and 4 of every DLE EOT answer are fixed at 1 (and bit 0
// and bit 7 at 0), so a client can tell the answers from other bytes.
//
// GS I n answers: 1/49 model 0x20, 2/50 type 0x02 (two-byte characters), 3/51
// version 0x10; 65..69 a text block "_" + text + NUL (firmware, maker, model,
// serial number, character set).

#include "printer/core/decoder.h"

#include <cstdint>
#include <string>

namespace posprinter {

struct PrinterStatus {
    bool online = true;
    bool coverOpen = false;
    bool paperNearEnd = false;
    bool paperOut = false;
    bool drawerOpen = false;

    [[nodiscard]] bool offline() const { return !online || coverOpen || paperOut; }

    // One byte each way, so a thread can read the status from an atomic.
    [[nodiscard]] std::uint8_t toBits() const;
    [[nodiscard]] static PrinterStatus fromBits(std::uint8_t bits);
    bool operator==(const PrinterStatus&) const = default;
};

// What the printer sends back for the item, empty when it sends nothing.
[[nodiscard]] std::string replyTo(const DecodedItem& item, const PrinterStatus& status);

} // namespace posprinter
