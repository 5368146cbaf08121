#pragma once
// The buffer checksum shown in edChecksum: a 16-bit byte sum or the CRC-32 of IEEE 802.3.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

// Items of cbCheckType.
inline constexpr int32_t kCheckSum16 = 0;  // "16 Bit Addition"
inline constexpr int32_t kCheckCrc32 = 1;  // "32 Bit CRC" (any item but 0 counts as CRC)

uint16_t Sum16(const uint8_t* data, size_t length);
uint32_t Crc32(const uint8_t* data, size_t length);

// Bytes the checksum covers: 20,000 for PIC images, else the device size; never past the buffer.
size_t ChecksumLength(const Context& ctx, int32_t size);

// The text of edChecksum for bytes 0 .. length - 1: "0x%04X" of the sum or " 0x%08X" of the CRC.
std::string ChecksumText(const uint8_t* data, size_t length, int32_t checkType);
// The same over the buffer of `ctx` with its current size and checksum type.
std::string ChecksumText(const Context& ctx);

// cbCheckTypeChange: a new checksum type, shown at once.
void cbCheckTypeChange(Context& ctx, int32_t item);

}  // namespace tavrin
