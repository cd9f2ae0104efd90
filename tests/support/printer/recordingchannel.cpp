#include "tests/support/printer/recordingchannel.h"

#include <algorithm>

namespace testsupport {

std::string RecordingChannel::Record::allWritten() const {
    std::string all;
    for (const std::string& w : writes)
        all += w;
    return all;
}

std::int32_t RecordingChannel::write(const char* data, std::int32_t n) {
    if (m_record->closed)
        return 0;
    m_record->writes.emplace_back(data, static_cast<std::size_t>(std::max(n, 0)));
    return m_record->writeResult.value_or(n);
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
