#pragma once

// The one place where an errno value becomes text. The platform classes keep
// the text of their last failure so a caller can show it; the texts are in
// the tools' language (Chinese), with device paths as they are.

#include <string>

namespace platform {

// A short text for an errno value, e.g. "设备或资源忙".
[[nodiscard]] std::string errnoMessage(int error);

// "what：message" for the current errno; errno is left as it was.
[[nodiscard]] std::string lastErrnoMessage(const char* what);

// Why a device could not be opened: "path：reason". When the reason is a
// missing permission (EACCES, EPERM) it also names the group that gives
// access: the device's own group where it has one, else dialout for serial
// ttys and lp for parallel and USB printer devices.
[[nodiscard]] std::string openFailureMessage(const std::string& devicePath, int error);

// The group to join for access to the device, as above; empty when none can
// be told.
[[nodiscard]] std::string accessGroupFor(const std::string& devicePath);

// The reason a write that ran out of time gives.
[[nodiscard]] std::string writeTimeoutMessage();

} // namespace platform
