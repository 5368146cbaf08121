#pragma once
// The read-consistency check: the chip read several times, the image kept as the bitwise
// majority of the reads, and every byte whose reads disagree listed (bad socket contacts and weak
// cells show up as bits that change between reads).
//
//   ConsistencyReport report;
//   if (ReadConsistently(ctx, 3, report)) show(report);  // every pass ran to its end

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"
#include "core/DifferenceReport.h"

namespace tavrin {

inline constexpr int kMinReadPasses = 2;
inline constexpr int kMaxReadPasses = 31;

struct UnstableByte {
    uint32_t address = 0;       // buffer address
    uint8_t majority = 0;       // the value kept
    uint8_t flipped = 0;        // bits that did not read the same in every pass
    std::vector<uint8_t> seen;  // the value of each pass, in order
};

struct ConsistencyReport {
    int passes = 0;
    uint64_t compared = 0;            // bytes compared
    uint64_t unstable = 0;            // bytes whose passes disagree
    uint64_t unstableBits = 0;        // bits over all of them that did not read the same every time
    std::vector<UnstableByte> first;  // the first `listLimit` unstable bytes, by address
};

// Combines the reads: `majority` gets, over `blocks`, each bit as most of the reads gave it (a
// tie, possible with an even number of reads, keeps the first read's bit); bytes outside the
// blocks are left alone.
ConsistencyReport CombineReads(const std::vector<const uint8_t*>& reads,
                               const std::vector<CompareBlock>& blocks, uint8_t* majority,
                               size_t listLimit);

// The areas a read fills: the device image, the PIC program, identifier and data areas, the AVR
// flash and EEPROM.
std::vector<CompareBlock> ReadBlocks(const DeviceProfile& p);

// Reads the chip `passes` times through the family's Read command and leaves the majority image in
// the buffer. False when a pass did not run to its end (precondition, hardware error, cancel:
// its message shows); the buffer and the profile are then as they were before.
bool ReadConsistently(Context& ctx, int passes, ConsistencyReport& report, size_t listLimit = 16);

// The bits of a mask as "0,2", for the lists of unstable bytes.
std::string BitList(uint8_t mask);

// "3 reads agree in all 32768 bytes" or "2 of 32768 bytes unstable over 3 reads (2 bits)".
std::string ConsistencySummary(const ConsistencyReport& report);

}  // namespace tavrin
