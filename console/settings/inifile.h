#pragma once

// The console's settings store: a sectioned key-value text file in which every
// header and key line carries the marker "=_=" and a line without it continues
// the value above. Values may therefore hold several lines.
//
// Every lookup sees the file as it is on disk, and replaces the entries with
// what the file holds; the set operations change the entries in memory only,
// and writeFile() puts them on disk. Lines end in CR LF on disk; text is bytes
// (GBK) and is never converted.
//
// A file is read and parsed once while it stays the same: each lookup compares
// the file's stamp (inode, size, nanosecond times) with the one it was read
// under, and reads it again only when the stamp moved, when the stamp was
// taken too soon after a change to be trusted, or when this store has set or
// written anything since. The start-up load makes some sixty lookups, and the
// receive text in the file may run to megabytes.

#include "platform/filestamp.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
    static constexpr std::string_view Marker = "=_=";

    void setFileName(std::string name);
    [[nodiscard]] const std::string& fileName() const { return m_fileName; }

    // Reads the file, then returns the value of key in the first section of
    // that name, or def when the file, the section or the key is missing. A
    // lookup changes nothing but the store's view of its file, so it is const.
    [[nodiscard]] std::string getString(std::string_view section, std::string_view key,
                                        std::string_view def) const;
    // getString() of the default written with "%d", taken as atoi() takes it.
    [[nodiscard]] std::int32_t getInt(std::string_view section, std::string_view key,
                                      std::int32_t def) const;

    void setString(std::string_view section, std::string_view key, std::string_view value);
    void setInt(std::string_view section, std::string_view key, std::int32_t value);

    // Writes every entry to the file through a temporary file in the same
    // folder, renamed over the old one: a failed write leaves the old file whole.
    // Where the folder takes no new file, the file is written in place.
    // Returns whether the file was written; writeError() then tells why not.
    bool writeFile();
    // The errno of the last failed write; 0 after a write that succeeded.
    [[nodiscard]] int writeError() const { return m_writeError; }

    // The entries as the format defines them (a line break inside an entry is
    // one LF).
    [[nodiscard]] std::vector<std::string> entries() const;
    [[nodiscard]] bool lastOpenSucceeded() const { return m_opened; }
    // How many times the file was read from disk and parsed.
    [[nodiscard]] int fileReads() const { return m_fileReads; }

    // atoi() as the C library defines it, with an out-of-range number held at
    // the nearest 32-bit limit instead of being undefined.
    [[nodiscard]] static std::int32_t toInt(std::string_view text);

private:
    // One entry. Key entries read from the file stay where they are in the
    // bytes read, with their line ends as the file had them (CR LF or LF), so
    // a parse copies nothing and only the value a lookup returns is copied
    // out. Headers, and whatever a set makes, hold their own text, line
    // ends LF.
    struct Entry {
        std::string own;
        std::size_t at = 0;
        std::size_t length = 0;
        bool inFile = false;
    };

    // Brings the entries up to the file on disk; false when it cannot be read.
    bool refresh() const;
    bool readFile() const;
    [[nodiscard]] std::string_view textOf(const Entry& entry) const;
    [[nodiscard]] std::string logicalText(const Entry& entry, std::size_t from) const;
    // Index of the first header entry named section, or -1.
    [[nodiscard]] std::ptrdiff_t findSection(std::string_view section) const;

    std::string m_fileName = "config.ini";
    // What the last successful read gave, and the sets made on it since.
    mutable QByteArray m_file;
    mutable std::vector<Entry> m_entries;
    // The stamp of the file the entries are, while it may be trusted.
    mutable std::optional<platform::FileStamp> m_stamp;
    mutable bool m_opened = false;
    mutable int m_fileReads = 0;
    int m_writeError = 0;
};
