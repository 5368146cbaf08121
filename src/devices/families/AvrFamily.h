#pragma once
// The selection handler of the AVR microcontrollers and its table.

#include <cstdint>
#include <string>

#include "devices/SelectionTable.h"

namespace tavrin {

void AVR_Click(Context& ctx, int32_t tag, const std::string& caption);
const FamilyTable& AvrFamily();

// The option handlers of pAVRsetting: a lock-mode radio button (Tag 1..3) and a fuse check box
// (Tag = bit number; checked sets the bit, which leaves that fuse unprogrammed).
void rbAVRm1Click(Context& ctx, int32_t tag);
void cbFbit0Click(Context& ctx, int32_t tag, bool checked);

}  // namespace tavrin
