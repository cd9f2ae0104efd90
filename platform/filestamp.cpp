#include "platform/filestamp.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace platform {
namespace {

constexpr std::int64_t NsPerSecond = 1'000'000'000;
constexpr std::int64_t FineWindowNs = 50'000'000;
constexpr std::int64_t WholeSecondWindowNs = 2 * NsPerSecond;

std::int64_t nsOf(const timespec& t) {
    return std::int64_t{t.tv_sec} * NsPerSecond + t.tv_nsec;
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), nsOf(st.st_mtim), nsOf(st.st_ctim)};
}

} // namespace

bool FileStamp::settledAt(std::int64_t nowNs) const {
    // A file system that keeps whole seconds gives every time a zero
    // fraction; one that keeps finer times gives that only once in a while,
    // and then the longer wait is merely cautious.
    const bool wholeSeconds = modifiedNs % NsPerSecond == 0;
    const std::int64_t window = wholeSeconds ? WholeSecondWindowNs : FineWindowNs;
    const std::int64_t last = std::max(modifiedNs, changedNs);
    return last <= nowNs - window;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::optional<FileStamp> fileStamp(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::int64_t wallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nsOf(now);
}

} // namespace platform
