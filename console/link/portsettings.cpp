#include "console/link/portsettings.h"

#include <iterator>

using platform::CommState;

namespace {

constexpr SettingRow BaudRows[] = {
    {"300", "300,", 300},          {"600", "600,", 600},
    {"1200", "1200,", 1200},       {"2400", "2400,", 2400},
    {"4800", "4800,", 4800},       {"9600", "9600,", 9600},
    {"19200", "19200,", 19200},    {"38400", "38400,", 38400},
    {"43000", "43000,", 57600}, // the port runs at 57600 for this item
    {"56000", "56000,", 56000},    {"57600", "57600,", 57600},
    {"115200", "115200,", 115200},
};

constexpr SettingRow ParityRows[] = {
    {"NONE", "N,", CommState::NoParity},
    {"Odd", "O,", CommState::OddParity},
    {"Even", "E,", CommState::EvenParity},
};

constexpr SettingRow DataBitsRows[] = {
    {"5", "5,", 5},
    {"6", "6,", 6},
    {"7", "7,", 7},
    {"8", "8,", 8},
};

constexpr SettingRow StopBitsRows[] = {
    {"1", "1", CommState::OneStopBit},
    {"1.5", "1.5", CommState::One5StopBits},
    {"2", "2", CommState::TwoStopBits},
};

enum FlowRow : std::uint32_t { FlowNone, FlowCtsRts, FlowDsrDtr, FlowXonXoff };

constexpr SettingRow FlowControlRows[] = {
    {"NONE", "NONE\n", FlowNone},
    {"CtsRts", "CtsRts\n", FlowCtsRts},
    {"DsrDtr", "DsrDtr\n", FlowDsrDtr},
    {"XonXoff", "XonXoff\n", FlowXonXoff},
};

// Each row sets the lines it names and leaves the others as the port reports them.
void applyFlowRow(std::uint32_t row, CommState& state) {
    switch (row) {
    case FlowNone:
        state.outxCtsFlow = false;
        state.outxDsrFlow = false;
        state.outX = false;
        state.inX = false;
        break;
    case FlowCtsRts:
        state.outxCtsFlow = true;
        state.rtsControl = CommState::ControlHandshake;
        state.outxDsrFlow = false;
        state.outX = false;
        state.inX = false;
        break;
    case FlowDsrDtr:
        state.outxDsrFlow = true;
        state.dtrControl = CommState::ControlHandshake;
        state.outxCtsFlow = false;
        state.outX = false;
        state.inX = false;
        break;
    case FlowXonXoff:
        state.outX = true;
        state.inX = true;
        state.outxCtsFlow = false;
        state.outxDsrFlow = false;
        state.xonChar = 0x11;
        state.xoffChar = 0x13;
        state.xonLim = 100;
        state.xoffLim = 100;
        break;
    default:
        break;
    }
}

} // namespace

std::span<const SettingRow> settingRows(SerialSetting which) {
    switch (which) {
    case SerialSetting::Baud:
        return BaudRows;
    case SerialSetting::Parity:
        return ParityRows;
    case SerialSetting::DataBits:
        return DataBitsRows;
    case SerialSetting::StopBits:
        return StopBitsRows;
    case SerialSetting::FlowControl:
        return FlowControlRows;
    }
    return {};
}

int settingIndex(SerialSetting which, std::string_view setting) {
    const auto rows = settingRows(which);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (setting == rows[i].setting)
            return static_cast<int>(i);
    }
    return -1;
}

std::string& settingField(PortSettings& settings, SerialSetting which) {
    switch (which) {
    case SerialSetting::Baud:
        return settings.boad;
    case SerialSetting::Parity:
        return settings.check;
    case SerialSetting::DataBits:
        return settings.data;
    case SerialSetting::StopBits:
        return settings.stop;
    case SerialSetting::FlowControl:
        break;
    }
    return settings.control;
}

const std::string& settingField(const PortSettings& settings, SerialSetting which) {
    return settingField(const_cast<PortSettings&>(settings), which);
}

bool storeSetting(PortSettings& settings, SerialSetting which, int index) {
    const auto rows = settingRows(which);
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size())
        return false;
    settingField(settings, which) = rows[static_cast<std::size_t>(index)].setting;
    return true;
}

SettingIndexes settingIndexes(const PortSettings& settings) {
    return {settingIndex(SerialSetting::Baud, settings.boad),
            settingIndex(SerialSetting::Parity, settings.check),
            settingIndex(SerialSetting::DataBits, settings.data),
            settingIndex(SerialSetting::StopBits, settings.stop),
            settingIndex(SerialSetting::FlowControl, settings.control)};
}

SettingIndexes applyPortSettings(const PortSettings& settings, CommState& state) {
    const SettingIndexes indexes = settingIndexes(settings);
    const auto value = [](SerialSetting which, int index) {
        return settingRows(which)[static_cast<std::size_t>(index)].value;
    };
    if (indexes.boad >= 0)
        state.baudRate = value(SerialSetting::Baud, indexes.boad);
    if (indexes.data >= 0)
        state.byteSize = static_cast<std::uint8_t>(value(SerialSetting::DataBits, indexes.data));
    if (indexes.check >= 0)
        state.parity = static_cast<CommState::Parity>(value(SerialSetting::Parity, indexes.check));
    if (indexes.stop >= 0)
        state.stopBits =
            static_cast<CommState::StopBits>(value(SerialSetting::StopBits, indexes.stop));
    state.binary = true;
    state.parityCheck = true; // whatever the parity
    if (indexes.control >= 0)
        applyFlowRow(value(SerialSetting::FlowControl, indexes.control), state);
    return indexes;
}
