#include "console/link/linkwriter.h"

#include "console/link/printerlink.h"

#include <limits>

LinkWriter::LinkWriter(std::function<PrinterLink*()> currentLink)
    : m_currentLink(std::move(currentLink)) {}

std::int64_t LinkWriter::write(std::string_view bytes) {
    PrinterLink* link = m_currentLink ? m_currentLink() : nullptr;
    if (link == nullptr || bytes.size() > std::numeric_limits<std::int32_t>::max())
        return 0;
    // An empty view may hold no pointer; a write of nothing is still made.
    const char* data = bytes.data() != nullptr ? bytes.data() : "";
    return link->write(data, static_cast<std::int32_t>(bytes.size()));
}

std::int64_t LinkWriter::write(std::span<const std::string> writes) {
    std::int64_t total = 0;
    for (const std::string& bytes : writes)
        total += write(std::string_view(bytes));
    return total;
}
