#pragma once
// 24Cxxx two-wire serial EEPROMs. eep 1: one word-address byte with the block bits in the device
// address (24C01A ... 24C16; the 24C01 without suffix takes a 7-bit word address in the first
// byte), byte by byte. eep 2: two word-address bytes (24C32 ... 24C512), sequential reads and
// page writes of Ssize bytes. Offset is not used; image index i is device address i.

#include "core/Context.h"

namespace tavrin {

void Read24C8(Context& ctx);
void Verify24C8(Context& ctx);
// Each byte is written, polled until the write cycle ends, and read back.
void Program24C8(Context& ctx);

void Read24C16(Context& ctx);
void Verify24C16(Context& ctx);
// Whole pages of Ssize bytes; success only after a quiet verify of everything written.
void Program24C16(Context& ctx);

// Device address byte (write) of image index i on the one-byte-address parts: the block bits
// A10..A8 in bits 3..1.
uint8_t BlockCommand24C(uint32_t i);
// Bytes per page write of the two-byte-address parts: Ssize, at least 1.
int64_t PageSize24C(const DeviceProfile& p);

}  // namespace tavrin
