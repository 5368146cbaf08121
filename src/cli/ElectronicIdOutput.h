#pragma once
// The Electronic ID panel as `tavrin id` prints it: one field a line, or one JSON object.

#include <iosfwd>
#include <nlohmann/json.hpp>

#include "core/FrontEnd.h"

namespace tavrin::cli {

// The fields as JSON (names without their leading blank).
nlohmann::ordered_json ElectronicIdJson(const ElectronicIdView& id);
void PrintElectronicId(const ElectronicIdView& id, bool json, std::ostream& out);

}  // namespace tavrin::cli
