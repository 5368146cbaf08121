#pragma once
// The power-down step of the families driven bit by bit on D0 and D1 (serial EEPROMs, PIC).

#include "core/Context.h"

namespace tavrin {

// Vpp removed, D0 and D1 low, 10 ms for the part to settle, then Vcc off. Leaves the other
// lines as they are (the serial routines keep data-out mode).
void SerialPowerDown(Context& ctx);

}  // namespace tavrin
