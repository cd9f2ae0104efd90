#pragma once

// The console's settings store: a sectioned key-value text file in which every
// header and key line carries the marker "=_=" and a line without it continues
// the value above. Values may therefore hold several lines.
//
// Every lookup reads the whole file anew; the set operations change the
// entries in memory only, and writeFile() puts them on disk. Lines end in
// CR LF on disk; text is bytes (GBK) and is never converted.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
    static constexpr std::string_view Marker = "=_=";

    void setFileName(std::string name) { m_fileName = std::move(name); }
    [[nodiscard]] const std::string& fileName() const { return m_fileName; }

    // Reads the file, then returns the value of key in the first section of
    // that name, or def when the file, the section or the key is missing.
    [[nodiscard]] std::string getString(std::string_view section, std::string_view key,
                                        std::string_view def);
    // getString() of the default written with "%d", taken as atoi() takes it.
    [[nodiscard]] std::int32_t getInt(std::string_view section, std::string_view key,
                                      std::int32_t def);

    void setString(std::string_view section, std::string_view key, std::string_view value);
    void setInt(std::string_view section, std::string_view key, std::int32_t value);

    // Writes every entry to the file through a temporary file in the same
    // folder, renamed over the old one: a failed write leaves the old file whole.
    // Where the folder takes no new file, the file is written in place.
    // Returns whether the file was written.
    bool writeFile();

    [[nodiscard]] const std::vector<std::string>& entries() const { return m_entries; }
    [[nodiscard]] bool lastOpenSucceeded() const { return m_opened; }

    // atoi() as the C library defines it, with an out-of-range number held at
    // the nearest 32-bit limit instead of being undefined.
    [[nodiscard]] static std::int32_t toInt(std::string_view text);

private:
    bool readFile();
    // Index of the first header entry named section, or -1.
    [[nodiscard]] std::ptrdiff_t findSection(std::string_view section) const;

    std::string m_fileName = "config.ini";
    std::vector<std::string> m_entries;
    bool m_opened = false;
};
