#pragma once
// Read, verify and blank check shared by every parallel family, and the small rules they and the
// family routines have in common.

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

void ReadParallel(Context& ctx);
void VerifyParallel(Context& ctx);
void BlankCheck(Context& ctx);

// Strobe level while reading: a part with a separate /PGM pin reads with the strobe released,
// the others need it asserted for their /CE.
inline int ReadStrobeLevel(const DeviceProfile& p) {
    return p.epr64 == 1 ? 0 : 1;
}

// Address bit 17 of the socket (pin 30) held high for the parts that need it there (RP# of the
// 28F001, CE2 of the 62512 and 628128).
inline constexpr uint32_t kPin30 = 0x20000;

// The address put on the socket for device address `a`: swapped for the parts wired that way,
// then with pin 30 held high where the profile says so.
uint32_t BusAddress(const DeviceProfile& p, uint32_t a);

// Clips bufferLoaded to the device (bufferSize - 1) and returns the last image index a program or
// verify pass covers, -1 when there is nothing to cover. The index never leaves the image.
int64_t ClipLoadedToDevice(Context& ctx);

// The two verify passes differ only in how the strobe is handled around each read.
enum class VerifyStyle { Eprom, Parallel };
void VerifyBytes(Context& ctx, VerifyStyle style);

// A byte that would not take after the last write, when the byte written is not the image's (a
// fill): " Error at ..." with the address, the byte read back and the byte that was written.
void ReportWriteFailure(Context& ctx, uint32_t address, uint8_t chip, uint8_t wanted);

// "Chip read OK" bookkeeping of both read routines.
void ShowChipImageCaption(Context& ctx);

// The start both chip reads share: clear the image, ask about the offset, open the gauge, power
// up and set the strobe for reading.
void BeginChipRead(Context& ctx);

}  // namespace tavrin
