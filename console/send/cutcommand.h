#pragma once

// The paper cut the console sends after a send when "自动切纸" is on, as hex
// text (GS V 66 17: feed to the cutter and cut). The cut-command dialog
// changes it and the settings keep it.

#include <string_view>

inline constexpr std::string_view DefaultCutCommand = "1d 56 42 11";
