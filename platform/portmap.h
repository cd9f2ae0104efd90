#pragma once

// The Windows port names the tools use (COM1..COM14, LPT1, LPT2, USB1..USB10)
// mapped to Linux device paths.
//   defaults:  COMn -> /dev/ttyS(n-1), LPTn -> /dev/lp(n-1), USBk -> /dev/usb/lp(k-1)
//   user file: $XDG_CONFIG_HOME/poskit/ports.conf (~/.config/poskit/ports.conf),
//              one "NAME = /path" a line, '#' starts a comment line
//   POSKIT_PORTS: when set, names the map file to use instead of the user file.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct PortMapping {
    enum class Source { Default, UserFile, EnvironmentFile, Unknown };
    std::string name;       // as asked, e.g. "COM1"
    std::string devicePath; // empty for a name with no mapping
    Source source = Source::Unknown;
    std::string mapFile; // the file the mapping came from, if any
};

class PortMap {
public:
    // Reads the map file that applies now (POSKIT_PORTS, else the user file).
    [[nodiscard]] static PortMap load();
    // A map from the given file only (tests, and the loader above).
    [[nodiscard]] static PortMap fromFile(const std::string& path, PortMapping::Source source);

    [[nodiscard]] PortMapping resolve(std::string_view name) const;
    // A short text for tooltips, in the tools' language:
    // "COM1 → /dev/ttyUSB0 (来自 ~/.config/poskit/ports.conf)", "COM3 → /dev/ttyS2 (默认)".
    [[nodiscard]] std::string describe(std::string_view name) const;
    // USB1..USB10 whose device node exists, in order.
    [[nodiscard]] std::vector<PortMapping> presentUsbPrinters() const;

private:
    std::vector<PortMapping> m_entries;
    std::string m_file;
    PortMapping::Source m_source = PortMapping::Source::Default;
};

// What the tools say of a name the map leads nowhere: "ETHERNET：没有对应的设备".
[[nodiscard]] std::string noDeviceMessage(std::string_view name);

} // namespace platform
