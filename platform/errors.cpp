#include "platform/errors.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string errnoMessage(int error) {
    char buffer[256] = {};
    // GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text != nullptr ? std::string(text) : std::string("error ") + std::to_string(error);
}

std::string lastErrnoMessage(const char* what) {
    const int saved = errno;
    std::string text = std::string(what) + ": " + errnoMessage(saved);
    errno = saved;
    return text;
}

} // namespace platform
