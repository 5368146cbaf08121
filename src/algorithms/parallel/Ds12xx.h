#pragma once
// DS12xx non-volatile SRAM modules: written byte by byte like a memory and checked.

#include "core/Context.h"

namespace tavrin {

// Program for eep 20: image index i to device address Offset + i (always through SwapAddress),
// 0xFF bytes included, each read back and written again up to ten times.
void ProgramDs12xx(Context& ctx);

}  // namespace tavrin
