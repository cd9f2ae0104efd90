// The window's own settings store: the start-up load from the default file
// formed at opening, and the close save into the same file. The sequences
// themselves, which the menu "设置(&S)" runs as well, are the SettingsMenu's.

#include "console/app/consoledialog.h"

void TestConsoleDialog::loadStartupSettings() {
    m_connectAtStart = m_settingsMenu.load(m_settings, SettingsMenu::Occasion::StartUp);
}

// The store read the default file at start-up, so sections and keys the
// console does not know stay in it.
void TestConsoleDialog::saveSettings() {
    m_settingsMenu.save(m_settings);
}
