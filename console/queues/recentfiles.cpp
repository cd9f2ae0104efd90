#include "console/queues/recentfiles.h"

#include <algorithm>

void RecentFiles::remember(const std::string& path) {
    const auto last = std::find(m_slots.rbegin(), m_slots.rend(), path);
    const std::size_t index =
        last != m_slots.rend() ? static_cast<std::size_t>(m_slots.rend() - last - 1) : Size - 1;
    m_slots[index] = path;
    moveToTop(index);
}

void RecentFiles::moveToTop(std::size_t index) {
    if (index >= Size)
        return;
    std::rotate(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(index),
                m_slots.begin() + static_cast<std::ptrdiff_t>(index) + 1);
}

void RecentFiles::remove(std::size_t index) {
    if (index >= Size)
        return;
    std::move(m_slots.begin() + static_cast<std::ptrdiff_t>(index) + 1, m_slots.end(),
              m_slots.begin() + static_cast<std::ptrdiff_t>(index));
    m_slots.back().clear();
}
