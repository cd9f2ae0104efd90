#pragma once

// The console's connection settings. The five serial settings are held as
// setting strings, exactly as the settings file stores them ("38400,", "N,",
// "8,", "1", "NONE\n"); the tables below give each string's combo item and
// what it sets in the port's control block.

#include "platform/serialport.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct PortSettings {
    std::int32_t port = 1; // COM1; see portkind.h
    std::string boad = "38400,";
    std::string check = "N,";
    std::string data = "8,";
    std::string stop = "1";
    std::string control = "NONE\n";
    // Network link only; not saved.
    std::string ipAddress;
    std::int32_t tcpPort = 0;

    bool operator==(const PortSettings&) const = default;
};

// The five serial settings, in the order the connect applies them.
enum class SerialSetting { Baud, Parity, DataBits, StopBits, FlowControl };

// One combo item: its text, the setting string stored for it, and the value
// it puts in the control block (baud rate, parity, byte size, stop bits; the
// row number for flow control, whose changes are applied by applyPortSettings).
struct SettingRow {
    const char* itemText;
    const char* setting;
    std::uint32_t value;
};

[[nodiscard]] std::span<const SettingRow> settingRows(SerialSetting which);

// The combo index of a setting string, -1 when it matches no row.
[[nodiscard]] int settingIndex(SerialSetting which, std::string_view setting);

// The field that holds the setting.
[[nodiscard]] std::string& settingField(PortSettings& settings, SerialSetting which);
[[nodiscard]] const std::string& settingField(const PortSettings& settings, SerialSetting which);

// Stores the setting string of a combo index; an index outside the table
// stores nothing and returns false.
bool storeSetting(PortSettings& settings, SerialSetting which, int index);

// The combo item to select for each setting, -1 where the string matches no row.
struct SettingIndexes {
    int boad = -1;
    int check = -1;
    int data = -1;
    int stop = -1;
    int control = -1;

    bool operator==(const SettingIndexes&) const = default;
};

[[nodiscard]] SettingIndexes settingIndexes(const PortSettings& settings);

// Puts the settings into a control block read from the port, as the connect
// does: baud, data bits, parity and stop bits from their rows, binary mode
// and parity checking on, then the flow-control row. A string that matches
// no row changes nothing. Returns the combo item of each setting.
SettingIndexes applyPortSettings(const PortSettings& settings, platform::CommState& state);

// The serial time-outs of every open (milliseconds).
namespace serialtimeouts {
inline constexpr std::int64_t ReadInterval = 2000;
inline constexpr std::int64_t ReadTotalMultiplier = 1000;
inline constexpr std::int64_t ReadTotalConstant = 5000;
inline constexpr std::int64_t WriteTotalMultiplier = 1000;
inline constexpr std::int64_t WriteTotalConstant = 5000;

// How long a write of n bytes may take: 5000 + 1000 × n ms.
[[nodiscard]] constexpr std::chrono::milliseconds writeTotal(std::int64_t n) {
    return std::chrono::milliseconds(WriteTotalConstant + WriteTotalMultiplier * (n < 0 ? 0 : n));
}
} // namespace serialtimeouts
