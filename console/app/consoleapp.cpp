#include "console/app/consoleapp.h"

#include "console/app/consoledialog.h"

void TestConsoleApp::initInstance(dialog::Prompter& prompter) {
    TestConsoleDialog window(prompter);
    window.exec();
}
