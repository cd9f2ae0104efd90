#pragma once

// What a part of the console may use of the main window: its controls and
// timers by id, the fields with their one data exchange, the prompter and the
// window icon. Parts include this header and never the window's own
// (consoledialog.h), so the folders depend one way: app/ -> the feature
// folders -> platform/.
//
// The form is a plain object over a TemplateDialog. The window builds one
// over itself; tests/support builds one over a bare dialog from the same
// template, so a part can be tested without the whole window.

#include "console/app/consolefields.h"
#include "console/app/controlids.h"
#include "platform/dialog/dataexchange.h"

class QString;
class QWidget;

namespace dialog {
class Prompter;
class TemplateDialog;
} // namespace dialog

class ConsoleForm {
public:
    using Prompts = dialog::DataExchange::Prompts;

    ConsoleForm(dialog::TemplateDialog& window, dialog::Prompter& prompter);
    ConsoleForm(const ConsoleForm&) = delete;
    ConsoleForm& operator=(const ConsoleForm&) = delete;

    // The controls and the window timers, by id.
    [[nodiscard]] dialog::TemplateDialog& dialog() const { return m_window; }

    // --- the fields and their exchange
    [[nodiscard]] ConsoleFields& fields() { return m_fields; }
    [[nodiscard]] const ConsoleFields& fields() const { return m_fields; }
    // Controls into fields, in the documented order, with the range checks
    // and their prompts; false when a check stopped the read.
    bool readControls(Prompts prompts = Prompts::Show);
    // Fields into controls.
    void writeControls();

    // --- what a person sees or answers
    [[nodiscard]] dialog::Prompter& prompter() const { return m_prompter; }
    // A message box with OK, owned by the window.
    void message(const QString& text) const;
    // The owner to give the prompter's file dialogs and boxes.
    [[nodiscard]] QWidget* owner() const;

    // --- the window's big icon, by image resource
    void setLargeIcon(int resourceId);
    [[nodiscard]] int largeIcon() const;

private:
    void exchange(dialog::DataExchange& dx);

    dialog::TemplateDialog& m_window;
    dialog::Prompter& m_prompter;
    ConsoleFields m_fields;
};
