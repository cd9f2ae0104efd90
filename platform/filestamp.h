#pragma once

// What tells one version of a file from another without reading it: its
// device and inode (a file replaced by a rename is another inode), its size,
// and the nanosecond times of its last change of content and of its inode.
//
// A stamp is only as fine as the file system's clock: the kernel stamps with
// a coarse clock, and some file systems keep whole or even two seconds, so a
// file written twice within one tick may keep its stamp. A stamp taken soon
// after the file changed is therefore not settled; only a settled stamp that
// is still the same later says the file is still the same.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // content, ns since the epoch
    std::int64_t changedNs = 0;  // inode (content, rename, mode, times set by hand)

    bool operator==(const FileStamp&) const = default;

    // True when the file's last change lies far enough before nowNs that any
    // later write must give it a different stamp: 50 ms on file systems that
    // keep sub-second times (beyond any kernel tick), 2 s on those that keep
    // whole seconds (FAT keeps two).
    [[nodiscard]] bool settledAt(std::int64_t nowNs) const;
};

// The stamp of the file at path, or nothing when it cannot be told (missing).
[[nodiscard]] std::optional<FileStamp> fileStamp(const std::string& path);
// The stamp of an open file.
[[nodiscard]] std::optional<FileStamp> fileStamp(int fd);

// The wall clock the file times are taken from, in ns since the epoch.
[[nodiscard]] std::int64_t wallClockNs();

} // namespace platform
