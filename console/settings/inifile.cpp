#include "console/settings/inifile.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace {

bool isHeader(std::string_view entry) {
    return !entry.empty() && entry.front() == '[';
}

// A header's name: the text between its first '[' and its first ']'; empty
// when there is no ']'.
std::string_view headerName(std::string_view entry) {
    const auto close = entry.find(']');
    if (close == std::string_view::npos)
        return {};
    return entry.substr(1, close - 1);
}

std::string_view keyOf(std::string_view entry) {
    return entry.substr(0, entry.find(IniFile::Marker));
}

QString nativeName(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

std::string formatInt(std::int32_t value) {
    return std::to_string(value);
}

} // namespace

bool IniFile::readFile() {
    QFile file(nativeName(m_fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        m_opened = false;
        return false;
    }
    const QByteArray data = file.readAll();
    m_entries.clear();
    const std::string_view all(data.constData(), static_cast<size_t>(data.size()));
    size_t start = 0;
    while (start < all.size()) {
        auto end = all.find('\n', start);
        std::string_view line;
        if (end == std::string_view::npos) {
            line = all.substr(start);
            end = all.size();
        } else {
            line = all.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1); // the CR of a CR LF line end
        }
        if (line.find(Marker) != std::string_view::npos) {
            m_entries.emplace_back(line);
        } else if (!m_entries.empty()) {
            m_entries.back().push_back('\n');
            m_entries.back().append(line);
        }
        start = end + 1;
    }
    m_opened = true;
    return true;
}

std::ptrdiff_t IniFile::findSection(std::string_view section) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (isHeader(m_entries[i]) && headerName(m_entries[i]) == section)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view def) {
    if (!readFile())
        return std::string(def);
    const auto header = findSection(section);
    if (header < 0)
        return std::string(def);
    for (size_t i = static_cast<size_t>(header) + 1; i < m_entries.size(); ++i) {
        const std::string& entry = m_entries[i];
        if (isHeader(entry))
            break;
        if (entry.starts_with(Marker))
            continue; // an entry without a key is never a match
        if (keyOf(entry) == key)
            return entry.substr(entry.find(Marker) + Marker.size());
    }
    return std::string(def);
}

std::int32_t IniFile::getInt(std::string_view section, std::string_view key, std::int32_t def) {
    return toInt(getString(section, key, formatInt(def)));
}

void IniFile::setString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + Marker.size() + value.size());
    line.append(key).append(Marker).append(value);

    const auto header = findSection(section);
    if (header < 0) {
        std::string head = "[";
        head.append(section).append("]").append(Marker);
        m_entries.push_back(std::move(head));
        m_entries.push_back(std::move(line));
        return;
    }
    for (size_t i = static_cast<size_t>(header) + 1; i < m_entries.size(); ++i) {
        if (isHeader(m_entries[i]))
            break;
        if (keyOf(m_entries[i]) == key) {
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
    QByteArray data;
    for (const std::string& entry : m_entries) {
        for (char c : entry) {
            if (c == '\n')
                data.append('\r');
            data.append(c);
        }
        data.append("\r\n", 2);
    }
    QSaveFile file(nativeName(m_fileName));
    // Where the folder takes no new file but the file may be written (a shared
    // settings folder), write it in place rather than not at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::int32_t IniFile::toInt(std::string_view text) {
    size_t i = 0;
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
