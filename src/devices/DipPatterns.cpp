#include "devices/DipPatterns.h"

#include <array>
#include <utility>

#include "devices/DisplayState.h"

namespace tavrin {

namespace {

// Jumper digit, then switches 1..12. Several pattern numbers share one setting.
constexpr std::array<std::pair<int32_t, const char*>, 30> kPatterns = {{
    {0, "4000000000000"},  {1, "4110101001000"},  {2, "4110101001000"},  {3, "4110011011000"},
    {4, "4001010111000"},  {5, "4000101001000"},  {6, "4000011011010"},  {7, "4001011000110"},
    {8, "4001011011010"},  {9, "4000000111000"},  {10, "4001011010101"}, {11, "4001011011001"},
    {12, "4001011000101"}, {13, "4011011010101"}, {14, "4001011010101"}, {16, "4011011000110"},
    {18, "4001101001000"}, {19, "5001011000110"}, {20, "4001011010101"}, {21, "3001010110101"},
    {24, "4001101000101"}, {25, "4001101001000"}, {26, "4000101001010"}, {27, "4110001011000"},
    {28, "4000011001010"}, {29, "4000011001010"}, {30, "4011011000010"}, {31, "4011011010101"},
    {32, "4011011010101"}, {33, "4001010110101"},
}};

}  // namespace

std::optional<std::string> DipPatternDigits(int32_t number) {
    for (const auto& [n, digits] : kPatterns)
        if (n == number) return std::string(digits);
    return std::nullopt;
}

std::optional<std::string> DipPatternText(int32_t number) {
    const std::optional<std::string> digits = DipPatternDigits(number);
    if (!digits) return std::nullopt;
    std::string text = " |";
    text += (*digits)[0];
    for (int k = 1; k <= kDipSwitches; ++k) {
        text += '|';
        text += (*digits)[k];
    }
    text += '|';
    return text;
}

void ShowDipPattern(Context& ctx, int32_t number) {
    ctx.profile.DIP = number;
    if (std::optional<std::string> digits = DipPatternDigits(number))
        ctx.controls.dipDigits = *digits;
    Winstat(ctx);
}

}  // namespace tavrin
