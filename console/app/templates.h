#pragma once

// Quorvane's dialog templates and menu, kept in resources/quorvane.

#include "platform/dialog/dialogtemplate.h"

namespace templates {

enum Dialog { AboutBox = 100, MainWindow = 102, CutCommandBox = 171 };
inline constexpr int MainMenu = 130;

// The parsed template; a broken resource is a build mistake, caught by the
// tests, and gives an empty dialog rather than a crash.
[[nodiscard]] const dialog::DialogTemplate& dialog(Dialog id);
[[nodiscard]] const dialog::MenuTemplate& menu(int id);

} // namespace templates
