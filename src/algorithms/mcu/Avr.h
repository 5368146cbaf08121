#pragma once
// AT90S AVR microcontrollers in high-voltage parallel programming mode: flash, EEPROM, signature,
// lock bits and fuse bits.

#include "core/Context.h"

namespace tavrin {

void AvrRead(Context& ctx);
// Program and verify cover the flash up to bufferLoaded, then the EEPROM image; with nothing
// loaded for the flash (bufferLoaded 0: a lone EEP file) the EEPROM alone.
void AvrProgram(Context& ctx);
void AvrVerify(Context& ctx);
void AvrBlankCheck(Context& ctx);
void AvrErase(Context& ctx);
// Signature and lock byte, shown on the Electronic ID panel.
void AvrGetId(Context& ctx);
// "Lock Bit" button: writes the lock bits of avrLockMode and reads them back.
void AvrSetLock(Context& ctx);
// "FuseBit" button: writes avrFuse and reads the part's fuse bits back.
void AvrSetFuse(Context& ctx);

// The lock byte written for lock mode 1, 2 or 3 (LB1 is bit 1, LB2 bit 2, 0 = programmed).
uint8_t AvrLockByte(int32_t mode);
// The lock mode (1..3) of a lock byte in read layout (LB1 bit 7, LB2 bit 6); 0 for LB2 alone.
int AvrLockModeOf(uint8_t lockRead);

}  // namespace tavrin
