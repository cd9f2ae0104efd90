#pragma once

// The console's port list: 18 items, the port number being the item index
// plus one. The kind of a link follows from the port number alone.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

enum class PortKind { Serial, Parallel, Usb, Network };

namespace portlist {

inline constexpr std::int32_t PortCount = 18;
inline constexpr std::int32_t FirstCom = 1;
inline constexpr std::int32_t LastCom = 14;
inline constexpr std::int32_t Lpt1 = 15;
inline constexpr std::int32_t Lpt2 = 16;
inline constexpr std::int32_t Usb = 17;
inline constexpr std::int32_t Ethernet = 18;

// "COM1".."COM14", "LPT1", "LPT2", "USB", "ETHERNET", in combo order.
[[nodiscard]] std::span<const char* const> itemTexts();

// nullopt for a number outside 1..18: no port chosen.
[[nodiscard]] std::optional<PortKind> kindOf(std::int32_t port);

// The combo item of the port (port - 1), -1 when no port is chosen.
[[nodiscard]] int comboIndex(std::int32_t port);

// The name looked up in the port map: "COM%d" or "LPT1"/"LPT2"; empty for
// USB (searched), ETHERNET (no device) and numbers outside the list.
[[nodiscard]] std::string deviceName(std::int32_t port);

} // namespace portlist
