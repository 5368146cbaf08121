#pragma once
// Texts of the `devices` and `info` commands.

#include <string>
#include <vector>

#include "core/Context.h"
#include "devices/Catalogue.h"

namespace tavrin::cli {

// Entries whose caption, part name or family contains `text` (case and blanks ignored), or whose
// size equals it ("32768", "32K", "0x8000"); every entry when `text` is empty.
std::vector<const DeviceEntry*> MatchDevices(const std::string& text);
std::string DevicesTable(const std::vector<const DeviceEntry*>& entries);
std::string DevicesJson(const std::vector<const DeviceEntry*>& entries);

// The selected device in the user's words: family, size, package, adapter, address lines, DIP
// switches and jumper; `verbose` adds the internal codes and timings.
std::string DeviceInfoText(const Context& ctx, const DeviceEntry& entry, bool verbose);
// All of it, codes included, as one JSON object.
std::string DeviceInfoJson(const Context& ctx, const DeviceEntry& entry);

}  // namespace tavrin::cli
