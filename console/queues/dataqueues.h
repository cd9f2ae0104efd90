#pragma once

// The data queues' rules, apart from the window: the panel's state (which
// arrangement the next switch applies, and the setting saved as showqueue),
// the edits that put a queue or the insert row's content into the send text
// at its selection, and the writes of one queue's send.
//
// The ten entry texts and HEX flags, the add content and its count are
// fields of the window (ConsoleFields), moved by its one data exchange; these
// rules take them as arguments.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A text with a selection in it, as byte offsets; start == end is a caret.
struct TextSelection {
    std::string text;
    std::size_t start = 0;
    std::size_t end = 0;

    bool operator==(const TextSelection&) const = default;
};

class DataQueues {
public:
    static constexpr int Count = 10;
    // The add count's field accepts 0 to 1000; only 1 to 999 insert anything.
    static constexpr int AddCountMin = 0;
    static constexpr int AddCountMax = 1000;

    // --- the panel
    // True when the next switch shows the panel.
    bool panelFlag = false;
    // The arrangement applied last, "TRUE" or "FALSE"; saved as showqueue.
    std::string panelSetting = "FALSE";

    // A loaded setting: kept as it is, and the flag follows it.
    void takePanelSetting(std::string setting);
    // The switch: shows the panel when the flag says so, records what it
    // applied and inverts the flag. Returns whether the panel is shown now.
    bool switchArrangement();

    // --- the send text
    // `insertion` in front of the selection (never in place of it); the
    // selection moves with the text it covered, so a caret lands behind the
    // insertion. Offsets beyond the text are taken as its end.
    [[nodiscard]] static TextSelection insert(TextSelection at, std::string_view insertion);
    // The insert row: `content` count times at the selection, as that many
    // single inserts would leave it. A count below 1 or above 999 changes
    // nothing.
    [[nodiscard]] static bool insertsTimes(int count) { return count >= 1 && count < AddCountMax; }
    [[nodiscard]] static TextSelection insertTimes(TextSelection at, std::string_view content,
                                                   int count);

    // --- a queue's send
    // The writes of one queue: its text converted as one copy of send data
    // with the queue's own HEX flag (the "无命令模式" box deciding between
    // plain and command text), then the cut command as hex text in one
    // write when a cut is asked for. Never numbered, repeated or counted.
    [[nodiscard]] static std::vector<std::string>
    sendWrites(std::string_view entry, bool hex, bool noCommand,
               std::optional<std::string_view> cutCommand);
};
