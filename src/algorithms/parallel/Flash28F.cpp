#include "algorithms/parallel/Flash28F.h"

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/FlashI28Fx00.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr uint8_t kProgramSetup = 0x40, kProgramVerify = 0xC0, kEraseVerify = 0xA0, kRead = 0x00;
constexpr int kProgramAttempts = 26;
// Quick-erase: up to 1000 pulses of about 10 ms, about 1 s in all for a typical part (28F010
// data sheet). Each pulse here is the 12.6 ms wait; the part's stop timer ends it at 10 ms.
constexpr int kErasePulses = 1000;
constexpr int32_t kErasePulse = 15000;

// The byte of the data register that leaves the address register alone and the read-back
// register idle: shift clock and data low, read clock high.
constexpr uint8_t kSerialIdle = Bits::ReadClock;

// The run state every program routine here keeps: what bufferLoaded was, and how it ended.
struct ProgramFrame {
    uint32_t loadedCopy;
    int64_t last;
};

ProgramFrame beginProgram(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    ProgramFrame f{p.bufferLoaded, -1};
    if (p.Offset != 0) ConfirmOffset(ctx);
    f.last = ClipLoadedToDevice(ctx);
    return f;
}

void endProgram(Context& ctx, const ProgramFrame& f) {
    ctx.profile.bufferLoaded = f.loadedCopy;
    ctx.bus.PowerDown();
}

// Power, the strobe released, address 0 and Vpp on: where every routine of these parts starts.
void powerWithVpp(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.SetAddress(BusAddress(ctx.profile, 0));
    bus.Drive(Line::VppLine, 0);
    bus.Delay(1000);
}

// One command byte on the data pins, strobed: settle, pulse, settle.
void command(Bus& bus, uint8_t value, int32_t before, int32_t width, int32_t after) {
    bus.PortOut(bus.DataPort, value);
    bus.Delay(before);
    bus.StrobePulse(width);
    bus.Delay(after);
}

// Back from data-out mode to reading: the data register to `idle`, then outputs enabled.
void releaseData(Bus& bus, uint8_t idle, int32_t gap, int32_t wait) {
    bus.PortOut(bus.DataPort, idle);
    bus.Delay(gap);
    bus.Drive(Line::DataOutLine, 0);
    bus.Delay(wait);
}

// One program round of Program28F: set-up, data, verify, read back.
uint8_t programRound28F(Context& ctx, uint32_t address, uint8_t v, int32_t w, int32_t t) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::StrobeLine, 0);
    bus.SetAddress(address);
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(5);
    command(bus, kProgramSetup, 10, w, 10);
    command(bus, v, 0, w, t);
    command(bus, kProgramVerify, 15, w, t - 10);
    releaseData(bus, 0, 0, 10);
    return bus.ReadDataByte();
}

// The compare pass both program routines end with; false on a difference or a cancel.
// `report` shows a difference.
template <typename Report>
bool compareAll(Context& ctx, const ProgramFrame& f, const char* caption, Report report) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, caption, p.bufferLoaded, GaugeColor::Verify);
    bus.Drive(Line::StrobeLine, 0);
    for (int64_t i = 0; i <= f.last; ++i) {
        const uint32_t address = p.Offset + uint32_t(i);
        bus.SetAddress(BusAddress(p, address));
        const uint8_t r = bus.ReadDataByte();
        if (r != ctx.Buffer[size_t(i)]) {
            report(i, r);
            p.verifyError = 1;
            return false;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            return false;
        }
    }
    Message(ctx, "Device Compares OK", MessageKind::Success);
    return true;
}

// The erase verify loop shared by the bulk erases: an A0h at address `a`, read back, and on 0xFF
// the next address `step` further on. Returns when a byte is not erased yet (false) or the device
// end is passed (true); `cancelled` tells a Cancel apart.
struct EraseVerify {
    int32_t settle, width, afterCommand;
    uint8_t idle;
    int32_t gap, afterRelease;
    int step;
};

