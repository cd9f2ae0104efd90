#pragma once

// The About box (dialog 100): the program's picture, its version line, a
// mail link that hands "mailto:" to the desktop, and OK.

#include "console/app/controlids.h"
#include "platform/dialog/templatedialog.h"

class CStaticLink;

namespace dialog {
class Prompter;
}

class AboutDialog : public dialog::TemplateDialog {
public:
    static constexpr int LinkId = ids::AboutLink;
    static constexpr char MailTarget[] = "mailto:";

    explicit AboutDialog(dialog::Prompter& prompter, QWidget* parent = nullptr);

    [[nodiscard]] CStaticLink* link() const;
};
