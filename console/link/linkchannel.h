#pragma once

// What a printer link writes to and reads from: a serial port, a device
// file or a socket (or, in tests, a recorder). Counts are signed 32-bit as
// the send engine passes them; 0 means nothing was written or read.

#include <cstdint>

class LinkChannel {
public:
    virtual ~LinkChannel() = default;
    LinkChannel() = default;
    LinkChannel(const LinkChannel&) = delete;
    LinkChannel& operator=(const LinkChannel&) = delete;

    virtual std::int32_t write(const char* data, std::int32_t n) = 0;
    virtual std::int32_t read(char* buffer, std::int32_t capacity) = 0;
    virtual void close() = 0;
};
