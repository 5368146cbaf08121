#include "algorithms/parallel/FlashSst28SF.h"

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/parallel/ProgramFrame.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kProgramAttempts = 11;
constexpr uint32_t kSector = 256;
// The erases run on the part's own timer and are waited out (20 x 16.8 ms for the chip, 3.4 ms
// a sector); a read of the first erased byte then tells whether the part is done: busy, it shows
// bit 7 low; done, the byte reads 0xFF. The polls below allow that much again before they give
// up.
constexpr int kChipErasePolls = 20;
constexpr int32_t kChipErasePoll = 20000;
constexpr int kSectorErasePolls = 40;
constexpr int32_t kSectorErasePoll = 100;

// One strobed write the way these routines write: data on the pins (`settle` after data-out
// mode is on, `gap` before the strobe), strobe for `width`, then `wait`.
void strobeWrite(Bus& bus, uint8_t value, int32_t settle, int32_t gap, int32_t width,
                 int32_t wait) {
    bus.PutData(value, settle);
    bus.Delay(gap);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(width);
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(wait);
}

// Reads the byte at the address in the register until it is 0xFF or `polls` reads at `gap`
// units have gone by; true when it was.
bool readsErased(Bus& bus, int polls, int32_t gap) {
    for (int n = 0; n <= polls; ++n) {
        bus.Drive(Line::DataOutLine, 0);
        bus.Delay(4);
        const uint8_t r = bus.ReadDataByte();
        bus.Drive(Line::DataOutLine, 1);
        if (r == 0xFF) return true;
        bus.Delay(gap);
    }
    return false;
}

// The start both erases share: power, the outputs off, the protection lifted.
void powerAndUnprotect(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(2000);
    UnprotectSst(ctx, 20);
}

}  // namespace

void UnprotectSst(Context& ctx, int32_t wait) {
    Bus& bus = ctx.bus;
    for (uint32_t address : SstUnprotectAddresses) {
        bus.Drive(Line::DataOutLine, 0);
        bus.SetAddressWait(address, 2);
        bus.Delay(10);
        bus.Drive(Line::DataOutLine, 1);
        bus.Delay(wait);
    }
}

void ProgramSst28SF(Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    ProgramPass pass;
    pass.caption = "programming chip";
    pass.start = [&] {
        bus.PowerUp();
        bus.SetAddress(0);
        bus.Drive(Line::StrobeLine, 0);
        bus.Drive(Line::DataOutLine, 1);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(5000);
        UnprotectSst(ctx, p.tWC);
        bus.Delay(2000);
    };
    pass.writeByte = [&](uint32_t index, uint32_t address, uint8_t v) {
        int32_t w = p.tWP, t = p.tWC;
        uint8_t r = 0;
        for (int attempt = 1;; ++attempt) {
            bus.SetAddressWait(address, 0);
            bus.Delay(4);
            bus.PutData(0x10, 2);
            bus.Delay(4);
            bus.StrobePulse(w);
            bus.Delay(t);
            strobeWrite(bus, v, 2, 0, w, t);
            bus.Delay(2);
            bus.PortOut(bus.DataPort, 0);
            bus.Drive(Line::DataOutLine, 0);
            r = bus.ReadDataByte();
            if (r == v) return true;
            if (attempt >= kProgramAttempts) break;
            bus.Delay(50);
            w += 10;
            t += 10;
        }
        bus.ReportMismatch8(index, p.Offset, r);
        return false;
    };
    RunProgramPass(ctx, pass);  // the protection is left lifted: power-down sets it again
}

void EraseSst28SF(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    constexpr int kSteps = 20;
    SetProcessGauge(ctx, "erasing chip", kSteps, GaugeColor::Program);
    powerAndUnprotect(ctx);
    bus.SetAddressWait(0, 0);
    bus.Delay(4);
    for (int n = 0; n < 2; ++n) strobeWrite(bus, 0x30, 0, 4, p.tWP, p.tWC);
    bool cancelled = false;
    for (int n = 0; n < kSteps && !cancelled; ++n) {
        if (StepCancelled(ctx, n)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            cancelled = true;
            break;
        }
        bus.Delay(20000);
    }
    if (!cancelled) {
        if (readsErased(bus, kChipErasePolls, kChipErasePoll))
            Message(ctx, "erase completed", MessageKind::Success);
        else
            bus.ReportError("Error erasing chip");
    }
    bus.PowerDown();
    SerialPowerDown(ctx);
}

void SectorEraseLe28F(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "Sector erasing chip ", p.bufferSize - 1, GaugeColor::Program);
    powerAndUnprotect(ctx);
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(100);
    bool stopped = false;
    for (uint32_t a = 0; int64_t(a) < int64_t(p.bufferSize) - 1 && !stopped; a += kSector) {
        // The set-up goes to the address still in the register; the confirm names the sector.
        bus.Drive(Line::DataOutLine, 1);
        bus.Delay(4);
        bus.PutData(0x20, 0);
        bus.Delay(4);
        bus.StrobePulse(p.tWP);
        bus.Delay(p.tWC);
        bus.SetAddressWait(a, 1);
        bus.Delay(4);
        strobeWrite(bus, 0xD0, 1, 4, p.tWP, 4000);
        if (!readsErased(bus, kSectorErasePolls, kSectorErasePoll)) {
            bus.ReportError(Format("Error erasing sector at $%6x", a));
            stopped = true;
        } else if (StepCancelled(ctx, a)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            stopped = true;
        }
    }
    if (!stopped) Message(ctx, "Sector Erase All completed", MessageKind::Success);
    bus.PowerDown();
}

void ReadIdSst28SF(Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.SetAddressWait(0, 0);
    bus.Delay(4);
    strobeWrite(bus, 0x90, 0, 4, p.tWP, p.tWC);
    bus.Delay(100);
    bus.SetAddressWait(0, 0);
    const uint8_t m = bus.ReadDataByte();
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(100);
    strobeWrite(bus, 0x90, 0, 4, p.tWP, p.tWC);
    bus.Delay(100);
    bus.SetAddressWait(1, 0);
    const uint8_t d = bus.ReadDataByte();
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(100);
    bus.PowerDown();  // no reset command: power-down ends the identifier mode
    ShowElectronicId(ctx, m, d);
}

}  // namespace tavrin
