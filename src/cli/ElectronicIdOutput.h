#pragma once
// The Electronic ID panel as `tavrin id` prints it: one field a line, or one JSON object.

#include <iosfwd>

#include "core/FrontEnd.h"

namespace tavrin::cli {

void PrintElectronicId(const ElectronicIdView& id, bool json, std::ostream& out);

}  // namespace tavrin::cli
