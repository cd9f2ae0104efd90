#include "platform/filestamp.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using platform::FileStamp;

namespace {
constexpr std::int64_t Ms = 1'000'000;
constexpr std::int64_t Second = 1000 * Ms;
constexpr std::int64_t Now = 1'700'000'000 * Second + 300 * Ms;
} // namespace

TEST(FileStamp, IsSettledOnlyWellAfterTheLastChange) {
    struct Case {
        const char* name;
        std::int64_t modified, changed;
        bool settled;
    };
    const Case cases[] = {
        {"fine times, just changed", Now - 10 * Ms, Now - 10 * Ms, false},
        {"fine times, 49 ms ago", Now - 49 * Ms, Now - 49 * Ms, false},
        {"fine times, 50 ms ago", Now - 50 * Ms, Now - 50 * Ms, true},
        {"content old, inode just changed", Now - 5 * Second, Now - 1 * Ms, false},
        {"changed in the future", Now + 1 * Second, Now + 1 * Second, false},
        {"whole seconds, 1.3 s ago", Now - 300 * Ms - Second, Now - 300 * Ms - Second, false},
        {"whole seconds, 2.3 s ago", Now - 300 * Ms - 2 * Second, Now - 300 * Ms - 2 * Second,
         true},
    };
    for (const Case& c : cases) {
        FileStamp stamp;
        stamp.modifiedNs = c.modified;
        stamp.changedNs = c.changed;
        EXPECT_EQ(stamp.settledAt(Now), c.settled) << c.name;
    }
}

TEST(FileStamp, TellsVersionsOfAFileApart) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/f")).toStdString();
    EXPECT_FALSE(platform::fileStamp(path).has_value());

    std::ofstream(path) << "abc";
    const auto first = platform::fileStamp(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->size, 3);
    EXPECT_EQ(platform::fileStamp(path), first);
    EXPECT_LE(first->modifiedNs, platform::wallClockNs());

    // Replaced by a rename: another inode, though size and times may agree.
    const std::string other = path + ".new";
    std::ofstream(other) << "xyz";
    ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
    const auto second = platform::fileStamp(path);
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(second->inode, first->inode);
    EXPECT_NE(second, first);
}
