#pragma once
// MCS-48/41 program memories through the "DIP32 to MCS-48" adapter. The low address byte goes out
// on the data bus, the four high address bits and the T0 mode bit through nine stages of the
// address register; the adapter derives RESET from the data-out line and the 21 V supply from the
// strobe. Erased EPROM cells read 0x00. Timing is fixed: the profile's tWP and tWC are not used.

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

inline constexpr int kMcs48Program = 0;  // T0 low
inline constexpr int kMcs48Verify = 16;  // T0 high

void ProgramMcs48(Context& ctx);
void ReadMcs48(Context& ctx);
void VerifyMcs48(Context& ctx);
void BlankCheckMcs48(Context& ctx);

// Address 0..4095 and mode kMcs48Program or kMcs48Verify.
void Mcs48SetAddress(Context& ctx, uint32_t address, int mode);

}  // namespace tavrin
