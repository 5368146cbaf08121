#pragma once
// Hex digit pairs as the record formats use them: read in either case, written upper-case.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tavrin {

namespace detail {
// Value of each character as a hex digit, -1 for any other character.
struct HexDigitTable {
    int8_t value[256];
    constexpr HexDigitTable() : value() {
        for (int c = 0; c < 256; ++c)
            value[c] = c >= '0' && c <= '9'   ? int8_t(c - '0')
                       : c >= 'A' && c <= 'F' ? int8_t(c - 'A' + 10)
                       : c >= 'a' && c <= 'f' ? int8_t(c - 'a' + 10)
                                              : int8_t(-1);
    }
};
inline constexpr HexDigitTable kHexDigits;

// Value of each pair of characters as a hex byte, -1 for a pair that is not two hex digits: one
// lookup a byte instead of two. Indexed by the pair as one 16-bit load reads it, so that no byte
// swap is needed. Only the rows of the 22 digit characters are ever hot.
struct HexPairTable {
    int16_t value[65536];
    constexpr HexPairTable() : value() {
        const HexDigitTable digits;
        for (int pair = 0; pair < 65536; ++pair) {
            const bool little = std::endian::native == std::endian::little;
            const int first = little ? pair & 0xFF : pair >> 8;
            const int second = little ? pair >> 8 : pair & 0xFF;
            const int high = digits.value[first], low = digits.value[second];
            value[pair] = int16_t(high < 0 || low < 0 ? -1 : high * 16 + low);
        }
    }
};
inline constexpr HexPairTable kHexPairs;

// The two upper-case digits of each byte, written with one store.
struct HexTextTable {
    char pair[256][2];
    constexpr HexTextTable() : pair() {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) pair[b][0] = digits[b >> 4], pair[b][1] = digits[b & 15];
    }
};
inline constexpr HexTextTable kHexText;
}  // namespace detail

inline int HexDigitValue(char c) {
    return detail::kHexDigits.value[static_cast<uint8_t>(c)];
}

// The byte spelt by the two characters at `at`, which the caller knows are there; -1 when one is
// not a hex digit. A negative result survives OR-ing, so a loop can check once at its end.
inline int HexPairAt(const char* at) {
    uint16_t pair;
    std::memcpy(&pair, at, 2);
    return detail::kHexPairs.value[pair];
}

// Writes the two upper-case digits of `value` at `at` and returns the place after them.
inline char* PutHexByte(char* at, uint8_t value) {
    std::memcpy(at, detail::kHexText.pair[value], 2);
    return at + 2;
}

// The byte spelt by the two characters at pos; false when the text ends first or a character is
// not a hex digit.
inline bool ReadHexByte(std::string_view text, size_t pos, uint8_t& value) {
    if (pos > text.size() || text.size() - pos < 2) return false;
    const int pair = HexPairAt(text.data() + pos);
    if (pair < 0) return false;
    value = static_cast<uint8_t>(pair);
    return true;
}

}  // namespace tavrin
