#pragma once

// The console's persisted values, as a plain value: the sections "connect",
// "check" and "strings" of its settings files, each field named by its key.
// A fresh value holds every default. The window applies a value in the order
// of its load sequences and takes one from its controls and parts to save.

#include "console/link/portsettings.h"
#include "console/send/printercommands.h"

#include <array>
#include <string>

class IniFile;

struct ConsoleSettings {
    // The default settings file's name, in the working directory.
    static constexpr char DefaultFileName[] = "Quorvane.ini";

    // [connect]
    PortSettings
        port; // port, boad, check, data, stop, control: COM1 "38400," "N," "8," "1" "NONE\n"
    bool connect = true;

    // [check]
    bool autocut = true;
    bool hexsend = false;
    bool hexdisplay = true;
    bool usetimer = false;
    bool addnumber = false;
    int selqueue = 0;
    bool nottransorder = false;
    std::array<bool, 10> check{}; // check1..check10
    std::string showqueue = "FALSE";

    // [strings]
    int sendtimes = 1;
    int delaytime = 1000;
    int startnumber = 1;
    int addtimes = 0;
    std::string addcontent;
    std::string send;
    std::string receive;
    std::array<std::string, 10> queue{};                        // queue1..queue10
    std::array<std::string, 8> recentfiles{};                   // recentfile1..recentfile8
    std::string cutCommand{printercommands::DefaultCutCommand}; // CutCommand

    // Every key from the store, each missing one at its default. A switch is
    // on exactly when it reads "TRUE"; numbers are read as atoi() reads them.
    // Of the port settings only the port and the five setting strings are
    // stored; the network address stays as it is here.
    void load(const IniFile& ini);
    // Sets every key in the save order; the caller writes the file. Into a
    // store that has read nothing, this gives the fresh layout: each section
    // in the reverse of its order here, the sections connect, check, strings.
    void save(IniFile& ini) const;

    bool operator==(const ConsoleSettings&) const = default;
};

// "Quorvane.ini" in the working directory, as a full path in the file
// system's encoding. Formed anew at each call; the working directory's path
// is used whole, however long.
[[nodiscard]] std::string defaultSettingsPath();
