#pragma once
// The selection handlers of the serial EEPROM families and their tables.

#include <cstdint>
#include <string>

#include "devices/SelectionTable.h"

namespace tavrin {

void M24C_Click(Context& ctx, int32_t tag, const std::string& caption);
void M93C_Click(Context& ctx, int32_t tag, const std::string& caption);
void M25C_Click(Context& ctx, int32_t tag, const std::string& caption);

const FamilyTable& Eeprom24CFamily();
const FamilyTable& Eeprom93CFamily();
const FamilyTable& Eeprom25CFamily();

}  // namespace tavrin
