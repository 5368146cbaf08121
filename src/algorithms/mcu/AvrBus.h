#pragma once
// The bus steps of AVR high-voltage parallel programming. The address register carries the mode
// pins (XA0 on stage 7, BS on stage 8, XA1 on stage 9) and steers the strobe to XTAL1, /WR or /OE;
// RESET is the programming voltage; the eight data pins are wired through a fixed permutation.

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

// The data-port byte that puts `value` on the chip's data pins, and back.
uint8_t AvrDataOut(uint8_t value);
uint8_t AvrDataIn(uint8_t port);

// Power, the control record reset, RESET to 12 V with BS low.
void AvrEnterProgramming(Context& ctx);
// One XTAL1 pulse latching `value` as command, address or data byte (chosen by `sel`).
void AvrLoad(Context& ctx, uint32_t sel, uint8_t value);
// A /WR pulse of writePulse units with BS = `bytesel`.
void AvrWritePulse(Context& ctx, uint32_t bytesel);
// /OE low with BS = `bytesel`; the byte on the data pins.
uint8_t AvrReadByte(Context& ctx, uint32_t bytesel);

void AvrChipErase(Context& ctx);
// Writes dataLow/dataHigh of the control record to flash word `w`.
void AvrWriteFlashWord(Context& ctx, uint32_t w);
// Writes dataLow to EEPROM address `a`. Both address bytes are loaded: the address latches keep
// their value across commands, so a part with 512 bytes would otherwise take A8 from the last
// flash word addressed.
void AvrWriteEepromByte(Context& ctx, uint32_t a);
// Reads flash word `w` into dataLow/dataHigh.
void AvrReadFlashWord(Context& ctx, uint32_t w);
// Reads EEPROM address `a` into dataLow (both address bytes loaded, as for the write).
void AvrReadEepromByte(Context& ctx, uint32_t a);
// Fuse write with a /WR pulse of fusePulse units: the fuse cells need tWLWH_PFB (1.0-1.8 ms).
void AvrWriteFuse(Context& ctx, uint8_t value);
void AvrWriteLock(Context& ctx, uint8_t value);
void AvrReadSignature(Context& ctx);
// Lock byte as the parts with one fuse/lock byte give it (BS high): LB1 bit 7, LB2 bit 6, fuses
// SPIEN bit 5 and FSTRT/RCEN bit 0. Parts that read their lock bits apart (LB1 bit 1, LB2 bit 2)
// get them moved to bits 7 and 6 and their fuse bits below, so every part shows the same layout.
void AvrReadLock(Context& ctx);
// The fuse bits in write layout (bit n of the fuse byte as AvrWriteFuse takes it) into fuseRead.
void AvrReadFuse(Context& ctx);

}  // namespace tavrin
