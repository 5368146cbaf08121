#pragma once
// The SPI bus of the 25Cxxx EEPROMs on the data register: SCK on D1, SI on D0 sent inverted, SO
// read back on status bit 7 (inverted), /CS low while the strobe line is asserted. Mode 0, most
// significant bit first; waits in delay units (0.8381 us).

#include <cstdint>

#include "core/SerialCommands.h"
#include "hardware/Bus.h"

namespace tavrin {

// SI set up, then one SCK pulse; the part takes SI on the rising edge.
void SpiSendBit(Bus& bus, int bit);
// One SCK pulse, sampling SO while SCK is high: 1 when SO is high.
int SpiReadBit(Bus& bus);
void SpiSendByte(Bus& bus, uint8_t b);
uint8_t SpiReadByte(Bus& bus);
// READ of the byte at `a` on a part of `size` bytes: the ninth address bit in bit 3 of the
// instruction up to 512 bytes, two address bytes up to 64 KB, three above.
uint8_t SpiReadAt(Bus& bus, const Cmd25C& cmd, int32_t size, uint32_t a);
// WRITE of one byte on the one-address-byte parts (A8 in the instruction).
void SpiWriteByteAt(Bus& bus, const Cmd25C& cmd, uint32_t a, uint8_t d);
// /CS low, then `wait`; /CS high.
void SpiSelect(Bus& bus, int32_t wait);
void SpiDeselect(Bus& bus);

}  // namespace tavrin
