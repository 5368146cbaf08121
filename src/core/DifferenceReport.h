#pragma once
// The complete difference report of a chip against the image in the buffer: every differing
// address counted, the first ones listed with chip and file values, the bits that differ by
// direction, and whether the chip must be erased before it can take the image.
//
//   DifferenceReport report;
//   if (ReadAndCompare(ctx, report)) show(report);  // the read pass ran to its end
//
// The chip is read through the family's own Read command (power, progress and cancel as usual);
// the buffer and the profile hold the file's image again afterwards.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

struct Difference {
    uint32_t address = 0;  // buffer address
    uint8_t chip = 0;
    uint8_t file = 0;
};

struct DifferenceReport {
    uint64_t compared = 0;            // bytes compared
    uint64_t differing = 0;           // bytes that differ
    uint64_t bitsOneToZero = 0;       // bits 1 in the file and 0 in the chip
    uint64_t bitsZeroToOne = 0;       // bits 0 in the file and 1 in the chip
    std::vector<Difference> first;    // the first `listLimit` differences, by address
    std::vector<uint32_t> addresses;  // every differing address, ascending (the window's marks)
    // The family programs bits from 1 to 0 only and the chip holds 0 where the file wants 1.
    bool mustErase = false;
};

// The text that says so.
inline constexpr const char* kNotBlankHint =
    "the chip is not blank: it holds 0 where the file wants 1; erase it first";

// Families whose cells program from 1 to 0 only, so that a 0 where the image wants 1 needs an
// erase (UV and electrically erased EPROMs, flash, the EPROM and flash microcontrollers).
bool ProgramsOnlyOneToZero(int32_t eep);

// A run of buffer bytes the report compares; `oneToZeroOnly` where the family's rule applies.
struct CompareBlock {
    uint32_t first = 0;
    uint32_t count = 0;
    bool oneToZeroOnly = false;
};
// The areas of the selected device: the device image, or the PIC program, identifier and data
// areas, or the AVR flash and EEPROM.
std::vector<CompareBlock> CompareBlocks(const DeviceProfile& p);
// The blocks sorted by their first address, so that listed addresses come in order.
std::vector<CompareBlock> InAddressOrder(std::vector<CompareBlock> blocks);

// Compares two images over `blocks`; `listLimit` bounds `first`.
DifferenceReport CompareImages(const uint8_t* file, const uint8_t* chip,
                               const std::vector<CompareBlock>& blocks, size_t listLimit);

// Reads the chip and compares it with the buffer. False when the read did not run to its end
// (precondition, hardware error, cancel: its message shows); `report` is then empty.
bool ReadAndCompare(Context& ctx, DifferenceReport& report, size_t listLimit = 16);

// "3 bytes differ (bits 1->0: 2, 0->1: 1)" or "No differences", for status lines and terminals.
std::string DifferenceSummary(const DifferenceReport& report);

}  // namespace tavrin
