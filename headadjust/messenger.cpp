#include "headadjust/messenger.h"

#include <QMessageBox>

namespace headadjust {

void QtMessenger::showMessage(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Ostrelle"), text);
}

} // namespace headadjust
