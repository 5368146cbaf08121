#pragma once
// The DIP-switch patterns: jumper position and the twelve switch settings for each pattern number.

#include <cstdint>
#include <optional>
#include <string>

#include "core/Context.h"

namespace tavrin {

inline constexpr int kDipSwitches = 12;

// The jumper digit ('3', '4' or '5') followed by the digits of switches 1 to 12 ('1' = on), or
// nothing for numbers without a pattern (15, 17, 22, 23, above 33, negative).
std::optional<std::string> DipPatternDigits(int32_t number);

// The pattern as the board's 28-character text: " |J|s1|s2|...|s12|".
std::optional<std::string> DipPatternText(int32_t number);

// The pattern display: DIP := number, the pattern's digits replace the ones on show (a number
// without a pattern keeps the previous picture), then the window refresh.
void ShowDipPattern(Context& ctx, int32_t number);

}  // namespace tavrin
