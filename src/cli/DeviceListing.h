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
std::string JsonEscape(const std::string& text);

// The selected device: size, family, address bits, socket or adapter, DIP switches and jumper.
std::string DeviceInfoText(const Context& ctx, const DeviceEntry& entry);

}  // namespace tavrin::cli
