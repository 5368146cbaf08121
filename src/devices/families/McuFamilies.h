#pragma once
// The selection handlers of the microcontroller families and their tables.

#include <cstdint>
#include <string>

#include "devices/SelectionTable.h"

namespace tavrin {

void muMCS51_Click(Context& ctx, int32_t tag, const std::string& caption);
void AT89Cx051_Click(Context& ctx, int32_t tag, const std::string& caption);
void D8748_Click(Context& ctx, int32_t tag, const std::string& caption);

const FamilyTable& Mcs51Family();
const FamilyTable& At89Cx051Family();
const FamilyTable& Mcs48Family();

// The supply note shown when an MCS-48 part is chosen.
extern const char* const kMcs48VoltageNote;

}  // namespace tavrin
