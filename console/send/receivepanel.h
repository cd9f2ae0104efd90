#pragma once

// The receive area as a part of the console: the ReceiveDisplay over edit
// ids::ReceiveArea, the poll of the open link (timer 2, which the
// connection runs while a link is open) and the menu's "以十六进制显示(&X)".

#include "console/app/dispatch.h"

#include <memory>
#include <string>
#include <string_view>

class ConnectionPanel;
class ConsoleForm;
class ReceiveDisplay;

class ReceivePanel {
public:
    // Reads at most this many waiting bytes a poll.
    static constexpr int ReadSize = 100;

    ReceivePanel(ConsoleForm& form, ConnectionPanel& connection);
    ~ReceivePanel();
    ReceivePanel(const ReceivePanel&) = delete;
    ReceivePanel& operator=(const ReceivePanel&) = delete;

    void registerCommands(CommandTable& table);

    // What the receive area holds, as bytes.
    [[nodiscard]] const std::string& text() const;
    void setText(std::string_view text);

private:
    void onPoll();

    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
    std::unique_ptr<ReceiveDisplay> m_display;
};
