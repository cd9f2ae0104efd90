#pragma once

// Where Ostrelle's writes go: the serial port while it is open, otherwise the
// parallel device. The serial line runs at the chosen speed, no parity, 8 data
// bits, 1 stop bit; a write hands its bytes to the driver and returns.

#include "headadjust/headcommands.h"
#include "platform/devicefile.h"
#include "platform/serialport.h"
#include "platform/writeworker.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace headadjust {

class OutputChannel {
public:
    // A write that cannot be handed over in this time counts as failed, so a
    // stuck device never freezes the window for long.
    static constexpr std::chrono::milliseconds WriteDeadline{3000};
    // How long a close waits for bytes already handed over to leave.
    static constexpr std::chrono::milliseconds CloseDeadline{2000};

    OutputChannel() = default;
    ~OutputChannel() { close(); }
    OutputChannel(const OutputChannel&) = delete;
    OutputChannel& operator=(const OutputChannel&) = delete;

    // False also when the port keeps another rate than the one asked for
    // (a driver that cannot do it); speedRefused() then tells so.
    [[nodiscard]] bool openSerial(const std::string& devicePath, std::uint32_t baudRate);
    [[nodiscard]] bool openParallel(const std::string& devicePath);

    [[nodiscard]] bool serialOpen() const { return m_serial.isOpen(); }
    [[nodiscard]] bool parallelOpen() const { return m_parallel.isOpen(); }
    // The channel the next write goes to; nullopt when nothing is open.
    [[nodiscard]] std::optional<ChannelKind> active() const;

    // True when every byte was handed over.
    [[nodiscard]] bool write(std::string_view bytes);
    // One write as a WriteWorker runs it (on its thread): the bytes handed
    // over, and why not all of them when short. Stops when control.stop asks.
    [[nodiscard]] platform::SegmentReport writeSegment(std::string_view bytes,
                                                       const platform::WriteControl& control);
    // Drops what the serial driver still holds (after a cancelled write).
    void discardOutput();
    // What the last failed open or write of either port said; empty when none.
    [[nodiscard]] const std::string& lastError() const { return m_lastError; }
    // The last openSerial failed because the port would not take the rate.
    [[nodiscard]] bool speedRefused() const { return m_speedRefused; }
    // Lets what was written go out, within CloseDeadline, then releases
    // whatever is open.
    void close();

private:
    platform::SerialPort m_serial;
    platform::DeviceFile m_parallel;
    std::string m_lastError;
    bool m_speedRefused = false;
};

} // namespace headadjust
