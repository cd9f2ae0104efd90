// The settings store.
//  - Any file: read -> write -> read gives the same entries, a second write is
//    byte-identical to the first, and lookups agree with a model of the lookup
//    rules on the entries read.
//  - Any sequence of sets on top of that file: write -> a fresh read returns the
//    last value set for every section and key, as long as no value holds "=_="
//    on a line after its first (the format's documented limit).

#include "console/settings/inifile.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

constexpr std::string_view Marker = "=_=";

std::string g_dir;

std::string pathOf(const char* name) {
    return g_dir + "/" + name;
}

std::string disk(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

IniFile storeOn(const std::string& path) {
    IniFile ini;
    ini.setFileName(path);
    return ini;
}

// Reads a store's file by asking it for a key it cannot hold.
std::vector<std::string> readEntries(IniFile& ini) {
    (void)ini.getString("\n", "\n", {});
    return ini.entries();
}

std::string describe(const std::vector<std::string>& entries) {
    std::string out;
    for (const auto& e : entries)
        out += "  [" + fuzz::printable(e) + "]\n";
    return out;
}

// Lookup as the format describes it, over a list of entries.
std::optional<std::string> modelLookup(const std::vector<std::string>& entries,
                                       std::string_view section, std::string_view key) {
    std::size_t i = 0;
    for (; i < entries.size(); ++i) {
        const std::string_view e = entries[i];
        if (e.empty() || e[0] != '[')
            continue;
        const auto close = e.find(']');
        const std::string_view name = close == std::string_view::npos ? "" : e.substr(1, close - 1);
        if (name == section)
            break;
    }
    if (i == entries.size())
        return std::nullopt;
    for (++i; i < entries.size(); ++i) {
        const std::string_view e = entries[i];
        if (!e.empty() && e[0] == '[')
            return std::nullopt;
        const auto marker = e.find(Marker);
        if (marker == 0)
            continue;
        if (e.substr(0, marker) == key)
            return std::string(e.substr(marker + Marker.size()));
    }
    return std::nullopt;
}

// atoi() of the C library, held at the 32-bit limits.
std::int32_t modelAtoi(const std::string& text) {
    const long long n = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
}

// The entries' sections and keys, for lookups that should find something.
std::vector<std::pair<std::string, std::string>> namesIn(const std::vector<std::string>& entries) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    for (const std::string& e : entries) {
        if (e.starts_with('[')) {
            const auto close = e.find(']');
            section = close == std::string::npos ? "" : e.substr(1, close - 1);
        } else {
            names.emplace_back(section, e.substr(0, e.find(Marker)));
        }
    }
    return names;
}

bool valueWithinLimit(std::string_view entry) {
    const auto firstBreak = entry.find('\n');
    return firstBreak == std::string_view::npos ||
           entry.substr(firstBreak).find(Marker) == std::string_view::npos;
}

// A section name or key the console could use: no line break (it would start
// a line of its own), no "]" in a section, no "=_=" in a key nor "=_" at its
// end (it would join the marker after it), and a key that neither is empty nor
// begins with "[" (it would be skipped or be a header).
std::string consumeName(FuzzedDataProvider& data, bool isKey) {
    std::string name = data.ConsumeRandomLengthString(12);
    std::erase(name, '\n');
    if (!isKey) {
        std::erase(name, ']');
        return name;
    }
    for (auto at = name.find(Marker); at != std::string::npos; at = name.find(Marker))
        name.erase(at, 1);
    if (name.ends_with("=_"))
        name.pop_back();
    if (name.empty() || name[0] == '[')
        name.insert(0, "k");
    return name;
}

void checkFileRoundTrip(std::string_view file) {
    const std::string source = pathOf("source.ini");
    const std::string first = pathOf("first.ini");
    const std::string second = pathOf("second.ini");
    fuzz::putFile(source, file);

    IniFile ini = storeOn(source);
    const std::vector<std::string> read = readEntries(ini);
    FUZZ_CHECK(ini.lastOpenSucceeded(), "the file did not open");
    for (const auto& [section, key] : namesIn(read)) {
        const auto expected = modelLookup(read, section, key);
        const std::string got = ini.getString(section, key, "\x01missing");
        FUZZ_CHECK(got == expected.value_or("\x01missing"), "lookup [" + fuzz::printable(section) +
                                                                "] " + fuzz::printable(key) +
                                                                " gave " + fuzz::printable(got));
        const std::int32_t number = ini.getInt(section, key, -7);
        FUZZ_CHECK(number == modelAtoi(expected.value_or("-7")),
                   "number " + std::to_string(number) + " from " + fuzz::printable(got));
    }

    ini.setFileName(first);
    FUZZ_CHECK(ini.writeFile(), "first write failed");
    IniFile again = storeOn(first);
    const std::vector<std::string> reread = readEntries(again);
    FUZZ_CHECK(reread == read,
               "entries read:\n" + describe(read) + "entries after a write:\n" + describe(reread));
    again.setFileName(second);
    FUZZ_CHECK(again.writeFile(), "second write failed");
    FUZZ_CHECK(disk(first) == disk(second), "second write differs from the first");
}

void checkSets(FuzzedDataProvider& data, std::string_view file) {
    const std::string path = pathOf("sets.ini");
    fuzz::putFile(path, file);
    IniFile ini = storeOn(path);
    (void)readEntries(ini);

    std::map<std::pair<std::string, std::string>, std::string> last;
    const int count = data.ConsumeIntegralInRange(0, 16);
    for (int k = 0; k < count && data.remaining_bytes() > 0; ++k) {
        // Reuse a name now and then, so values are overwritten.
        std::string section = !last.empty() && data.ConsumeBool() ? last.begin()->first.first
                                                                  : consumeName(data, false);
        std::string key = !last.empty() && data.ConsumeBool() ? last.rbegin()->first.second
                                                              : consumeName(data, true);
        std::string value = data.ConsumeRandomLengthString(40);
        if (data.ConsumeBool()) {
            const auto number = data.ConsumeIntegral<std::int32_t>();
            ini.setInt(section, key, number);
            value = std::to_string(number);
        } else {
            ini.setString(section, key, value);
        }
        last[{std::move(section), std::move(key)}] = std::move(value);
    }
    FUZZ_CHECK(ini.writeFile(), "write failed");
    const std::vector<std::string> written = ini.entries();

    IniFile fresh = storeOn(path);
    const std::vector<std::string> reread = readEntries(fresh);
    if (!std::all_of(written.begin(), written.end(), valueWithinLimit))
        return;
    FUZZ_CHECK(reread == written,
               "entries set:\n" + describe(written) + "entries read back:\n" + describe(reread));
    for (const auto& [name, value] : last) {
        const std::string got = fresh.getString(name.first, name.second, "\x01missing");
        FUZZ_CHECK(got == value, "[" + fuzz::printable(name.first) + "] " +
                                     fuzz::printable(name.second) + ": set " +
                                     fuzz::printable(value) + ", read " + fuzz::printable(got));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_dir = fuzz::scratchDir("inifile_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    // The first part of the input is the file, the rest the sets made on it.
    const std::string file = data.ConsumeRandomLengthString(size);
    checkFileRoundTrip(file);
    checkSets(data, file);
    return 0;
}
