#pragma once

// The console's persisted values, as a plain value: the sections "connect",
// "check" and "strings" of its settings files, each field named by its key.
// A fresh value holds every default. The window applies a value in the order
// of its start-up load; reading and writing the settings files fills and
// takes this value.

#include "console/link/portsettings.h"
#include "console/send/cutcommand.h"

#include <array>
#include <string>

struct ConsoleSettings {
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
    std::array<std::string, 10> queue{};       // queue1..queue10
    std::array<std::string, 8> recentfiles{};  // recentfile1..recentfile8
    std::string cutCommand{DefaultCutCommand}; // CutCommand

    bool operator==(const ConsoleSettings&) const = default;
};
