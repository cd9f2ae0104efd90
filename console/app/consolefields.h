#pragma once

// The main window's fields: what its controls hold, as plain values. The
// window copies them from and to the controls with its data exchange.

#include <array>
#include <string>

struct ConsoleFields {
    std::string sendText;                      // 1002
    // The receive text (1006) is kept by the window's ReceiveDisplay: the
    // area only grows by appends, and copying it at every tick would make a
    // tick cost more the longer the text gets.
    std::array<std::string, 10> entryTexts{};  // queue rows 1..10
    std::array<bool, 10> entryHex{};           // 1027..1036
    int count = 0;                             // 1069, 1..999999
    int startNumber = 1;                       // 1073, 1..999999
    int interval = 0;                          // 1070, 0..7200000 ms
    int sheets = 1;                            // 1128
    int addCount = 1;                          // 1099, 0..1000
    std::string addContent;                    // 1100
    int tcpPort = 0;                           // 1134
    int barcodeType = 0;                       // 1140
    std::string barcodeContent = "0123456789"; // 1141
};

// The controls each field lives in, as ids.
namespace ids {
inline constexpr int Exit = 1;
inline constexpr int SendArea = 1002;
inline constexpr int SendButton = 1003;
inline constexpr int HexSend = 1004;
inline constexpr int ConnectButton = 1005;
inline constexpr int ReceiveArea = 1006;
inline constexpr int HexDisplay = 1007;
inline constexpr int AutoCut = 1017;
inline constexpr int PortCombo = 1019;
inline constexpr int BaudCombo = 1020;
inline constexpr int ParityCombo = 1021;
inline constexpr int DataBitsCombo = 1022;
inline constexpr int StopBitsCombo = 1023;
inline constexpr int TimedSend = 1068;
inline constexpr int Count = 1069;
inline constexpr int Interval = 1070;
inline constexpr int Numbering = 1071;
inline constexpr int StartNumber = 1073;
inline constexpr int NoCommandMode = 1077;
inline constexpr int QueueChoice = 1078;
inline constexpr int LinkOpenImage = 1086;
inline constexpr int NoLinkImage = 1087;
inline constexpr int FlowCombo = 1088;
inline constexpr int RecentFiles = 1095;
inline constexpr int AddCount = 1099;
inline constexpr int AddContent = 1100;
inline constexpr int SendFrame1 = 1106;
inline constexpr int SendFrame2 = 1107;
inline constexpr int SendFrame3 = 1108;
inline constexpr int Sheets = 1128;
inline constexpr int IpAddress = 1131;
inline constexpr int TcpPort = 1134;
inline constexpr int BarcodeType = 1140;
inline constexpr int BarcodeContent = 1141;

inline constexpr std::array<int, 10> EntryEdits{1037, 1038, 1039, 1046, 1049,
                                                1052, 1055, 1058, 1061, 1064};
inline constexpr std::array<int, 10> EntryHexBoxes{1027, 1028, 1029, 1030, 1031,
                                                   1032, 1033, 1034, 1035, 1036};
} // namespace ids

namespace timers {
inline constexpr int Send = 1;        // the next copy of a timed run
inline constexpr int ReceivePoll = 2; // every 500 ms while connected
inline constexpr int Animation = 3;   // busy animation, 300 ms
inline constexpr int ReceivePollMs = 500;
} // namespace timers
