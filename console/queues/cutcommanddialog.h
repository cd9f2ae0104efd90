#pragma once

// The cut-command dialog as a part of the console: menu 32783 "设置切刀命令(&C)"
// opens dialog 171 over the send engine's cut command, which stays the one
// place the command lives. The dialog shows the command in force and an
// edit prefilled with it; OK takes the edit's text exactly as typed when it
// is longer than two bytes, and keeps the old command otherwise; Cancel,
// Esc and the close box change nothing. The text is not checked: it is hex
// text, converted only when a cut is sent, into at most 500 bytes, and the
// dialog says so when the text would give more.

#include "console/app/dispatch.h"

#include <string>

class ConsoleForm;
class QString;
class SendEngine;

class CutCommandDialog {
public:
    CutCommandDialog(ConsoleForm& form, SendEngine& send);
    CutCommandDialog(const CutCommandDialog&) = delete;
    CutCommandDialog& operator=(const CutCommandDialog&) = delete;

    void registerCommands(CommandTable& table);

    // Shows the dialog modally and applies what it ends with.
    void run();

    // The note shown when a command converts to more than the cut's 500 bytes.
    [[nodiscard]] static QString tooLongNote();

private:
    ConsoleForm& m_form;
    SendEngine& m_send;
};
