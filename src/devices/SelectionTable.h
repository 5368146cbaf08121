#pragma once
// The building blocks of the device tables: what one Tag of a handler selects, the family's own
// steps around it, and the menu entries that lead to it. A family file holds one of each; adding a
// part is adding a row (and a menu entry when the part shows in the menu).

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

inline constexpr int32_t K = 1024;

// Flags of a row; in the tables Vpp means keepVpp and Pgm means epr64.
enum RowFlag : uint32_t {
    Vpp = 1u << 0,
    Pgm = 1u << 1,
    Swap = 1u << 2,
    Pin28 = 1u << 3,
    Pin30 = 1u << 4,
    ProtectEnabled = 1u << 5,  // "Temporary Sector Unprotect" may be used with this part
};

// What one Tag of a handler selects. Zero in tWP, tWC, ssize and -1 in shiftAdr, eep mean "the
// family's value".
struct DeviceRow {
    int32_t tag = 0;
    int32_t size = 0;  // bytes
    int32_t package = 0;
    int32_t dip = 0;
    uint32_t flags = 0;
    int32_t tWP = 0;
    int32_t tWC = 0;
    int32_t shiftAdr = -1;  // set and fixed: not derived from the size
    int32_t ssize = 0;
    int32_t eep = -1;
};

// A selection handler as the menu and the settings replay call it.
using HandlerFn = void (*)(Context& ctx, int32_t tag, const std::string& caption);

// The steps of a table-driven handler around its row. `before` runs right after ResetProfile,
// `after` after the row's values and may change the pattern number to show.
struct TableHandler {
    std::vector<DeviceRow> rows;
    void (*before)(Context& ctx, int32_t tag) = nullptr;
    void (*after)(Context& ctx, int32_t tag, int32_t& dip) = nullptr;
};

// The common selection sequence: DeviceID and edDevice, ResetProfile, the family's steps and the
// row of `tag`, UpdateShift, the DIP-pattern display. Tag 0 keeps the previous device; a Tag
// without a row keeps the size and shows pattern 0.
void RunTableSelection(Context& ctx, const TableHandler& table, int32_t tag,
                       const std::string& caption);
const DeviceRow* FindRow(const TableHandler& table, int32_t tag);

// One menu entry of a family: where it sits, what it shows and the Tag it passes.
struct MenuEntrySpec {
    std::vector<std::string> path;  // submenu captions from the top of the device menu
    std::string caption;
    int32_t tag = 0;
    bool enabled = true;
    bool selectable = true;  // false: present but does nothing when chosen
    // Part names the entry also answers to where its caption spells the part otherwise.
    std::vector<std::string> alsoKnownAs = {};
};

// A family as the catalogue sees it. `run` is null for lists of entries that do nothing.
struct FamilyTable {
    std::string handler;  // "M27C_Click"
    std::string family;   // short name for listings
    HandlerFn run = nullptr;
    std::vector<MenuEntrySpec> entries;
};

}  // namespace tavrin
