#pragma once

// The eight most recent files: slot 1 (index 0) is the most recent, an
// empty slot holds nothing. Paths are byte strings in code page 936, as the
// settings file keeps them, compared byte for byte.

#include <array>
#include <cstddef>
#include <string>

class RecentFiles {
public:
    static constexpr std::size_t Size = 8;
    using Slots = std::array<std::string, Size>;

    // A path opened or saved: to the top. A slot that holds it already (the
    // last one when several do) leaves its place; otherwise the last slot
    // drops out.
    void remember(const std::string& path);
    // The path of a slot to the top; the slots before it move one down.
    void moveToTop(std::size_t index);
    // A slot out of the list; the slots after it move one up, the last
    // becomes empty.
    void remove(std::size_t index);

    // A path that names a file: two bytes at least.
    [[nodiscard]] static bool isFile(const std::string& slot) { return slot.size() >= 2; }

    [[nodiscard]] Slots& paths() { return m_slots; }
    [[nodiscard]] const Slots& paths() const { return m_slots; }

private:
    Slots m_slots{};
};
