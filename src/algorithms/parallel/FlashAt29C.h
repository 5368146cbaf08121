#pragma once
// Chip erase of the sector-write flash (AT29C, W29EE/W29C); their program is ProgramSectors.

#include "core/Context.h"

namespace tavrin {

// AA 55 80 AA 55 10, then a fixed wait of 100 x 16.8 ms; the chip is not polled.
void EraseAt29C(Context& ctx);

}  // namespace tavrin
