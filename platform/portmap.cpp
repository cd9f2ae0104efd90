#include "platform/portmap.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>

namespace platform {

namespace {

constexpr int UsbCandidates = 10;

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string_view trim(std::string_view text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// "COM3" with prefix "COM" -> 3; 0 for anything else ("COM", "COM03", "COMx").
int numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix ||
        name[prefix.size()] == '0')
        return 0;
    int number = 0;
    const auto* first = name.data() + prefix.size();
    const auto* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, number);
    return ec == std::errc() && end == last ? number : 0;
}

std::string defaultPath(std::string_view name) {
    if (const int n = numberAfter(name, "COM"); n > 0)
        return "/dev/ttyS" + std::to_string(n - 1);
    if (const int n = numberAfter(name, "LPT"); n > 0)
        return "/dev/lp" + std::to_string(n - 1);
    if (const int n = numberAfter(name, "USB"); n > 0 && n <= UsbCandidates)
        return "/dev/usb/lp" + std::to_string(n - 1);
    return {};
}

std::string userMapFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0')
        return std::string(config) + "/poskit/ports.conf";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/poskit/ports.conf";
}

// The file name as a person would write it: the home folder as "~".
std::string shortPath(const std::string& path) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0')
        return path;
    const std::string prefix = std::string(home) + "/";
    return path.rfind(prefix, 0) == 0 ? "~/" + path.substr(prefix.size()) : path;
}

} // namespace

PortMap PortMap::load() {
    // An empty POSKIT_PORTS names no file; it counts as unset.
    if (const char* file = std::getenv("POSKIT_PORTS"); file != nullptr && *file != '\0')
        return fromFile(file, PortMapping::Source::EnvironmentFile);
    return fromFile(userMapFile(), PortMapping::Source::UserFile);
}

PortMap PortMap::fromFile(const std::string& path, PortMapping::Source source) {
    PortMap map;
    map.m_file = path;
    map.m_source = source;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = trim(line);
        if (text.empty() || text.front() == '#')
            continue;
        const auto equals = text.find('=');
        if (equals == std::string_view::npos)
            continue; // not a mapping; a typo must not stop the other lines
        const std::string name = upper(trim(text.substr(0, equals)));
        const std::string_view device = trim(text.substr(equals + 1));
        if (name.empty() || device.empty())
            continue;
        PortMapping mapping{name, std::string(device), source, path};
        // A later line for the same name wins, as in any config file.
        const auto it = std::find_if(map.m_entries.begin(), map.m_entries.end(),
                                     [&](const PortMapping& m) { return m.name == name; });
        if (it != map.m_entries.end())
            *it = std::move(mapping);
        else
            map.m_entries.push_back(std::move(mapping));
    }
    return map;
}

PortMapping PortMap::resolve(std::string_view name) const {
    const std::string key = upper(trim(name));
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const PortMapping& m) { return m.name == key; });
    if (it != m_entries.end()) {
        PortMapping found = *it;
        found.name = std::string(name);
        return found;
    }
    std::string path = defaultPath(key);
    const auto source = path.empty() ? PortMapping::Source::Unknown : PortMapping::Source::Default;
    return PortMapping{std::string(name), std::move(path), source, {}};
}

std::string PortMap::describe(std::string_view name) const {
    const PortMapping mapping = resolve(name);
    switch (mapping.source) {
    case PortMapping::Source::Default:
        return mapping.name + " → " + mapping.devicePath + " (默认)";
    case PortMapping::Source::UserFile:
    case PortMapping::Source::EnvironmentFile:
        return mapping.name + " → " + mapping.devicePath + " (来自 " + shortPath(mapping.mapFile) +
               ")";
    case PortMapping::Source::Unknown:
        break;
    }
    return noDeviceMessage(mapping.name);
}

std::string noDeviceMessage(std::string_view name) {
    return std::string(name) + "：没有对应的设备";
}

std::vector<PortMapping> PortMap::presentUsbPrinters() const {
    std::vector<PortMapping> present;
    for (int k = 1; k <= UsbCandidates; ++k) {
        PortMapping mapping = resolve("USB" + std::to_string(k));
        struct stat info {};
        if (!mapping.devicePath.empty() && ::stat(mapping.devicePath.c_str(), &info) == 0)
            present.push_back(std::move(mapping));
    }
    return present;
}

} // namespace platform
