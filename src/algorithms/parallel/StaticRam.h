#pragma once
// Static RAM test: two patterns written into the RAM and read back.

#include "core/Context.h"

namespace tavrin {

// Program for eep 21: 0xAA/0x55, then pseudo-random bytes; the second pattern stays in the buffer.
void TestSram(Context& ctx);
// Writes Buffer[0 .. bufferLoaded] into the RAM (each byte read back, up to five writes) and reads
// it all back (each byte up to ten reads). Sets verifyError when a cell does not hold its byte.
void WriteAndCheckSram(Context& ctx);
// One byte of the RAM at image index `index`: written with a /WE pulse (the address stays set),
// and read.
void SramWriteByte(Context& ctx, uint32_t index, uint8_t value);
uint8_t SramReadByte(Context& ctx, uint32_t index);

}  // namespace tavrin
