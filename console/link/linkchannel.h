#pragma once

// What a printer link writes to and reads from: a serial port, a device
// file or a socket (or, in tests, a recorder). Counts are signed 32-bit as
// the send engine passes them; 0 means nothing was read.
//
// Writes run on the link's write thread (see LinkWriter), reads and the
// other calls on the window's thread, both at once: a channel keeps what a
// write changes apart from what a read changes.

#include "platform/writeworker.h"

#include <cstdint>
#include <string_view>

class LinkChannel {
public:
    virtual ~LinkChannel() = default;
    LinkChannel() = default;
    LinkChannel(const LinkChannel&) = delete;
    LinkChannel& operator=(const LinkChannel&) = delete;

    // One write of the link and its flush, listening to control's stop and
    // telling it the progress; the report says how many bytes the device
    // took and, when short, why.
    virtual platform::SegmentReport writeSegment(std::string_view bytes,
                                                 const platform::WriteControl& control) = 0;
    virtual std::int32_t read(char* buffer, std::int32_t capacity) = 0;
    // Drops what the driver still holds for output (a write stopped halfway).
    virtual void discardOutput() {}
    // True when the device or the peer is gone (unplugged, reset, hung up).
    [[nodiscard]] virtual bool farEndGone() const { return false; }
    virtual void close() = 0;
};
