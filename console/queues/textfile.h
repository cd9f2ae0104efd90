#pragma once

// Whole text files as raw bytes, for the send and receive areas: no encoding
// or line-end conversion either way.
//
// A read takes at most ReadLimit bytes: a larger file is refused whole
// rather than cut, so the send area never holds half a file that a save
// would then write back as if it were all. A text ends at its first NUL.
// A write goes to a temporary file in the same folder that is renamed over
// the old one, so a write that fails leaves the old file as it was.

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace textfile {

// The send area's read buffer: 262144 bytes, one of them for the NUL that
// ends the text.
inline constexpr std::size_t ReadLimit = 262143;

struct ReadResult {
    enum class Status { Ok, CannotOpen, ReadFailed, TooLarge };
    Status status = Status::Ok;
    std::string text;     // up to the first NUL; empty unless Ok
    int error = 0;        // errno of CannotOpen and ReadFailed
    std::size_t size = 0; // bytes found, for TooLarge: at least ReadLimit + 1
};

[[nodiscard]] ReadResult read(const QString& path);

// 0 when the bytes are in the file, else the errno of what failed.
[[nodiscard]] int write(const QString& path, std::string_view bytes);

} // namespace textfile
