#pragma once
// The block-protection controls of the 25Cxxx family ("SPI (25Cxxx) setting"): the list
// cb25CxxxBP ("Block Write Protect") and the box cbWPEN25C ("WPEN "), and the spiStatus byte they
// compose. Both front ends show them from OptionControls.

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

// Refills the list for the selected size ("None", upper quarter, upper half, whole array, as
// address ranges), selects "None", shows the WPEN box (unchecked) only for Tags above 200 and
// clears spiStatus. Runs with change events suppressed: nothing else follows from it.
void FillSpiProtection(Context& ctx, int32_t tag);

// cb25CxxxBPChange: the list item (0..3) and the WPEN box give spiStatus (bits 3..2 BP1..BP0,
// bit 7 WPEN). An item outside the list is ignored.
void cb25CxxxBPChange(Context& ctx, int item, bool wpen);

}  // namespace tavrin
