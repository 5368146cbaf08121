#pragma once
// SST28SF040A and LE28F4001: flash with a software data protection lifted by seven read cycles,
// byte program 10h, chip erase 30h 30h and sector erase 20h D0h of 256-byte sectors.

#include <array>
#include <cstdint>

#include "core/Context.h"

namespace tavrin {

// The read cycles that lift the software data protection, in this order.
inline constexpr std::array<uint32_t, 7> SstUnprotectAddresses{0x1823, 0x1820, 0x1822, 0x0418,
                                                               0x041B, 0x0419, 0x041A};

// The seven reads: each address shifted in with the outputs enabled, then /OE released after
// `wait` units, which ends the read cycle at that address.
void UnprotectSst(Context& ctx, int32_t wait);
// Image index i goes to device address Offset + i (0xFF skipped with Skip 0xFF), up to eleven
// rounds per byte with growing strobe and wait; then the common verify.
void ProgramSst28SF(Context& ctx);
// Chip erase (SST28SF040A).
void EraseSst28SF(Context& ctx);
// Every 256-byte sector in turn (LE28F4001).
void SectorEraseLe28F(Context& ctx);

// Maker and device code after 90h (which the part takes while protected too).
void ReadIdSst28SF(Context& ctx);

}  // namespace tavrin
