#include "blackmark/ui/blackmarkdialog.h"
#include "platform/dialog/prompter.h"

#include "platform/dialog/widgetrules.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halmbrook"));
    dialog::installQtTranslations(app);
    dialog::QtPrompter prompter;
    // The program is its one window; the port closes with it.
    halmbrook::BlackMarkDialog window(prompter);
    prompter.runModal(window);
    return 0;
}
