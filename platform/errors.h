#pragma once

// The one place where an errno value becomes text. The platform classes keep
// the text of their last failure so a caller can show or log it.

#include <string>

namespace platform {

// A short English text for an errno value, e.g. "Device or resource busy".
[[nodiscard]] std::string errnoMessage(int error);

// "what: message" for the current errno; errno is left as it was.
[[nodiscard]] std::string lastErrnoMessage(const char* what);

} // namespace platform
