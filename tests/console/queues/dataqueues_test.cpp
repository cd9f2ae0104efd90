// The data queues' rules and the recent-file list, apart from the window.
#include "console/queues/dataqueues.h"
#include "console/queues/recentfiles.h"

#include <gtest/gtest.h>

using Writes = std::vector<std::string>;

TEST(DataQueues, InsertPutsTheTextInFrontOfTheSelectionWhichMovesWithIt) {
    struct Case {
        const char* name;
        TextSelection at;
        std::string insertion;
        TextSelection expected;
    };
    const Case cases[] = {
        {"caret in the middle", {"abcdef", 3, 3}, "XY", {"abcXYdef", 5, 5}},
        {"selection stays selected", {"abcdef", 2, 4}, "XY", {"abXYcdef", 4, 6}},
        {"caret at the start", {"abc", 0, 0}, "XY", {"XYabc", 2, 2}},
        {"caret at the end", {"abc", 3, 3}, "XY", {"abcXY", 5, 5}},
        {"empty send text", {"", 0, 0}, "XY", {"XY", 2, 2}},
        {"empty entry changes nothing", {"abc", 1, 2}, "", {"abc", 1, 2}},
        {"bytes kept as they are", {"\xD6\xD0\r\n", 2, 2}, "\xFF\r", {"\xD6\xD0\xFF\r\r\n", 4, 4}},
        {"offsets beyond the text", {"ab", 9, 12}, "X", {"abX", 3, 3}},
        {"end before start", {"abcd", 3, 1}, "X", {"abcXd", 4, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataQueues::insert(c.at, c.insertion), c.expected) << c.name;
}

TEST(DataQueues, InsertTimesRepeatsOnlyForOneTo999) {
    struct Case {
        int count;
        TextSelection expected;
    };
    const Case cases[] = {
        {-1, {"x", 1, 1}},      {0, {"x", 1, 1}},    {1, {"xab", 3, 3}},
        {3, {"xababab", 7, 7}}, {1000, {"x", 1, 1}}, {1001, {"x", 1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataQueues::insertTimes({"x", 1, 1}, "ab", c.count), c.expected) << c.count;
    // The most the row inserts, in front of a selection that stays selected.
    std::string expected = "x";
    for (int i = 0; i < 999; ++i)
        expected += "ab";
    expected += "yz";
    EXPECT_EQ(DataQueues::insertTimes({"xyz", 1, 3}, "ab", 999),
              (TextSelection{expected, 1 + 1998, 3 + 1998}));
}

TEST(DataQueues, ASendConvertsByTheQueuesOwnFlagAndEndsWithTheCut) {
    const std::string cut = "1d 56 42 11";
    const std::string cutBytes = "\x1D\x56\x42\x11";
    struct Case {
        const char* name;
        std::string entry;
        bool hex;
        bool noCommand;
        bool withCut;
        Writes expected;
    };
    const Case cases[] = {
        {"hex queue, one write", "1b 40 41", true, false, false, {"\x1B\x40\x41"}},
        {"hex queue whatever the no-command box", "1b40", true, true, true, {"\x1B\x40", cutBytes}},
        {"plain queue, no-command mode: as it is", "a##41##b", false, true, false, {"a##41##b"}},
        {"plain queue, command text: one write a segment",
         "a##41##b",
         false,
         false,
         false,
         {"a", "A", "b"}},
        {"empty queue still cuts", "", false, false, true, {cutBytes}},
    };
    for (const Case& c : cases) {
        const auto cutCommand =
            c.withCut ? std::optional<std::string_view>(cut) : std::optional<std::string_view>();
        EXPECT_EQ(DataQueues::sendWrites(c.entry, c.hex, c.noCommand, cutCommand), c.expected)
            << c.name;
    }
}

TEST(DataQueues, TheSwitchAlternatesFromTheLoadedSetting) {
    DataQueues q;
    q.takePanelSetting("TRUE");
    EXPECT_TRUE(q.panelFlag);
    EXPECT_TRUE(q.switchArrangement()); // shown
    EXPECT_EQ(q.panelSetting, "TRUE");
    EXPECT_FALSE(q.switchArrangement()); // then hidden
    EXPECT_EQ(q.panelSetting, "FALSE");
    EXPECT_TRUE(q.switchArrangement());

    // Anything but "TRUE" hides, and is kept as loaded until a switch.
    q.takePanelSetting("true");
    EXPECT_FALSE(q.panelFlag);
    EXPECT_EQ(q.panelSetting, "true");
    EXPECT_FALSE(q.switchArrangement());
    EXPECT_EQ(q.panelSetting, "FALSE");
}

namespace {
RecentFiles listOf(const RecentFiles::Slots& paths) {
    RecentFiles r;
    r.paths() = paths;
    return r;
}
} // namespace

TEST(RecentFiles, OrderRules) {
    using S = RecentFiles::Slots;
    const S full{"1", "2", "3", "4", "5", "6", "7", "8"};
    struct Case {
        const char* name;
        S before;
        void (*change)(RecentFiles&);
        S after;
    };
    const Case cases[] = {
        {"a path in slot 5 moves to the top", full, [](RecentFiles& r) { r.remember("5"); },
         S{"5", "1", "2", "3", "4", "6", "7", "8"}},
        {"a new path drops slot 8", full, [](RecentFiles& r) { r.remember("9"); },
         S{"9", "1", "2", "3", "4", "5", "6", "7"}},
        {"the top path stays alone at the top", full, [](RecentFiles& r) { r.remember("1"); },
         full},
        {"paths differing in case are two", S{"/a/B.txt"},
         [](RecentFiles& r) { r.remember("/a/b.txt"); }, S{"/a/b.txt", "/a/B.txt"}},
        {"of two equal slots the later one moves", S{"a", "b", "a", "c"},
         [](RecentFiles& r) { r.remember("a"); }, S{"a", "a", "b", "c"}},
        {"into an empty list", S{}, [](RecentFiles& r) { r.remember("x"); }, S{"x"}},
        {"removing slot 3 moves 4..8 up", full, [](RecentFiles& r) { r.remove(2); },
         S{"1", "2", "4", "5", "6", "7", "8", ""}},
        {"slot 6 to the top", full, [](RecentFiles& r) { r.moveToTop(5); },
         S{"6", "1", "2", "3", "4", "5", "7", "8"}},
        {"indexes past the list change nothing", full,
         [](RecentFiles& r) {
             r.remove(8);
             r.moveToTop(8);
         },
         full},
    };
    for (const Case& c : cases) {
        RecentFiles r = listOf(c.before);
        c.change(r);
        EXPECT_EQ(r.paths(), c.after) << c.name;
    }
    EXPECT_FALSE(RecentFiles::isFile(""));
    EXPECT_FALSE(RecentFiles::isFile("a"));
    EXPECT_TRUE(RecentFiles::isFile("/a"));
}
