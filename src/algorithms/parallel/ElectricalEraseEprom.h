#pragma once
// Electrical erase of the W27x and SST27SF EPROMs (they read, program and verify as EPROMs).

#include "core/Context.h"

namespace tavrin {

// Erase pulse with the erase voltage on, then a full blank check; up to twenty passes.
// "Device Erase OK" when the chip reads blank, else (and on a cancel) "Device Erase False" as
// an error.
void EraseW27E(Context& ctx);

}  // namespace tavrin
