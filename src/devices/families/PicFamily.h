#pragma once
// The PIC microcontrollers of the device menu ("PIC xxxxx").

#include <cstdint>
#include <string>

#include "devices/SelectionTable.h"

namespace tavrin {

void M12C_Click(Context& ctx, int32_t tag, const std::string& caption);
const FamilyTable& PicFamily();

}  // namespace tavrin
