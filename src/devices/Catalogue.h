#pragma once
// The device menu and its selection handlers: which parts the programmer knows, where they sit in
// the menu, and what choosing one puts into the device profile.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

struct DeviceEntry {
    std::string caption;  // exactly as in the menu, e.g. "27C256", "AT29C010      (128)"
    std::vector<std::string>
        menuPath;            // submenu captions from the top of the device menu to the parent
    int32_t tag = 0;         // DeviceID
    std::string handler;     // "M27C_Click", ...; empty when choosing it does nothing
    bool enabled = true;     // shown disabled when false (entry or a parent submenu)
    bool selectable = true;  // false for do-nothing entries and caption-only rows
    int32_t eep = 0;         // what the selection sets (for listings)
    int32_t size = 0;
    std::string family;  // short family name for listings, e.g. "UV EPROM"
    std::vector<std::string> alsoKnownAs;  // part names besides the caption's, e.g. "AT89S8252"
};

// Menu tree nodes for building the popup menu (submenus, separators, leaves, in menu order).
struct MenuNode {
    enum class Kind { Submenu, Leaf, Separator } kind = Kind::Leaf;
    std::string caption;
    bool enabled = true;
    const DeviceEntry* entry = nullptr;  // leaves only
    std::vector<MenuNode> children;      // submenus only
};

const MenuNode& DeviceMenu();
// Every leaf, in menu order.
const std::vector<DeviceEntry>& DeviceCatalogue();

// Runs the entry's handler with its Tag and caption: the full selection sequence including the
// DIP-pattern display and the window refresh. Entries that are not selectable do nothing.
void SelectDevice(Context& ctx, const DeviceEntry& entry);
// Runs a handler by name as if the menu entry with `tag` had been chosen (the settings replay).
// Tag 0 keeps the previous device. False when no handler of that name is known.
bool SelectByHandler(Context& ctx, const std::string& handler, int32_t tag);

// Exact caption (case and runs of blanks ignored) or normalised part name; nullptr when unknown or
// when the name fits more than one entry.
const DeviceEntry* FindDevice(const std::string& name);
// Entries whose caption contains `text` (case and runs of blanks ignored), in menu order.
std::vector<const DeviceEntry*> FindCandidates(const std::string& text);
// The part name a caption starts with: "AT29C010      (128)" -> "AT29C010",
// "ASD  AE29F1008  (128)" -> "AE29F1008", "27C1024, 27C210" -> "27C1024".
std::string NormalisePartName(const std::string& caption);

}  // namespace tavrin
