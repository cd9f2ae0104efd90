#pragma once

// A link channel that records each write call separately (data and order)
// and hands out scripted bytes to reads. The record is shared, so a test can
// still look at it after the link that owned the channel has closed it.

#include "console/link/linkchannel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class RecordingChannel final : public LinkChannel {
public:
    struct Record {
        std::vector<std::string> writes; // one entry per write call, 0-byte writes included
        std::string toRead;              // bytes that reads hand out, in order
        int reads = 0;                   // read calls made
        bool closed = false;
        std::optional<std::int32_t> writeResult; // what writes report; n when unset

        [[nodiscard]] std::string allWritten() const;
    };

    RecordingChannel() : m_record(std::make_shared<Record>()) {}
    [[nodiscard]] const std::shared_ptr<Record>& record() const { return m_record; }

    std::int32_t write(const char* data, std::int32_t n) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    void close() override { m_record->closed = true; }

private:
    std::shared_ptr<Record> m_record;
};

} // namespace testsupport
