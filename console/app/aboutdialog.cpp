#include "console/app/aboutdialog.h"

#include "console/app/artwork.h"
#include "console/app/templates.h"
#include "platform/dialog/prompter.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

AboutDialog::AboutDialog(dialog::Prompter& prompter, QWidget* parent)
    : dialog::TemplateDialog(templates::dialog(templates::AboutBox), &artwork::picture, parent),
      m_prompter(prompter) {
    setWindowIcon(artwork::icon(artwork::WindowIcon));
    // OK ends the box as IDOK would; the button is the box's default.
    connect(button(ids::Ok), &QPushButton::clicked, this, &QDialog::accept);
    // The link line: blue and underlined, a hand over it, a click opens the
    // mail program through the desktop.
    if (QLabel* link = label(LinkId)) {
        QFont f = link->font();
        f.setUnderline(true);
        link->setFont(f);
        QPalette pal = link->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        link->setPalette(pal);
        link->setCursor(Qt::PointingHandCursor);
        link->setToolTip(QLatin1String(MailTarget));
        link->installEventFilter(this);
    }
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label(LinkId) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_prompter.openUrl(QLatin1String(MailTarget));
        return true;
    }
    return dialog::TemplateDialog::eventFilter(watched, event);
}
