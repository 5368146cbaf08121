#pragma once
// Every family the catalogue knows, in the order their entries join the menu.

#include <vector>

#include "devices/SelectionTable.h"

namespace tavrin {

const std::vector<const FamilyTable*>& FamilyTables();
// The family whose handler has this name, or nullptr.
const FamilyTable* FindFamilyByHandler(const std::string& handler);

}  // namespace tavrin
