#include "console/app/dispatch.h"

#include <QtGlobal>

void CommandTable::on(int id, dialog::Notify code, Handler handler) {
    on(std::span<const int>(&id, 1), code, [h = std::move(handler)](int) { h(); });
}

void CommandTable::on(std::span<const int> ids, dialog::Notify code, IdHandler handler) {
    for (int id : ids) {
        // Two parts answering one command is a wiring mistake, never a choice.
        const bool added = m_commands.emplace(std::pair(id, code), handler).second;
        Q_ASSERT_X(added, "CommandTable::on", "a command registered twice");
        Q_UNUSED(added);
    }
}

void CommandTable::onTimer(int timerId, Handler handler) {
    const bool added = m_timers.emplace(timerId, std::move(handler)).second;
    Q_ASSERT_X(added, "CommandTable::onTimer", "a timer registered twice");
    Q_UNUSED(added);
}

void CommandTable::noAction(std::span<const int> ids) {
    m_noAction.insert(ids.begin(), ids.end());
}

bool CommandTable::dispatch(int id, dialog::Notify code) const {
    const auto it = m_commands.find({id, code});
    if (it == m_commands.end())
        return false;
    it->second(id);
    return true;
}

bool CommandTable::tick(int timerId) const {
    const auto it = m_timers.find(timerId);
    if (it == m_timers.end())
        return false;
    it->second();
    return true;
}

bool CommandTable::handles(int id, dialog::Notify code) const {
    return m_commands.contains({id, code});
}

bool CommandTable::handles(int id) const {
    const auto it = m_commands.lower_bound({id, dialog::Notify{}});
    return it != m_commands.end() && it->first.first == id;
}

bool CommandTable::handlesTimer(int timerId) const {
    return m_timers.contains(timerId);
}

std::vector<std::pair<int, dialog::Notify>> CommandTable::commands() const {
    std::vector<std::pair<int, dialog::Notify>> out;
    out.reserve(m_commands.size());
    for (const auto& entry : m_commands)
        out.push_back(entry.first);
    return out;
}
