#include "algorithms/parallel/Mx29F040Protect.h"

#include "algorithms/parallel/JedecCommand.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr uint32_t kStatusOffset = 2, kProtectOffset = 0x200, kUnprotectAddress = 0x240;

// One command cycle: a strobe with OE# still low (no write to the part), then the byte and the
// strobe that writes it.
void commandCycle(Bus& bus, uint32_t address, uint8_t value) {
    bus.SetAddressWait(address, 4);
    bus.Delay(4);
    bus.StrobePulse(4);
    bus.PutData(value, 4);
    bus.Delay(4);
    bus.StrobePulse(4);
    bus.Delay(4);
}

// The unlock and the pulse at `address` that protects (A6 = 0) or unprotects (A6 = 1).
void protectPulse(Context& ctx, uint32_t address, int32_t width) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(100);
    for (int k = 0; k < 6; ++k) commandCycle(bus, jedec::Cmd555[k], jedec::kProtectUnlock[k]);
    bus.SetAddressWait(address, 4);
    bus.Delay(4);
    bus.Drive(Line::DataOutLine, 1);
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(5);
    bus.StrobePulse(width);
    bus.PowerDown();
}

uint8_t sectorStatus(Context& ctx, int sector) {
    return ReadSectorProtect(ctx, uint32_t(sector) * kMxicSectorBytes + kStatusOffset);
}

void protect(Context& ctx, int sector) {
    ProtectSector(ctx, uint32_t(sector) * kMxicSectorBytes + kProtectOffset);
}

// Reads all eight statuses into the grid; returns their sum.
int refreshRows(Context& ctx, MxicSectorGrid& grid) {
    int sum = 0;
    for (int s = 0; s < kMxicSectors; ++s) {
        const uint8_t status = sectorStatus(ctx, s);
        grid.rows[size_t(s) + 1] = MxicSectorRow(s, status);
        sum += status;
    }
    return sum;
}

}  // namespace

uint8_t ReadSectorProtect(Context& ctx, uint32_t address) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(100);
    for (int k = 0; k < 3; ++k) commandCycle(bus, jedec::Cmd555[k], jedec::kAutoselect[k]);
    bus.SetAddressWait(address, 4);
    bus.Delay(4);
    bus.StrobePulse(4);
    bus.Delay(4);
    const uint8_t status = bus.ReadDataByte();
    bus.PowerDown();
    return status;
}

void ProtectSector(Context& ctx, uint32_t address) {
    protectPulse(ctx, address, 4);
}

void UnprotectChip(Context& ctx) {
    protectPulse(ctx, kUnprotectAddress, 2000);
}

std::string MxicSectorRow(int sector, uint8_t status) {
    const uint32_t start = uint32_t(sector) * kMxicSectorBytes;
    return Format("S%1.1d     %5.5x   %5.5x    %d", sector, start, start + kMxicSectorBytes - 1,
                  status);
}

void sbMXICF29SecStatusClick(Context& ctx, MxicSectorGrid& grid) {
    grid.buttonsEnabled = true;
    refreshRows(ctx, grid);
}

void sbMXICF29SecProtClick(Context& ctx, MxicSectorGrid& grid) {
    if (!grid.buttonsEnabled) return;
    // Row 0 is the fixed header; a selection outside the sector rows means the first sector.
    const int sector =
        grid.selectedRow >= 1 && grid.selectedRow <= kMxicSectors ? grid.selectedRow - 1 : 0;
    const uint8_t status = sectorStatus(ctx, sector);
    if (status == 1) {
        Message(ctx, "Sector already protected !", MessageKind::Error);
    } else if (status == 0) {
        protect(ctx, sector);
        if (sectorStatus(ctx, sector) == 1) {
            refreshRows(ctx, grid);
            Message(ctx, "Sector protect performed OK!", MessageKind::Success);
        } else {
            Message(ctx, "Sector not protected !", MessageKind::Error);
        }
    } else {
        Message(ctx, "Protect/Unprotect status error !", MessageKind::Error);
    }
}

void sbMXICF29ChipUnprtClick(Context& ctx, MxicSectorGrid& grid) {
    if (!grid.buttonsEnabled) return;
    std::array<uint8_t, kMxicSectors> status{};
    int sum = 0;
    for (int s = 0; s < kMxicSectors; ++s) sum += status[size_t(s)] = sectorStatus(ctx, s);
    if (sum == 0) {
        Message(ctx, "All sectors are Unprotected !", MessageKind::Error);
        return;
    }
    // The part unprotects only a chip whose every sector is protected.
    for (int s = 0; s < kMxicSectors; ++s) {
        if (status[size_t(s)] == 1) continue;
        protect(ctx, s);
        if (sectorStatus(ctx, s) != 1) {
            Message(ctx, "Protection of Sector N. " + std::to_string(s) + " may be not possible!",
                    MessageKind::Error);
            return;
        }
    }
    UnprotectChip(ctx);
    if (refreshRows(ctx, grid) > 0)
        Message(ctx, "Sectors NOT unprotected !", MessageKind::Error);
    else
        Message(ctx, "Chip Unprotection performed OK!", MessageKind::Success);
}

}  // namespace tavrin
