#pragma once
// Every checksum a user compares a chip or an image against, over one range of bytes: the sums
// that EPROM labels and data sheets quote, the CRCs of the common tools and a SHA-256 digest.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

struct ChecksumSet {
    uint16_t sum16 = 0;            // bytes added, modulo 65,536
    uint16_t wordSumIntel = 0;     // 16-bit words, low byte first, added modulo 65,536
    uint16_t wordSumMotorola = 0;  // 16-bit words, high byte first
    uint16_t crc16Ccitt = 0;       // poly 0x1021, init 0xFFFF, not reflected, no final XOR
    uint32_t crc32 = 0;            // IEEE 802.3 / zlib
    std::array<uint8_t, 32> sha256{};
};

// All checksums of data[0 .. length - 1]. An odd length adds the last byte as a word whose other
// byte is 0 (the low byte for Intel order, the high byte for Motorola order).
ChecksumSet ComputeChecksums(const uint8_t* data, size_t length);

uint16_t Crc16Ccitt(const uint8_t* data, size_t length);

struct ChecksumLine {
    const char* key;    // short name for data output: "sum16", "crc32", ...
    const char* label;  // caption for people: "CRC-32"
    std::string value;  // "0x1234", hex digits upper case; SHA-256 as 64 lower-case digits
};
// The set in display order.
std::vector<ChecksumLine> ChecksumLines(const ChecksumSet& set);

// A byte range of the buffer, first .. last inclusive.
struct ByteRange {
    size_t first = 0;
    size_t last = 0;
    size_t length() const { return last - first + 1; }
};
// Parses "FIRST-LAST" (inclusive) or "FIRST+LENGTH", hexadecimal with or without "0x".
// nullopt with `error` set when the text is malformed, empty or reaches past `limit` bytes.
std::optional<ByteRange> ParseByteRange(const std::string& text, size_t limit, std::string& error);

}  // namespace tavrin
