#include "platform/uniquefd.h"

#include <unistd.h>

namespace platform {

void UniqueFd::reset() noexcept {
    if (m_fd < 0)
        return;
    if (m_beforeClose != nullptr)
        m_beforeClose(m_fd);
    ::close(m_fd); // the descriptor is gone even when close reports an error
    m_fd = -1;
    m_beforeClose = nullptr;
}

} // namespace platform
