#pragma once
// Differential writes for the EEPROM families that write a byte, word or page at a time without
// erasing first (28C, AT28C, DS12xx, 24C, 25C, 93C): the chip is read first and only the units
// whose contents differ from the image are written. The family's own program routine does the
// writing (it skips the units the plan leaves out) and its own verify checks the whole image.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"
#include "core/WritePlan.h"

namespace tavrin {

// Bytes per write unit of the selected device when its family offers differential writes: the
// page of a page-write part, the word of a 16-bit Microwire part, else 1. 0 when not offered.
uint32_t DiffWriteUnit(const DeviceProfile& p);
inline bool DiffWriteOffered(const DeviceProfile& p) {
    return DiffWriteUnit(p) != 0;
}
// The families that have it, for messages: "28C, AT28C, DS12xx, 24C, 25C and 93C EEPROMs".
std::string DiffWriteFamiliesText();

// The units of `count` image bytes from index 0 (units aligned to multiples of `unit`) in which
// `chip` and `image` differ.
WritePlan PlanWrites(const uint8_t* chip, const uint8_t* image, int64_t count, uint32_t unit);

struct PlanSummary {
    uint64_t units = 0;         // units covering the image
    uint64_t unitsToWrite = 0;  // units that differ
    uint64_t bytesToWrite = 0;  // bytes in the units that differ
};
PlanSummary Summarise(const WritePlan& plan, int64_t count);

// Program with a differential write: reads the chip with the family's read routine (its progress
// shown, its status texts other than errors kept back), plans, then runs the family's program
// routine with the plan. A failed or cancelled read writes nothing. The socket ends unpowered.
void ProgramDifferential(Context& ctx);

}  // namespace tavrin
