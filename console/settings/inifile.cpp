#include "console/settings/inifile.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr auto npos = std::string_view::npos;

bool isHeader(std::string_view entry) {
    return !entry.empty() && entry.front() == '[';
}

// A header's name: the text between its first '[' and its first ']'; empty
// when there is no ']'.
std::string_view headerName(std::string_view entry) {
    const auto close = entry.find(']');
    if (close == npos)
        return {};
    return entry.substr(1, close - 1);
}

// The key: the text before the first marker. The marker of an entry read
// from the file is on its first line, so the key reads the same in either
// form of an entry.
std::string_view keyOf(std::string_view entry) {
    return entry.substr(0, entry.find(IniFile::Marker));
}

QString nativeName(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string formatInt(std::int32_t value) {
    return std::to_string(value);
}

// Bytes as the file holds them to the entry's own form: each line end (LF,
// with one CR directly before it) becomes one LF. The search goes a block at
// a time, so that what it has just looked through is copied from the cache.
void appendLogical(std::string& out, std::string_view raw) {
    constexpr std::size_t Block = 64 * 1024;
    const char* base = raw.data();
    std::size_t from = 0; // the first byte not yet appended
    while (from < raw.size()) {
        const std::size_t end = std::min(raw.size(), from + Block);
        const void* hit = std::memchr(base + from, '\n', end - from);
        if (hit == nullptr) {
            // A CR at the block's end may be the start of a CR LF line end.
            const std::size_t stop = end < raw.size() && end - 1 > from && base[end - 1] == '\r'
                                         ? end - 1
                                         : end;
            out.append(base + from, stop - from);
            from = stop;
            continue;
        }
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        const std::size_t keep = lf > from && base[lf - 1] == '\r' ? lf - 1 : lf;
        out.append(base + from, keep - from).push_back('\n');
        from = lf + 1;
    }
}

// An entry onto the disk: every line end as CR LF. A stretch read from the
// file already has CR LF wherever the file had it; only its bare LFs get a CR.
void appendDisk(QByteArray& out, std::string_view text, bool fromFile) {
    while (!text.empty()) {
        const auto lf = text.find('\n');
        if (lf == npos) {
            out.append(text.data(), static_cast<qsizetype>(text.size()));
            return;
        }
        const bool hasCr = fromFile && lf > 0 && text[lf - 1] == '\r';
        out.append(text.data(), static_cast<qsizetype>(lf));
        out.append(hasCr ? "\n" : "\r\n");
        text.remove_prefix(lf + 1);
    }
}

} // namespace

void IniFile::setFileName(std::string name) {
    m_fileName = std::move(name);
    m_stamp.reset();
}

std::string_view IniFile::textOf(const Entry& entry) const {
    if (!entry.inFile)
        return entry.own;
    return std::string_view(m_file.constData() + entry.at, entry.length);
}

// The entry's text from byte `from` on, in its own form.
std::string IniFile::logicalText(const Entry& entry, std::size_t from) const {
    const std::string_view text = textOf(entry).substr(from);
    if (!entry.inFile)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    appendLogical(out, text);
    return out;
}

bool IniFile::refresh() const {
    if (m_stamp && platform::fileStamp(m_fileName) == m_stamp) {
        m_opened = true;
        return true;
    }
    return readFile();
}

