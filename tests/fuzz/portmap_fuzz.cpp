// Port map files: any file gives the mappings a model of the format gives
// ("NAME = path" a line, '#' comment lines, names in any case, the last line
// for a name wins); the mappings written out as a map file read back the
// same; names the file does not map keep their defaults.

#include "fuzzcheck.h"
#include "platform/portmap.h"

#include <QByteArray>
#include <QList>

#include <filesystem>
#include <map>

namespace {

using platform::PortMap;
using platform::PortMapping;

std::string g_dir;

// Spaces as the C library counts them (the map file is plain ASCII syntax).
QByteArray trimmed(QByteArray text) {
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.isEmpty() && space(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && space(text.back()))
        text.chop(1);
    return text;
}

std::map<std::string, std::string> modelMap(std::string_view file) {
    std::map<std::string, std::string> map;
    const QList<QByteArray> lines =
        QByteArray(file.data(), static_cast<qsizetype>(file.size())).split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = trimmed(raw);
        const qsizetype equals = line.indexOf('=');
        if (line.isEmpty() || line.startsWith('#') || equals < 0)
            continue;
        const QByteArray name = trimmed(line.left(equals)).toUpper();
        const QByteArray device = trimmed(line.mid(equals + 1));
        if (!name.isEmpty() && !device.isEmpty())
            map[name.toStdString()] = device.toStdString();
    }
    return map;
}

void checkMap(const PortMap& map, const std::map<std::string, std::string>& expected,
              PortMapping::Source source, const std::string& file) {
    for (const auto& [name, device] : expected) {
        for (const std::string& asked :
             {name, QByteArray::fromStdString(name).toLower().toStdString()}) {
            const PortMapping m = map.resolve(asked);
            FUZZ_CHECK(m.devicePath == device && m.source == source && m.mapFile == file &&
                           m.name == asked,
                       fuzz::printable(asked) + " gave " + fuzz::printable(m.devicePath) +
                           ", expected " + fuzz::printable(device));
            FUZZ_CHECK(map.describe(asked).find(device) != std::string::npos,
                       "the description does not name the device");
        }
    }
    // Names the file leaves alone keep their defaults.
    for (const auto& [name, device] : {std::pair<std::string, std::string>{"COM1", "/dev/ttyS0"},
                                       {"COM14", "/dev/ttyS13"},
                                       {"LPT2", "/dev/lp1"},
                                       {"USB10", "/dev/usb/lp9"}}) {
        if (expected.count(name) != 0)
            continue;
        const PortMapping m = map.resolve(name);
        FUZZ_CHECK(m.devicePath == device && m.source == PortMapping::Source::Default,
                   name + " lost its default: " + fuzz::printable(m.devicePath));
    }
    for (const PortMapping& usb : map.presentUsbPrinters())
        FUZZ_CHECK(std::filesystem::exists(usb.devicePath), "a USB printer that is not there");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_dir = fuzz::scratchDir("portmap_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::string path = g_dir + "/ports.conf";
    fuzz::putFile(path, file);
    const auto expected = modelMap(file);
    checkMap(PortMap::fromFile(path, PortMapping::Source::UserFile), expected,
             PortMapping::Source::UserFile, path);

    // What was understood, written as a map file of its own, means the same.
    std::string rewritten = "# rewritten\n";
    for (const auto& [name, device] : expected)
        rewritten += name + " = " + device + "\n";
    const std::string again = g_dir + "/again.conf";
    fuzz::putFile(again, rewritten);
    checkMap(PortMap::fromFile(again, PortMapping::Source::EnvironmentFile), expected,
             PortMapping::Source::EnvironmentFile, again);
    return 0;
}
