#pragma once

// What Ostrelle sends to the printer for the operator's steps 2 to 4: the
// parameter-effect print, the head parameter and the effect test. Each
// operation is a fixed list of writes; the writes are kept apart because the
// printer sees each one as a separate transfer on the channel.

#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace headadjust {

// One write on the output channel.
using Write = std::string;
using Writes = std::vector<Write>;

// Which channel a list of writes is meant for: the effect test ends
// differently on the two.
enum class ChannelKind { Serial, Parallel };

inline constexpr int EffectTestLineCount = 20;
inline constexpr std::size_t EffectTestLineBytes = 41;

// The largest head parameter accepted: it must fit one byte that is also a
// single character of the code page.
inline constexpr int MaxHeadParameter = 127;

// The 20 lines of the effect test in GBK, without line ends; 41 bytes each.
[[nodiscard]] const std::array<std::string, EffectTestLineCount>& EffectTestLines();

// GS ( A with pattern 4, then LF.
[[nodiscard]] Writes PrintParameterEffects();
// GS C n, then LF.
[[nodiscard]] Writes SetHeadParameter(std::uint8_t n);
// One write per line with its LF; the parallel channel gets a last lone LF.
[[nodiscard]] Writes PrintEffectTest(ChannelKind channel);

// The head parameter as typed into the n box: a whole decimal number from 0 to
// MaxHeadParameter, with an optional plus sign, blanks around it allowed.
// nullopt for anything else.
[[nodiscard]] std::optional<std::uint8_t> parseHeadParameter(QStringView text);

} // namespace headadjust
