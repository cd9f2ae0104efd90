#include "headadjust/mainform.h"
#include "headadjust/messenger.h"

#include "platform/dialog/widgetrules.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dialog::installQtTranslations(app);
    headadjust::QtMessenger messenger;
    headadjust::MainForm form(messenger);
    form.show();
    return app.exec();
}
