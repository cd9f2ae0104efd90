#pragma once

// The console's settings as a part of the window: the sequences that move
// the persisted values between the window and a settings file (the load at
// start-up and by the menu, the save on closing and by the menu, the reset
// to defaults), and the five commands of the menu "设置(&S)" that run them.
//
// The values live where their parts keep them: the port settings and the
// connected flag in the ConnectionPanel, the cut command in the SendEngine,
// the receive text in the ReceivePanel, the check boxes and the fields in
// the window's controls. The recent-file slots and the queue panel's setting
// and flag belong to parts still to come; until then the window keeps them
// and lends them here. The queue panel's switch, which the two load commands
// and the reset run, is the hook panelSwitch.

#include "console/app/dispatch.h"
#include "console/settings/consolesettings.h"

#include <QString>

#include <array>
#include <optional>
#include <string>

class ConnectionPanel;
class ConsoleForm;
class IniFile;
class ReceivePanel;
class SendEngine;

class SettingsMenu {
public:
    // What the settings carry for parts that are not built yet.
    struct Lent {
        std::array<std::string, 8>& recentFiles; // recentfile1..recentfile8
        std::string& panelSetting;               // showqueue
        bool& panelFlag;
    };
    enum class Occasion { StartUp, Command };

    SettingsMenu(ConsoleForm& form, ConnectionPanel& connection, SendEngine& send,
                 ReceivePanel& receive, Lent lent);
    SettingsMenu(const SettingsMenu&) = delete;
    SettingsMenu& operator=(const SettingsMenu&) = delete;

    // Menu commands 32787, 32785, 32788, 32784 and 32786.
    void registerCommands(CommandTable& table);

    // The queue panel's switch: lays the panel out and shows or hides it
    // from the panel flag.
    Hook panelSwitch;

    // The load sequence up to its last step, in its order; returns the saved
    // connection state, which decides the connect that ends the sequence. At
    // start-up the window's opening runs that connect; a command runs it here.
    bool load(const IniFile& ini, Occasion occasion);
    // The save sequence: the controls read, every key set, the file written.
    // A file that cannot be written is reported with its reason; the file
    // that was there stays as it was.
    bool save(IniFile& ini);
    // "初始化设置": every value to its default, no file read or written.
    void reset();

    // The values as the console holds them now (the controls read before).
    [[nodiscard]] ConsoleSettings current() const;

    // What a name chosen in the settings' file dialogs becomes: a file name
    // without a dot gets ".ini", as the dialogs' default extension.
    [[nodiscard]] static QString withIniSuffix(const QString& path);

private:
    void saveAsDefault();
    void loadDefault();
    void saveToFile();
    void loadFromFile();
    void connectAsSaved(bool connect);
    void fillRecentFiles();
    void setNumbers(const ConsoleSettings& values);

    ConsoleForm& m_form;
    ConnectionPanel& m_connection;
    SendEngine& m_send;
    ReceivePanel& m_receive;
    Lent m_lent;
};
