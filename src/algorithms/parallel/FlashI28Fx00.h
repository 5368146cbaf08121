#pragma once
// Boot-block flash with a status register (i28F200/400/800 in byte mode, 28F001BX-T): byte
// program and block erase run by the chip's own state machine, polled on its status register.

#include "core/Context.h"

namespace tavrin {

// The "28F001" entry of the 28F0x0 menu: a 28F001BX, which has this family's command set (status
// register, 20h/D0h block erase, no C0h program verify) and RP# held at the Vcc level on pin 30.
constexpr int32_t k28F001Tag = 8;
bool IsBoot28F001(const DeviceProfile& p);

// Image index i goes to device address Offset + i (0xFF bytes skipped with Skip 0xFF), each byte
// polled to the end and retried after a program error; then the common verify.
void Program28Fx00(Context& ctx);
// Erases block by block: the 28F001BX-T by its own block map, the others every 8 KB.
void Erase28Fx00(Context& ctx);

// Maker code at 0 and device code after 90h, with a read-array command between the two.
void ReadId28Fx00(Context& ctx);

}  // namespace tavrin
