#pragma once

// Every id of the console's controls, menu commands and window timers, named
// once. The templates under resources/quorvane use the numbers; handlers,
// rules and tests use these names. Groups list ids in the order the rules
// that use them apply them.

#include <array>

namespace ids {

// --- the window's own buttons; IDOK is "退出" here and "确定" in the About box
inline constexpr int Ok = 1;
inline constexpr int Exit = Ok;

// --- send area (group box 1091)
inline constexpr int SendGroup = 1091;
inline constexpr int SendArea = 1002;
inline constexpr int HexSend = 1004;
inline constexpr int OpenFile = 1010;
inline constexpr int ClearSend = 1008;
inline constexpr int SaveSend = 1024;
inline constexpr int AddLabel = 1102; // "添加"
inline constexpr int AddContent = 1100;
inline constexpr int AddToLabel = 1103; // "到发送区"
inline constexpr int AddCount = 1099;
inline constexpr int AddTimesLabel = 1104; // "次"
inline constexpr int AddButton = 1098;
inline constexpr int RecentLabel = 1101; // "最近打开的文件："
inline constexpr int RecentFiles = 1095;
inline constexpr int Reload = 1011;

// --- data queue panel (hidden until it is laid out)
inline constexpr int QueueToggle = 1090;      // "隐藏"
inline constexpr int QueueGroup = 1092;       // "数据队列"
inline constexpr int QueueFooterGroup = 1093; // around the queue choice and its buttons
inline constexpr int QueueNumberHead = 1122;  // "编号"
inline constexpr int QueueContentHead = 1123; // "内容"
inline constexpr int QueueHexHead = 1124;     // "HEX"
inline constexpr int QueueChoiceLabel = 1105; // "选择要操作的队列："
inline constexpr int QueueChoice = 1078;
inline constexpr int QueueClear = 1079;
inline constexpr int QueueAppend = 1080;  // "添加到发送区"
inline constexpr int QueueReplace = 1081; // "替换到发送区"

// One row of the queue panel: number label, HEX check box, entry edit,
// "发送" button and "—>" button.
struct QueueRow {
    int label;
    int hex;
    int entry;
    int send;
    int copy;
};
inline constexpr std::array<QueueRow, 10> QueueRows{{
    {1112, 1027, 1037, 1040, 1041},
    {1113, 1028, 1038, 1042, 1043},
    {1114, 1029, 1039, 1044, 1045},
    {1115, 1030, 1046, 1047, 1048},
    {1116, 1031, 1049, 1050, 1051},
    {1117, 1032, 1052, 1053, 1054},
    {1118, 1033, 1055, 1056, 1057},
    {1119, 1034, 1058, 1059, 1060},
    {1120, 1035, 1061, 1062, 1063},
    {1121, 1036, 1064, 1065, 1066},
}};

namespace detail {
template <int QueueRow::*Column> constexpr std::array<int, 10> queueColumn() {
    std::array<int, 10> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = QueueRows[i].*Column;
    return out;
}
} // namespace detail

inline constexpr std::array<int, 10> EntryEdits = detail::queueColumn<&QueueRow::entry>();
inline constexpr std::array<int, 10> EntryHexBoxes = detail::queueColumn<&QueueRow::hex>();
inline constexpr std::array<int, 10> EntrySendButtons = detail::queueColumn<&QueueRow::send>();
inline constexpr std::array<int, 10> EntryCopyButtons = detail::queueColumn<&QueueRow::copy>();

// --- receive area
inline constexpr int ReceiveArea = 1006;
inline constexpr int HexDisplay = 1007;
inline constexpr int ClearReceive = 1009;
inline constexpr int SaveReceive = 1026;

// --- quick tests (disabled until a link is open)
inline constexpr int PrintFile = 1135;
inline constexpr int CashDrawer = 1137;
inline constexpr int Sample58 = 1138;
inline constexpr int Sample80 = 1139;
inline constexpr int BarcodeTypeLabel = 1143;
inline constexpr int BarcodeType = 1140;
inline constexpr int BarcodeContentLabel = 1144;
inline constexpr int BarcodeContent = 1141;
inline constexpr int PrintBarcode = 1142;
inline constexpr std::array<int, 9> QuickTests{PrintFile,    CashDrawer,       Sample58,
                                               Sample80,     BarcodeType,      BarcodeContent,
                                               PrintBarcode, BarcodeTypeLabel, BarcodeContentLabel};

// --- connection (group box "连接设置")
inline constexpr int PortCombo = 1019;
inline constexpr int BaudLabel = 1082;
inline constexpr int BaudCombo = 1020;
inline constexpr int ParityLabel = 1083;
inline constexpr int ParityCombo = 1021;
inline constexpr int DataBitsLabel = 1084;
inline constexpr int DataBitsCombo = 1022;
inline constexpr int StopBitsLabel = 1085;
inline constexpr int StopBitsCombo = 1023;
inline constexpr int FlowLabel = 1089;
inline constexpr int FlowCombo = 1088;
inline constexpr int IpLabel = 1132;
inline constexpr int IpAddress = 1131;
inline constexpr int TcpPortLabel = 1133;
inline constexpr int TcpPort = 1134;
inline constexpr int LinkOpenImage = 1086;
inline constexpr int NoLinkImage = 1087;
inline constexpr int SendFrame1 = 1106;
inline constexpr int SendFrame2 = 1107;
inline constexpr int SendFrame3 = 1108;
inline constexpr int ConnectButton = 1005;

// The serial settings, labels first, in the order showSerialSettings shows them.
inline constexpr std::array<int, 10> SerialGroup{
    BaudLabel, ParityLabel,   DataBitsLabel, StopBitsLabel, FlowLabel,
    BaudCombo, DataBitsCombo, ParityCombo,   StopBitsCombo, FlowCombo};
// The five serial combo boxes.
inline constexpr std::array<int, 5> SerialCombos{BaudCombo, ParityCombo, DataBitsCombo,
                                                 StopBitsCombo, FlowCombo};
inline constexpr std::array<int, 4> NetworkGroup{IpLabel, TcpPortLabel, TcpPort, IpAddress};
// The frames of the sending animation, all at the status image's place.
inline constexpr std::array<int, 3> SendFrames{SendFrame1, SendFrame2, SendFrame3};

// --- send parameters (group box "发送参数设置")
inline constexpr int TimedSend = 1068;
inline constexpr int Count = 1069;
inline constexpr int CountLabel = 1074; // "次，间隔"
inline constexpr int Interval = 1070;
inline constexpr int IntervalLabel = 1075; // "ms"
inline constexpr int Numbering = 1071;
inline constexpr int StartNumberLabel = 1076; // "开始编号："
inline constexpr int StartNumber = 1073;
inline constexpr int Sheets = 1128;
inline constexpr int SheetsLabel = 1129; // "张/次"
inline constexpr int AutoCut = 1017;
inline constexpr int NoCommandMode = 1077;
inline constexpr int SendButton = 1003;

// Enabled while "定时发送" is checked; the numbering pair also needs "添加编号".
inline constexpr std::array<int, 7> TimedSendGroup{Count,     CountLabel,  Interval, IntervalLabel,
                                                   Numbering, SheetsLabel, Sheets};
inline constexpr std::array<int, 2> NumberingGroup{StartNumberLabel, StartNumber};

// --- the About box (dialog 100)
inline constexpr int AboutLink = 1111;

// --- the cut-command dialog (dialog 171); IDOK is "确定", IDCANCEL "取消"
inline constexpr int Cancel = 2;
inline constexpr int CutCommandNow = 1127; // the command in force
inline constexpr int CutCommandNew = 1126; // the command typed

} // namespace ids

// Commands of menu 130, and the window's own About entry.
namespace menu {
inline constexpr int Open = 57601;
inline constexpr int SaveSendArea = 32772;
inline constexpr int SaveReceiveArea = 32773;
inline constexpr int ResetSettings = 32787;
inline constexpr int SaveDefaults = 32785;
inline constexpr int LoadDefaults = 32788;
inline constexpr int SaveToFile = 32784;
inline constexpr int LoadFromFile = 32786;
inline constexpr int CutCommand = 32783;
inline constexpr int HexSend = 32778;
inline constexpr int HexDisplay = 32776;
inline constexpr int ClearSendArea = 32779;
inline constexpr int ClearReceiveArea = 32780;
inline constexpr int Send = 32781;
inline constexpr int About = 32782;

// The window menu's "关于 (&A)..." (a system command; its low four bits are free).
inline constexpr int SysAbout = 16;
} // namespace menu

namespace timers {
inline constexpr int Send = 1;        // the next copy of a timed run
inline constexpr int ReceivePoll = 2; // every 500 ms while connected
inline constexpr int Animation = 3;   // busy animation, 300 ms
inline constexpr int ReceivePollMs = 500;
} // namespace timers
