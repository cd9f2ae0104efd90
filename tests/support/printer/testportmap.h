#pragma once

// A port map of a test's own: COM1 (and any other name the test gives) leads
// where the test says, every other port name to a path in the test's folder
// that does not exist, so no test
// ever opens a real device. POSKIT_PORTS names the written file.

#include <QString>

#include <map>
#include <string>

namespace testsupport {

// A path in dir that does not exist, for the port name given.
[[nodiscard]] std::string missingDevice(const QString& dir, const std::string& name);
// Writes dir/ports.conf and points POSKIT_PORTS at it; false when it cannot be written.
// Names in `others` ("LPT1", "USB1", ...) lead to the paths given there.
bool useTestPortMap(const QString& dir, const std::string& com1,
                    const std::map<std::string, std::string>& others = {});

} // namespace testsupport
