#pragma once

// A stage for one part of the console: the main window's template as a bare
// dialog (template 102, no parts, no opening; the fields' numbers as a fresh
// start-up leaves them), a ConsoleForm over it, a
// scripted prompter and a dispatch table. A test builds the part over
// `form`, registers it in `commands`, and drives it by id: a click on a
// control reaches the part through the table as in the window, with no pty
// and no whole window.

#include "console/app/consoleform.h"
#include "console/app/dispatch.h"
#include "platform/dialog/templatedialog.h"
#include "tests/support/prompter/scriptedprompter.h"

#include <QTemporaryDir>

#include <string>

namespace testsupport {

class PartForm : public dialog::TemplateDialog {
public:
    PartForm();
    ~PartForm() override;

    void onCommand(int id, dialog::Notify code) override { commands.dispatch(id, code); }
    // As the window does: the fields first, quietly, then the tick.
    void onTimer(int id) override {
        form.readControls(ConsoleForm::Prompts::Quiet);
        commands.tick(id);
    }

    // Maps COM1 to a path (a missing one unless told otherwise) and every
    // other port name to a missing path, in a port map of the stage's own.
    void mapCom1(const std::string& devicePath = {});

    ScriptedPrompter prompter;
    ConsoleForm form{*this, prompter};
    CommandTable commands;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPorts;
};

} // namespace testsupport
