#pragma once

// Small readers over the test printer for the Ostrelle tests: what arrived,
// taken off so the next check starts empty, and the line settings the tool set.

#include "tests/support/printer/virtualprinter.h"

#include <termios.h>

#include <chrono>
#include <string>

namespace ostrelletest {

// The bytes that arrived once at least n have, or after `wait` whatever has.
inline std::string take(testsupport::VirtualPrinter& printer, std::size_t n,
                        std::chrono::milliseconds wait = std::chrono::seconds(3)) {
    printer.waitForCount(n, wait);
    std::string bytes = printer.received();
    printer.clearReceived();
    return bytes;
}

// True when nothing arrives within a short while.
inline bool staysQuiet(testsupport::VirtualPrinter& printer,
                       std::chrono::milliseconds wait = std::chrono::milliseconds(100)) {
    return !printer.waitForCount(1, wait);
}

inline termios lineSettings(const testsupport::VirtualPrinter& printer) {
    termios line{};
    ::tcgetattr(printer.slaveFd(), &line);
    return line;
}

} // namespace ostrelletest
