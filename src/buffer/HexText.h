#pragma once
// Hex digit pairs as the record formats use them: read in either case, written upper-case.

#include <cstdint>
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
}  // namespace detail

inline int HexDigitValue(char c) {
    return detail::kHexDigits.value[static_cast<uint8_t>(c)];
}

// The byte spelt by the two characters at pos; false when the text ends first or a character is
// not a hex digit.
inline bool ReadHexByte(std::string_view text, size_t pos, uint8_t& value) {
    if (pos > text.size() || text.size() - pos < 2) return false;
    const int high = HexDigitValue(text[pos]);
    const int low = HexDigitValue(text[pos + 1]);
    if (high < 0 || low < 0) return false;
    value = static_cast<uint8_t>(high * 16 + low);
    return true;
}

inline void AppendHexByte(std::string& out, uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back(kDigits[value >> 4]);
    out.push_back(kDigits[value & 0x0F]);
}

}  // namespace tavrin
