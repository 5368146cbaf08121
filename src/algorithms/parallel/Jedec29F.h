#pragma once
// JEDEC flash (29F, 39SF, 49F, 29F00x, 29Fx00): program, chip erase and the electronic ID.
//
// Program: the unlock-and-program command before every byte, the byte, and a read-back; a byte
// that does not read back is written again, command and all, with longer pulses and waits, up to
// the family's attempt limit. Chip erase: the six-cycle command, the fixed wait, then the toggle
// bit until the embedded erase ends (bounded by the data-sheet maximum), so the socket is never
// switched off under a running erase.

#include "core/Context.h"

namespace tavrin {

void ProgramFlash29F(Context& ctx);     // eep 4, 12, 27
void ProgramFlash29F00x(Context& ctx);  // eep 23
void ProgramFlash29Fx00(Context& ctx);  // eep 15 (fast mode when fujitsuFast = 1)
void ProgramFlash29Fx00FastMode(Context& ctx);
void EraseFlash29F(Context& ctx);     // eep 4, 12, 23, 27
void EraseFlash29Fx00(Context& ctx);  // eep 15

void ReadId29F(Context& ctx);     // eep 4, 27
void ReadId49F(Context& ctx);     // eep 12, 23
void ReadId29Fx00(Context& ctx);  // eep 15

// Longest chip erase the routines wait for, in seconds: 8 s per 64 KB sector and at least the
// 64 s of a 512 KB part (Am29F040B: sector erase 8 s max, chip erase 64 s max).
double ChipEraseBoundSeconds(int32_t deviceBytes);

// Failure texts of a chip erase that did not end.
inline constexpr const char* kEraseTimedOut = "erase failed: the chip reports a time-out (DQ5)";
inline constexpr const char* kEraseStillBusy = "erase failed: the chip is still busy";

}  // namespace tavrin
