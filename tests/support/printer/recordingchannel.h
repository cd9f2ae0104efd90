#pragma once

// A link channel that records each write call separately (data and order)
// and hands out scripted bytes to reads. The record is shared, so a test can
// still look at it after the link that owned the channel has closed it.
// Writes run on the link's write thread: a test looks at the record once the
// writes it made have ended (see LinkWriter's reports).

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
        int writeError = 0; // the errno a short write reports (ETIMEDOUT when 0)
        bool gone = false;  // the far end is gone

        [[nodiscard]] std::string allWritten() const;
    };

    RecordingChannel() : m_record(std::make_shared<Record>()) {}
    [[nodiscard]] const std::shared_ptr<Record>& record() const { return m_record; }

    platform::SegmentReport writeSegment(std::string_view bytes,
                                         const platform::WriteControl& control) override;
    std::int32_t read(char* buffer, std::int32_t capacity) override;
    [[nodiscard]] bool farEndGone() const override { return m_record->gone; }
    void close() override { m_record->closed = true; }

private:
    std::shared_ptr<Record> m_record;
};

} // namespace testsupport
