#include "console/app/consoleapp.h"
#include "platform/dialog/prompter.h"

#include "platform/dialog/widgetrules.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    dialog::installQtTranslations(app);
    dialog::QtPrompter prompter;
    TestConsoleApp().initInstance(prompter);
    return 0;
}
