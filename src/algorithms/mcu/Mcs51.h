#pragma once
// The parallel-programmed 8051 family: the 40-pin parts (eep 10: AT89C5x, AT89S, 87C5x, SST89C5x)
// and the 20-pin AT89Cx051 (eep 11). One set of routines branches on the timing record's `type`.
// Mode pins ride on high bits of the address register, so every mode is a pattern shifted in with
// the address; the 20-pin part counts its own addresses and sees the data lines permuted.

#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

// Commands of the frame.
void ProgramMcs51(Context& ctx);
void VerifyMcs51(Context& ctx);
void ReadMcs51(Context& ctx);
void BlankCheckMcs51(Context& ctx);
void EraseMcs51(Context& ctx);
// Get ID: the signature's maker and device bytes through the microcontroller overlay.
void ReadIdMcs51(Context& ctx);

// The lock write step with the record's lock mode (sbLockBit's dialog, and after programming).
// False when the mode cannot be written on this part; the reason is on the status line then.
bool LockMcs51(Context& ctx);
// The dialog's "Lock": the mode the combo box shows (item 0..3) becomes the lock mode and is
// written.
bool LockDialogLock(Context& ctx, int comboIndex);
// sbRdLB: reads the lock bits where the part allows it and shows the text on the pRdLB panel.
std::string ShowLockBitsMcs51(Context& ctx);

// Steps the routines are built from.
void Mcs51PowerUp20(Context& ctx);
void Mcs51Advance(Context& ctx);
void Mcs51WriteByte(Context& ctx, uint32_t address, uint8_t value);
uint8_t Mcs51ReadByte(Context& ctx, uint32_t address);
void Mcs51LockPulse(Context& ctx, int32_t pattern);
void Mcs51WriteLock(Context& ctx, int32_t mode);
void Mcs51EraseChip(Context& ctx);
void Mcs51ReadSignature(Context& ctx);
void Mcs51ReadLockBits(Context& ctx);

// The 20-pin data-line permutation: socket bit k carries device bit w(k).
uint8_t Mcs51ToSocket20(uint8_t deviceByte);
uint8_t Mcs51FromSocket20(uint8_t socketByte);

}  // namespace tavrin
