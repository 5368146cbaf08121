#pragma once
// Sector protection of the MXIC 29F040: the status of its eight 64 KB sectors, protecting one,
// and unprotecting the whole chip, with the grid that shows them.
//
// The board has no line that can put 12 V on A9 or OE#, so the routines use the command method:
// the six-cycle unlock AA 55 80 AA 55 20, then a WE# pulse at the sector address with A9 = 1 and
// A6 = 0 (protect) or at 0x240 with A6 = 1 (unprotect). Every step ends with the socket powered
// down, and every change is checked by reading the status back.

#include <array>
#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

inline constexpr int kMxicSectors = 8;
inline constexpr uint32_t kMxicSectorBytes = 0x10000;
inline constexpr const char* kMxicGridHeader = "Sec        Address        Stat";

// Status of the sector at `address` (its start + 2): 1 protected, 0 unprotected, else an error.
uint8_t ReadSectorProtect(Context& ctx, uint32_t address);
// Protects the sector at `address` (its start + 0x200).
void ProtectSector(Context& ctx, uint32_t address);
// Unprotects every sector; the part does it only when all eight are protected.
void UnprotectChip(Context& ctx);

// The grid sgMXICF29SecVfyF29 and its buttons: row 0 the header, rows 1-8 the sectors.
struct MxicSectorGrid {
    std::array<std::string, kMxicSectors + 1> rows{kMxicGridHeader};
    int selectedRow = 1;          // stands for sector selectedRow - 1
    bool buttonsEnabled = false;  // protect and unprotect wait for the first status read
};

// "S2     20000   2ffff    1": sector, start and end address, status.
std::string MxicSectorRow(int sector, uint8_t status);

// The three buttons; none runs the hardware check first.
void sbMXICF29SecStatusClick(Context& ctx, MxicSectorGrid& grid);
void sbMXICF29SecProtClick(Context& ctx, MxicSectorGrid& grid);
void sbMXICF29ChipUnprtClick(Context& ctx, MxicSectorGrid& grid);

}  // namespace tavrin
