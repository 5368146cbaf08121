#pragma once
// Page-write EEPROMs (AT28C) and sector-write flash (AT29C, W29EE): a whole sector per write
// cycle after the unlock command AA 55 A0, each sector read back before the next.

#include <array>
#include <cstdint>

#include "core/Context.h"

namespace tavrin {

inline constexpr int kSectorBufferBytes = 2048;  // the largest sector size offered

// The sector being written: Ssize bytes of the image from sectorStart, also its device address.
struct SectorBuffer {
    std::array<uint8_t, kSectorBufferBytes> sectorBuffer{};
    uint32_t sectorStart = 0;
};

// Addresses of the unlock cycles; the six-cycle commands use all of them.
inline constexpr std::array<uint32_t, 6> kCmd5555Six{0x5555, 0x2AAA, 0x5555,
                                                     0x5555, 0x2AAA, 0x5555};

// Sector size of a run: Ssize, kept within the sector buffer.
int32_t SectorSize(const DeviceProfile& p);

// One write cycle of a command or data byte: address shifted, byte driven, a Delay(2) strobe.
// `setup` is an extra wait between the byte and the strobe. Command addresses go through the
// same wiring as data addresses, so a part whose A14 hangs on a remapped stage sees 5555 too.
void WriteCycle(Context& ctx, uint32_t address, uint8_t byte, int32_t setup = 0);
// The command bytes at the addresses of kCmd5555Six, in order.
void WriteCommand(Context& ctx, const uint8_t* bytes, int count, int32_t setup = 0);

// Unlock command and the Ssize bytes of `s`, back to back.
void WriteSector(Context& ctx, const SectorBuffer& s);
// 0 when the sector reads back as the image holds it, 1 when it does not; four wrong reads in
// all are tolerated per sector.
int VerifySector(Context& ctx, uint32_t start);
// Program for eep 7, 9 and 22: whole sectors from address 0, up to 15 writes each.
void ProgramSectors(Context& ctx);

}  // namespace tavrin
