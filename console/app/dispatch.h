#pragma once

// How the console's window routes its events to the parts that own them.
//
// Each part registers its handlers in the window's CommandTable: a command
// id, or a group of ids, with the notification it answers (a click, a
// selection change, an edit change, a menu command), and the window timers
// it ticks. The window's onCommand and onTimer are table lookups. Controls
// whose events do nothing are named in the table as well, so that every
// interactive control of the template is accounted for (the dispatch test
// walks the template against this table).
//
// Steps that cross parts run through a Hook: the part that owns a sequence
// runs the hook at its documented point, and other parts add their steps to
// it, which then run in the order they were added.

#include "platform/dialog/templatedialog.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <span>
#include <utility>
#include <vector>

class Hook {
public:
    void add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    void run() const {
        for (const auto& step : m_steps)
            step();
    }

private:
    std::vector<std::function<void()>> m_steps;
};

class CommandTable {
public:
    using Handler = std::function<void()>;
    using IdHandler = std::function<void(int id)>;

    // The handler of one command id and notification.
    void on(int id, dialog::Notify code, Handler handler);
    // One handler for a group of ids; it is told which id it runs for.
    void on(std::span<const int> ids, dialog::Notify code, IdHandler handler);
    // The handler of a window timer's tick.
    void onTimer(int timerId, Handler handler);
    // Controls whose events have no action, named so that the table accounts
    // for them.
    void noAction(std::span<const int> ids);
    void noAction(std::initializer_list<int> ids) {
        noAction(std::span<const int>(ids.begin(), ids.size()));
    }

    // Runs the handler of the command; false when it has none.
    bool dispatch(int id, dialog::Notify code) const;
    // Runs the handler of the timer; false when it has none.
    bool tick(int timerId) const;

    [[nodiscard]] bool handles(int id, dialog::Notify code) const;
    // Any handler for the id, whatever the notification.
    [[nodiscard]] bool handles(int id) const;
    [[nodiscard]] bool handlesTimer(int timerId) const;
    [[nodiscard]] bool isNoAction(int id) const { return m_noAction.contains(id); }

    // Every command with a handler, and every id named as having no action.
    [[nodiscard]] std::vector<std::pair<int, dialog::Notify>> commands() const;
    [[nodiscard]] const std::set<int>& noActionIds() const { return m_noAction; }

private:
    std::map<std::pair<int, dialog::Notify>, IdHandler> m_commands;
    std::map<int, Handler> m_timers;
    std::set<int> m_noAction;
};
