#pragma once
// Chip erase and product ID of the sector-write flash (AT29C, W29EE/W29C); their program is
// ProgramSectors.

#include "core/Context.h"

namespace tavrin {

// AA 55 80 AA 55 10, then a fixed wait of 100 x 16.8 ms; the chip is not polled.
void EraseAt29C(Context& ctx);
// Get ID for eep 9: AA 55 90, the codes at 0 and 1, AA 55 F0.
void ReadIdAt29C(Context& ctx);
// Get ID for eep 22: AA 55 80 AA 55 60, the codes at 0 and 1, AA 55 F0.
void ReadIdW29EE(Context& ctx);

}  // namespace tavrin