bool IniFile::readFile() const {
    m_stamp.reset();
    QFile file(nativeName(m_fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        m_opened = false;
        return false;
    }
    // The stamp before the bytes: a change while they are read moves it.
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(file.handle());
    const std::int64_t now = platform::wallClockNs();
    m_file = file.readAll();
    ++m_fileReads;
    m_entries.clear();

    // An entry begins at each line that holds the marker and runs up to the
    // line end before the next one; lines before the first are dropped. Only
    // the markers are looked for, so a long value is passed over at the
    // speed of a byte search.
    const std::string_view all(m_file.constData(), static_cast<std::size_t>(m_file.size()));
    auto close = [&](std::size_t lineEnd) { // lineEnd: the LF after the entry, or the end
        Entry& last = m_entries.back();
        std::size_t end = lineEnd;
        if (lineEnd < all.size() && end > last.at && all[end - 1] == '\r')
            --end; // the CR of a CR LF line end
        last.length = end - last.at;
        if (isHeader(textOf(last))) {
            last.own = logicalText(last, 0);
            last.inFile = false;
        }
    };
    auto marker = all.find(Marker);
    while (marker != npos) {
        const auto lineBreak = all.rfind('\n', marker);
        const std::size_t lineStart = lineBreak == npos ? 0 : lineBreak + 1;
        if (!m_entries.empty() && lineStart <= m_entries.back().at) {
            // A further marker on the line that began the last entry: the
            // search goes on after that line.
            const auto lineEnd = all.find('\n', marker);
            marker = lineEnd == npos ? npos : all.find(Marker, lineEnd + 1);
            continue;
        }
        if (!m_entries.empty())
            close(lineStart - 1);
        m_entries.push_back(Entry{{}, lineStart, 0, true});
        marker = all.find(Marker, marker + Marker.size());
    }
    if (!m_entries.empty())
        close(!all.empty() && all.back() == '\n' ? all.size() - 1 : all.size());

    m_opened = true;
    if (stamp && stamp->settledAt(now))
        m_stamp = stamp;
    return true;
}

std::ptrdiff_t IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string_view text = textOf(m_entries[i]);
        if (isHeader(text) && headerName(text) == section)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view def) const {
    if (!refresh())
        return std::string(def);
    const auto header = findSection(section);
    if (header < 0)
        return std::string(def);
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < m_entries.size(); ++i) {
        const std::string_view text = textOf(m_entries[i]);
        if (isHeader(text))
            break;
        if (text.starts_with(Marker))
            continue; // an entry without a key is never a match
        if (keyOf(text) == key)
            return logicalText(m_entries[i], key.size() + Marker.size());
    }
    return std::string(def);
}

std::int32_t IniFile::getInt(std::string_view section, std::string_view key,
                             std::int32_t def) const {
    return toInt(getString(section, key, formatInt(def)));
}

void IniFile::setString(std::string_view section, std::string_view key, std::string_view value) {
    // The entries no longer are the file: the next lookup reads it again.
    m_stamp.reset();
    Entry line;
    line.own.reserve(key.size() + Marker.size() + value.size());
    line.own.append(key).append(Marker).append(value);

    const auto header = findSection(section);
    if (header < 0) {
        Entry head;
        head.own.append("[").append(section).append("]").append(Marker);
        m_entries.push_back(std::move(head));
        m_entries.push_back(std::move(line));
        return;
    }
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < m_entries.size(); ++i) {
        const std::string_view text = textOf(m_entries[i]);
        if (isHeader(text))
            break;
        if (keyOf(text) == key) {
            m_entries[i] = std::move(line);
            return;
        }
    }
    m_entries.insert(m_entries.begin() + header + 1, std::move(line));
}

void IniFile::setInt(std::string_view section, std::string_view key, std::int32_t value) {
    setString(section, key, formatInt(value));
}

bool IniFile::writeFile() {
    // Whatever happens, the next lookup reads what is on disk then.
    m_stamp.reset();
    QByteArray data;
    qsizetype size = 0;
    for (const Entry& entry : m_entries)
        size += static_cast<qsizetype>(textOf(entry).size()) + 2;
    data.reserve(size + size / 16);
    for (const Entry& entry : m_entries) {
        appendDisk(data, textOf(entry), entry.inFile);
        data.append("\r\n", 2);
    }
    QSaveFile file(nativeName(m_fileName));
    // Where the folder takes no new file but the file may be written (a shared
    // settings folder), write it in place rather than not at all.
    file.setDirectWriteFallback(true);
    auto failed = [this] {
        m_writeError = errno != 0 ? errno : EIO;
        return false;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    if (file.write(data) != data.size()) {
        const bool result = failed();
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return failed();
    m_writeError = 0;
    return true;
}

std::vector<std::string> IniFile::entries() const {
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        out.push_back(logicalText(entry, 0));
    return out;
}

std::int32_t IniFile::toInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t Cap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > Cap)
            value = Cap; // held at the limit; more digits change nothing
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}