bool verifyErased(Context& ctx, const EraseVerify& v, uint32_t size, uint32_t& a, bool& cancelled) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    while (a < size) {
        bus.Drive(Line::DataOutLine, 1);
        command(bus, kEraseVerify, v.settle, v.width, v.afterCommand);
        releaseData(bus, v.idle, v.gap, v.afterRelease);
        if (bus.ReadDataByte() != 0xFF) return false;
        a += uint32_t(v.step);
        if (a < size) bus.SetAddress(BusAddress(p, a));
        if (StepCancelled(ctx, a)) {
            Message(ctx, "Erase interrupted!", MessageKind::Error);
            cancelled = true;
            return false;
        }
    }
    return true;
}

// The whole device, whatever offset the run was given: a bulk erase clears all of it.
uint32_t deviceBytes(const DeviceProfile& p) {
    return uint32_t(p.deviceSize > 0 ? p.deviceSize : p.bufferSize);
}

}  // namespace

void Program28F(Context& ctx) {
    if (IsBoot28F001(ctx.profile)) return Program28Fx00(ctx);  // a BX part, see there
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const ProgramFrame f = beginProgram(ctx);
    bus.Delay(1000);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    powerWithVpp(ctx);
    p.verifyError = 0;
    for (int64_t i = 0; i <= f.last; ++i) {
        const uint8_t v = ctx.Buffer[size_t(i)];
        const uint32_t address = p.Offset + uint32_t(i);
        int32_t t = p.tWC;
        bool done = false;
        for (int attempt = 1; attempt <= kProgramAttempts && !done; ++attempt, t += 50)
            done = programRound28F(ctx, BusAddress(p, address), v, p.tWP, t) == v;
        if (!done) {
            bus.ReportMismatch8(uint32_t(i), p.Offset, bus.ReadDataByte());
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    bus.Drive(Line::VppLine, 1);  // the part is a ROM again and reads its array
    if (p.verifyError == 0)
        compareAll(ctx, f, "verifying chip", [&](int64_t i, uint8_t chip) {
            bus.ReportMismatch8(uint32_t(i), p.Offset, chip);
        });
    endProgram(ctx, f);
}

void Erase28F(Context& ctx) {
    if (IsBoot28F001(ctx.profile)) return Erase28Fx00(ctx);  // a BX part, see there
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const uint32_t size = deviceBytes(p);
    SetProcessGauge(ctx, "Erasing chip & Erase Verify", size, GaugeColor::Blank);
    powerWithVpp(ctx);
    // "Off" checks every byte, "On" samples every 100th.
    const EraseVerify verify{10, 8, 15, kSerialIdle, 10, 10, p.fastErase == 1 ? 100 : 1};
    uint32_t a = 0;
    bool erased = false, cancelled = false;
    for (int pulse = 1; pulse <= kErasePulses && !erased && !cancelled; ++pulse) {
        bus.Drive(Line::DataOutLine, 1);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(5);
        command(bus, 0x20, 10, 8, 10);
        command(bus, 0x20, 10, 8, kErasePulse);
        erased = verifyErased(ctx, verify, size, a, cancelled);
        if (!erased && !cancelled && StepCancelled(ctx, a)) {
            Message(ctx, "Erase interrupted!", MessageKind::Error);
            cancelled = true;
        }
    }
    bus.Drive(Line::VppLine, 1);
    if (erased)
        Message(ctx, "Erase Completed", MessageKind::Success);
    else if (!cancelled)
        bus.ReportError("Error erasing chip");
    bus.PowerDown();
}

void ProgramMx28(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const bool verifyCommand = p.eep == 30;  // the MX28F2000 times its own program
    const ProgramFrame f = beginProgram(ctx);
    bus.Delay(1000);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    powerWithVpp(ctx);
    p.verifyError = 0;
    for (int64_t i = 0; i <= f.last; ++i) {
        const uint8_t v = ctx.Buffer[size_t(i)];
        if (p.skipFF == 1 && v == 0xFF) continue;
        const uint32_t address = p.Offset + uint32_t(i);
        bool done = false;
        for (int attempt = 1; attempt <= kProgramAttempts && !done; ++attempt) {
            bus.Drive(Line::StrobeLine, 0);
            bus.SetAddress(BusAddress(p, address));
            bus.Drive(Line::DataOutLine, 1);
            bus.Delay(8);
            command(bus, kProgramSetup, 8, 8, 10);
            command(bus, v, 0, 8, 0);
            if (verifyCommand) {
                bus.Delay(23);
                command(bus, kProgramVerify, 8, 8, 20);
            } else {
                bus.Delay(35);
            }
            releaseData(bus, 0, 0, 5);
            done = bus.ReadDataByte() == v;
        }
        if (!done) {
            bus.ReportMismatch8(uint32_t(i), p.Offset, bus.ReadDataByte());
            p.verifyError = 1;
            endProgram(ctx, f);  // the report has powered the socket down
            return;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    // Read command, then the part is a ROM again.
    bus.Drive(Line::DataOutLine, 1);
    command(bus, kRead, 10, 10, 20);
    bus.Drive(Line::VppLine, 1);
    bus.Delay(500);
    if (p.verifyError == 0)
        compareAll(ctx, f, "Verifying chip", [&](int64_t i, uint8_t) {
            Message(ctx, Format("Error at $%6x", p.Offset + uint32_t(i)), MessageKind::Error);
        });
    endProgram(ctx, f);
}

namespace {

struct MxErase {
    const char* caption;
    uint8_t command;
    int waits;      // Delay(10000) after the erase command
    int lastRetry;  // erase again while the count of erases after the first is at most this
};

void eraseMx(Context& ctx, const MxErase& e) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const uint32_t size = deviceBytes(p);
    SetProcessGauge(ctx, e.caption, size, GaugeColor::Blank);
    powerWithVpp(ctx);
    const EraseVerify verify{8, 8, 20, 0, 0, 8, 1};
    uint32_t a = 0;
    bool erased = false, cancelled = false;
    for (int k = 0;; ++k) {
        bus.Drive(Line::DataOutLine, 1);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(15);
        command(bus, e.command, 30, 15, 30);
        command(bus, e.command, 30, 15, 0);
        for (int n = 0; n < e.waits && !cancelled; ++n) {
            bus.Delay(10000);
            if (StepCancelled(ctx, a)) {
                Message(ctx, "Erase interrupted!", MessageKind::Error);
                cancelled = true;
            }
        }
        if (!cancelled) erased = verifyErased(ctx, verify, size, a, cancelled);
        if (erased || cancelled) break;
        if (k > e.lastRetry) {
            bus.ReportError("Error erasing chip");
            break;
        }
    }
    bus.Drive(Line::VppLine, 1);
    if (erased) Message(ctx, "Erase Completed", MessageKind::Success);
    bus.PowerDown();
}

}  // namespace

void EraseMx26C(Context& ctx) {
    eraseMx(ctx, {"Erase Chip / Erase Verify ", 0x20, 15, 30});
}

void EraseMx28F(Context& ctx) {
    eraseMx(ctx, {"Erase Chip (6.5S) / Erase Verify ", 0x30, 650, 25});
}

void ReadId28F(Context& ctx) {
    if (IsBoot28F001(ctx.profile)) return ReadId28Fx00(ctx);  // a BX part, see there
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.SetAddress(BusAddress(p, 0));
    bus.Drive(Line::VppLine, 0);
    bus.Delay(200);
    bus.PutData(0x90, 5);
    bus.Delay(50);
    bus.StrobePulse(10);
    bus.Delay(15);
    bus.SetAddressWait(BusAddress(p, 0), 0);
    bus.Delay(5);
    const uint8_t m = bus.ReadDataByte();
    bus.PutData(0x90, 5);
    bus.Delay(50);
    bus.StrobePulse(10);
    bus.Delay(20);
    bus.SetAddressWait(BusAddress(p, 1), 5);
    bus.Delay(5);
    const uint8_t d = bus.ReadDataByte();
    bus.Drive(Line::VppLine, 1);
    bus.Delay(200);
    bus.PowerDown();
    ShowElectronicId(ctx, m, d);
}

}  // namespace tavrin
