#include "console/queues/dataqueues.h"

#include "console/send/hextext.h"

#include <algorithm>
#include <utility>

void DataQueues::takePanelSetting(std::string setting) {
    panelFlag = setting == "TRUE";
    panelSetting = std::move(setting);
}

bool DataQueues::switchArrangement() {
    const bool show = panelFlag;
    panelSetting = show ? "TRUE" : "FALSE";
    panelFlag = !panelFlag;
    return show;
}

TextSelection DataQueues::insert(TextSelection at, std::string_view insertion) {
    const std::size_t start = std::min(at.start, at.text.size());
    const std::size_t end = std::clamp(at.end, start, at.text.size());
    at.text.insert(start, insertion);
    return {std::move(at.text), start + insertion.size(), end + insertion.size()};
}

TextSelection DataQueues::insertTimes(TextSelection at, std::string_view content, int count) {
    if (!insertsTimes(count))
        return at;
    // One insert of the repeated content: the same text and selection as
    // count inserts one after the other, each behind the last.
    std::string repeated;
    repeated.reserve(content.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        repeated.append(content);
    return insert(std::move(at), repeated);
}

std::vector<std::string> DataQueues::sendWrites(std::string_view entry, bool hex, bool noCommand,
                                                std::optional<std::string_view> cutCommand) {
    std::vector<std::string> writes = HexText::convertCopy(entry, hex, noCommand);
    if (cutCommand)
        writes.push_back(HexText::toBytes(*cutCommand, HexText::CutCapacity));
    return writes;
}
