#pragma once
// The three-wire bus of the 93Cxx EEPROMs on the data register: SK on D1, DI on D0 sent
// inverted, DO read back on status bit 7 (inverted), CS high while the strobe line is released.
// Bits go most significant first; waits in delay units (0.8381 us).

#include <cstdint>

#include "core/SerialCommands.h"
#include "hardware/Bus.h"

namespace tavrin {

// The device takes DI on the rising SK edge.
void Mw93SendBit(Bus& bus, int bit);
// One SK clock, sampling DO while SK is high: 1 when DO is high.
int Mw93ReadBit(Bus& bus);
// The commandBits low bits of `value`.
void Mw93SendCommand(Bus& bus, const Cmd93C& cmd, uint32_t value);
void Mw93SendByte(Bus& bus, uint8_t b);
uint8_t Mw93ReadByte(Bus& bus);
// DI low, SK low, CS low, then Vcc.
void Mw93PowerUp(Bus& bus);
// CS high / low.
void Mw93Select(Bus& bus);
void Mw93Deselect(Bus& bus);
// DO as the status bit shows it now: true when high (ready after a write cycle).
bool Mw93DataOutHigh(Bus& bus);

}  // namespace tavrin
