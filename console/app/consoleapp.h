#pragma once

// The console's application object: it runs the main window modally and
// holds nothing of its own.

namespace dialog {
class Prompter;
}

class TestConsoleApp {
public:
    // Runs the window; returns when it has ended. Its result is not looked at.
    void initInstance(dialog::Prompter& prompter);
};
