#include "buffer/ChecksumSet.h"

#include <cctype>
#include <cstdio>

#include "buffer/Checksum.h"
#include "buffer/Sha256.h"

namespace tavrin {

namespace {

std::array<uint16_t, 256> crc16Table() {
    std::array<uint16_t, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        uint16_t crc = static_cast<uint16_t>(n << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
        table[n] = crc;
    }
    return table;
}

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

}  // namespace

uint16_t Crc16Ccitt(const uint8_t* data, size_t length) {
    static const std::array<uint16_t, 256> table = crc16Table();
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ table[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

ChecksumSet ComputeChecksums(const uint8_t* data, size_t length) {
    ChecksumSet set;
    set.sum16 = Sum16(data, length);
    uint32_t even = 0, odd = 0;  // bytes at even and at odd offsets, summed apart
    for (size_t i = 0; i + 1 < length; i += 2) {
        even += data[i];
        odd += data[i + 1];
    }
    if (length % 2) even += data[length - 1];
    // Intel: even bytes are the low halves; Motorola: the high halves.
    set.wordSumIntel = static_cast<uint16_t>(even + (odd << 8));
    set.wordSumMotorola = static_cast<uint16_t>((even << 8) + odd);
    set.crc16Ccitt = Crc16Ccitt(data, length);
    set.crc32 = Crc32(data, length);
    set.sha256 = Sha256(data, length);
    return set;
}

std::vector<ChecksumLine> ChecksumLines(const ChecksumSet& set) {
    std::string digest;
    for (uint8_t b : set.sha256) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        digest += two;
    }
    return {
        {"sum16", "16 Bit Addition", hex(set.sum16, 4)},
        {"wordSumIntel", "16-bit word sum (Intel, low byte first)", hex(set.wordSumIntel, 4)},
        {"wordSumMotorola", "16-bit word sum (Motorola, high byte first)",
         hex(set.wordSumMotorola, 4)},
        {"crc16", "CRC-16/CCITT (0x1021, init 0xFFFF)", hex(set.crc16Ccitt, 4)},
        {"crc32", "CRC-32", hex(set.crc32, 8)},
        {"sha256", "SHA-256", digest},
    };
}

std::optional<ByteRange> ParseByteRange(const std::string& text, size_t limit, std::string& error) {
    const auto number = [](const std::string& part, size_t& value) {
        std::string digits = part;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
            digits = digits.substr(2);
        if (digits.empty() || digits.size() > 8) return false;
        value = 0;
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
            const int digit = std::isdigit(static_cast<unsigned char>(c))
                                  ? c - '0'
                                  : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
            value = value * 16 + static_cast<size_t>(digit);
        }
        return true;
    };
    const size_t cut = text.find_first_of("-+");
    size_t first = 0, second = 0;
    if (cut == std::string::npos || !number(text.substr(0, cut), first) ||
        !number(text.substr(cut + 1), second)) {
        error = "range '" + text + "' is not FIRST-LAST or FIRST+LENGTH in hex";
        return std::nullopt;
    }
    ByteRange range{first, second};
    if (text[cut] == '+') {
        if (second == 0) {
            error = "range '" + text + "' is empty";
            return std::nullopt;
        }
        range.last = first + second - 1;
    }
    if (range.last < range.first) {
        error = "range '" + text + "' ends before it starts";
        return std::nullopt;
    }
    if (range.last >= limit) {
        error = "range '" + text + "' reaches past the end of the buffer (" +
                hex(uint32_t(limit), 1) + " bytes)";
        return std::nullopt;
    }
    return range;
}

}  // namespace tavrin
