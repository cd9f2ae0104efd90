#include "headadjust/messenger.h"

#include "platform/dialog/widgetrules.h"

namespace headadjust {

void QtMessenger::showMessage(QWidget* parent, const QString& text) {
    dialog::makeMessageBox(parent, QMessageBox::Warning, QStringLiteral("Ostrelle"), text,
                           QMessageBox::Ok)
        ->exec();
}

} // namespace headadjust
