// The window's dispatch: one table of commands and timers that the parts
// fill, checked against the template and the menu it serves.
#include "console/app/dispatch.h"
#include "console/app/templates.h"
#include "tests/console/app/consolewindow.h"

#include <algorithm>
#include <optional>
#include <set>

using dialog::ControlKind;
using dialog::Notify;

namespace {

// What a person's use of a control of this kind sends, for the kinds that
// send anything besides edits.
std::optional<Notify> commandOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return Notify::Clicked;
    case ControlKind::ComboBox:
        return Notify::SelChange;
    default:
        return std::nullopt;
    }
}

} // namespace

TEST_F(ConsoleWindowTest, EveryControlAndMenuCommandIsDispatchedOrHasNoActionByName) {
    writePortMap(missing("com1"));
    open();
    const CommandTable& table = window->commands();
    const dialog::DialogTemplate& layout = templates::dialog(templates::MainWindow);
    const dialog::MenuTemplate& menuBar = templates::menu(templates::MainMenu);

    std::vector<std::pair<int, Notify>> interactive;
    for (const dialog::ControlTemplate& c : layout.controls)
        if (const auto code = commandOf(c.kind); code && c.id != dialog::NoId)
            interactive.emplace_back(c.id, *code);
    for (int id : menuBar.commandIds())
        interactive.emplace_back(id, Notify::Menu);
    ASSERT_GT(interactive.size(), 50u); // the template was read

    for (const auto& [id, code] : interactive) {
        SCOPED_TRACE(id);
        // Exactly one of the two: a handler for what the control sends, or a
        // place on the no-action list.
        EXPECT_NE(table.handles(id, code), table.isNoAction(id));
        if (table.isNoAction(id)) {
            EXPECT_FALSE(table.handles(id)) << "a control with no action has a handler";
        }
    }

    // Nothing in the table names a control that is not there, or answers an
    // event its control never sends (edits send only text changes).
    for (const auto& [id, code] : table.commands()) {
        SCOPED_TRACE(id);
        if (code == Notify::Menu) {
            const auto menuIds = menuBar.commandIds();
            EXPECT_NE(std::find(menuIds.begin(), menuIds.end(), id), menuIds.end());
            continue;
        }
        const dialog::ControlTemplate* c = layout.find(id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(code, commandOf(c->kind).value_or(Notify::EditChange));
        if (code == Notify::EditChange) {
            EXPECT_TRUE(c->kind == ControlKind::Edit || c->kind == ControlKind::IpAddress);
        }
    }
    for (int id : table.noActionIds()) {
        const auto menuIds = menuBar.commandIds();
        EXPECT_TRUE(layout.find(id) != nullptr ||
                    std::find(menuIds.begin(), menuIds.end(), id) != menuIds.end())
            << id;
    }
    for (int timer : {timers::Send, timers::ReceivePoll, timers::Animation})
        EXPECT_TRUE(table.handlesTimer(timer)) << timer;
}

TEST(CommandTable, RunsTheHandlerOfTheIdAndNotificationOnly) {
    CommandTable table;
    std::vector<std::pair<std::string, int>> ran;
    table.on(7, Notify::Clicked, [&] { ran.emplace_back("seven", 7); });
    constexpr int Group[] = {10, 11, 12};
    table.on(Group, Notify::SelChange, [&](int id) { ran.emplace_back("group", id); });
    table.onTimer(2, [&] { ran.emplace_back("tick", 2); });
    table.noAction({20, 21});

    EXPECT_TRUE(table.dispatch(11, Notify::SelChange));
    EXPECT_TRUE(table.dispatch(7, Notify::Clicked));
    EXPECT_FALSE(table.dispatch(7, Notify::EditChange));
    EXPECT_FALSE(table.dispatch(20, Notify::Clicked));
    EXPECT_FALSE(table.dispatch(99, Notify::Clicked));
    EXPECT_TRUE(table.tick(2));
    EXPECT_FALSE(table.tick(3));
    EXPECT_EQ(ran,
              (std::vector<std::pair<std::string, int>>{{"group", 11}, {"seven", 7}, {"tick", 2}}));

    EXPECT_TRUE(table.handles(12));
    EXPECT_FALSE(table.handles(13));
    EXPECT_TRUE(table.isNoAction(21));
    EXPECT_FALSE(table.isNoAction(7));

    // A hook runs its steps in the order they were added.
    Hook hook;
    std::string order;
    hook.add([&] { order += 'a'; });
    hook.add([&] { order += 'b'; });
    hook.run();
    hook.run();
    EXPECT_EQ(order, "abab");
}
