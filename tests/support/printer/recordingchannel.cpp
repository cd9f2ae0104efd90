#include "tests/support/printer/recordingchannel.h"

#include <algorithm>
#include <cerrno>

namespace testsupport {

std::string RecordingChannel::Record::allWritten() const {
    std::string all;
    for (const std::string& w : writes)
        all += w;
    return all;
}

platform::SegmentReport RecordingChannel::writeSegment(std::string_view bytes,
                                                       const platform::WriteControl&) {
    platform::SegmentReport report;
    if (m_record->closed)
        return {0, EBADF, {}};
    m_record->writes.emplace_back(bytes);
    const auto n = static_cast<std::int32_t>(bytes.size());
    report.written = static_cast<std::size_t>(std::clamp(m_record->writeResult.value_or(n), 0, n));
    if (report.written < bytes.size())
        report.error = m_record->writeError != 0 ? m_record->writeError : ETIMEDOUT;
    return report;
}

std::int32_t RecordingChannel::read(char* buffer, std::int32_t capacity) {
    ++m_record->reads;
    if (m_record->closed || capacity <= 0)
        return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(capacity), m_record->toRead.size());
    std::copy_n(m_record->toRead.data(), count, buffer);
    m_record->toRead.erase(0, count);
    return static_cast<std::int32_t>(count);
}

} // namespace testsupport
