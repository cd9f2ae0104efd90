#include "console/app/aboutdialog.h"

#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "console/widgets/staticlink.h"
#include "platform/dialog/prompter.h"

#include <QPushButton>

namespace {

// The link line is a CStaticLink on "mailto:".
dialog::TemplateDialog::ControlFactory aboutControls() {
    return [](const dialog::ControlTemplate& c, QWidget* parent) -> QWidget* {
        if (c.kind == dialog::ControlKind::Static && c.id == AboutDialog::LinkId)
            return new CStaticLink(QLatin1String(AboutDialog::MailTarget), parent);
        return nullptr;
    };
}

} // namespace

AboutDialog::AboutDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(templates::dialog(templates::AboutBox), &artwork::picture, parent,
                             aboutControls()) {
    setWindowIcon(artwork::icon(artwork::WindowIcon));
    // OK ends the box as IDOK would; the button is the box's default.
    connect(button(ids::Ok), &QPushButton::clicked, this, &QDialog::accept);
    if (CStaticLink* mail = link()) {
        QFont f = mail->font();
        f.setUnderline(true);
        mail->setFont(f);
        mail->setToolTip(QLatin1String(MailTarget));
        mail->setOpener([&prompter](const QString& target) { return prompter.openUrl(target); });
    }
}

CStaticLink* AboutDialog::link() const {
    return dynamic_cast<CStaticLink*>(label(LinkId));
}
