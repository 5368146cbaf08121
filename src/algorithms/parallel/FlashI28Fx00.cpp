#include "algorithms/parallel/FlashI28Fx00.h"

#include <vector>

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/parallel/ProgramFrame.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// Status register: SR.7 ready, SR.5 erase error, SR.4 program error, SR.3 Vpp low.
constexpr uint8_t kReady = 0x80, kEraseError = 0x20, kProgramError = 0x10, kVppLow = 0x08;
constexpr uint8_t kClearStatus = 0x50, kReadArray = 0xFF, kProgramSetup = 0x40;
constexpr int kProgramAttempts = 10;
// Bounds of the status polls: a byte programs in about 10 us and a block erases in about 1 to
// 3 s; a part still busy far beyond that is not going to finish.
constexpr double kProgramLimitUs = 1000;
constexpr double kEraseLimitUs = 15e6;
// Menu Tags from 200 on are the 8-bit 28F001BX-T; the others are 16-bit parts in byte mode.
constexpr int32_t kFirst8BitTag = 200;
constexpr uint32_t kEraseStep = 8192;
constexpr uint32_t kBootBlock28F001 = 0x1E000;

bool eightBit(const DeviceProfile& p) {
    return p.DeviceID >= kFirst8BitTag || IsBoot28F001(p);
}

enum class Poll { Ready, Cancelled, TimedOut };

// Reads the status register until SR.7 is set, toggling /OE so that it latches afresh each time.
Poll pollStatus(Context& ctx, int32_t settle, double limitUs, bool pump, uint8_t& status) {
    Bus& bus = ctx.bus;
    const double start = ctx.port().clock().nowNs();
    for (;;) {
        bus.Drive(Line::DataOutLine, 0);
        bus.Delay(settle);
        status = bus.ReadDataByte();
        bus.Drive(Line::DataOutLine, 1);
        bus.Delay(settle);
        if (pump) ctx.ui().pumpEvents();
        if (ctx.profile.cancelRequested != 0) return Poll::Cancelled;
        if (status & kReady) return Poll::Ready;
        if (ctx.port().clock().nowNs() - start > limitUs * 1000) return Poll::TimedOut;
    }
}

// One command byte, strobed.
void command(Bus& bus, uint8_t value, int32_t width) {
    bus.PutData(value, 0);
    bus.StrobePulse(width);
}

// Both end the run; false for the program frame, which then skips the verify.
bool interrupted(Context& ctx) {
    Message(ctx, "program interrupted!", MessageKind::Error);
    ctx.profile.verifyError = 1;
    return false;
}

bool failed(Context& ctx, const char* text) {
    ctx.profile.verifyError = 1;
    ctx.bus.ReportError(text);
    return false;
}

// The erase blocks to address: the 28F001BX-T's real map (112 KB main, two 4 KB parameter
// blocks, 8 KB boot), or one address every 8 KB, which reaches every block of the 16-bit parts.
// The "28F001" entry holds RP# at the Vcc level on pin 30, which keeps the boot block locked: its
// erase would only end in an error, so the three blocks it can erase are the ones addressed.
std::vector<uint32_t> eraseAddresses(const DeviceProfile& p) {
    if (IsBoot28F001(p)) return {0x00000, 0x1C000, 0x1D000};
    if (eightBit(p)) return {0x00000, 0x1C000, 0x1D000, kBootBlock28F001};
    std::vector<uint32_t> at;
    for (uint32_t a = 0; a < uint32_t(p.deviceSize); a += kEraseStep) at.push_back(a);
    return at;
}

}  // namespace

bool IsBoot28F001(const DeviceProfile& p) {
    return p.eep == 3 && p.DeviceID == k28F001Tag;
}

void Program28Fx00(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    ProgramPass pass;
    pass.caption = "programming chip";
    pass.start = [&] {
        bus.PowerUp();
        bus.Drive(Line::VppLine, 0);
        bus.Delay(100);
        bus.SetAddress(BusAddress(p, 0));
        // Start from a clear status register: its error bits stay until they are cleared.
        command(bus, kClearStatus, 2);
    };
    pass.writeByte = [&](uint32_t, uint32_t address, uint8_t v) {
        for (int attempt = 1;; ++attempt) {
            bus.SetAddressWait(BusAddress(p, address), 0);
            bus.PutData(kProgramSetup, 0);
            bus.Delay(2);
            bus.StrobePulse(2);
            bus.Delay(2);
            bus.PutData(v, 0);
            bus.Delay(2);
            bus.StrobePulse(p.tWP);
            bus.Delay(p.tWC);
            bus.PortOut(bus.DataPort, 0);
            bus.Drive(Line::DataOutLine, 0);
            bus.Delay(5);
            uint8_t s = 0;
            switch (pollStatus(ctx, 2, kProgramLimitUs, true, s)) {
                case Poll::Cancelled:
                    return interrupted(ctx);
                case Poll::TimedOut:
                    return failed(ctx, "  Byte Program Time-out");
                case Poll::Ready:
                    break;
            }
            if (s & kVppLow) return failed(ctx, "  Vpp Range Error");
            if (!(s & kProgramError)) return true;
            if (attempt >= kProgramAttempts) {
                if (IsBoot28F001(p) && address >= kBootBlock28F001)
                    Message(ctx,
                            "The boot block (1E000-1FFFF) is locked: RP# is not at 12 V on this "
                            "entry's wiring; the i28F001BX-T entry with its wire programs it",
                            MessageKind::Progress);
                return failed(ctx, "  Byte Program Error");
            }
            command(bus, kClearStatus, 2);  // or every retry fails on the old SR.4
        }
    };
    pass.finish = [&] {
        if (p.verifyError == 0) command(bus, kReadArray, 2);  // out of read-status mode
        bus.Drive(Line::VppLine, 1);
    };
    RunProgramPass(ctx, pass);
}

void Erase28Fx00(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const std::vector<uint32_t> blocks = eraseAddresses(p);
    SetProcessGauge(ctx, "Erasing chip 20S", int64_t(blocks.size()), GaugeColor::Blank);
    bus.PowerUp();
    bus.Drive(Line::VppLine, 0);
    bus.Delay(200);
    p.verifyError = 0;
    command(bus, kClearStatus, 3);
    for (size_t b = 0; b < blocks.size(); ++b) {
        bus.SetAddressWait(BusAddress(p, blocks[b]), 0);
        command(bus, 0x20, 3);
        command(bus, 0xD0, 3);
        bus.Delay(200);
        uint8_t s = 0;
        const Poll poll = pollStatus(ctx, 4, kEraseLimitUs, true, s);
        if (poll == Poll::Cancelled) {
            interrupted(ctx);
            break;
        }
        if (poll == Poll::TimedOut) {
            failed(ctx, " Block Erase Time-out");
            break;
        }
        if (s & kVppLow) {
            failed(ctx, "   Vpp Range Error");
            break;
        }
        if ((s & (kEraseError | kProgramError)) == (kEraseError | kProgramError)) {
            failed(ctx, " Command Sequence Error");
            break;
        }
        if (s & kEraseError) {
            failed(ctx, " Block Erase Error");
            break;
        }
        if (StepCancelled(ctx, int64_t(b) + 1)) {
            interrupted(ctx);
            break;
        }
    }
    bus.Drive(Line::VppLine, 1);
    bus.Delay(200);
    bus.PowerDown();
    if (p.verifyError == 0) Message(ctx, "erase completed", MessageKind::Success);
}

void ReadId28Fx00(Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    // 90h goes in after the address is in place: a new address ripples through the register's
    // stages, and on the "28F001" wiring stage 17 is RP#, whose low moments return the part to
    // read-array mode.
    const auto idByte = [&](uint32_t a, int32_t width) {
        bus.SetAddressWait(BusAddress(p, a), 5);
        bus.PutData(0x90, 5);
        bus.Delay(10);
        bus.StrobePulse(width);
        bus.Delay(20);
        bus.Drive(Line::DataOutLine, 0);
        bus.Delay(5);
        return bus.ReadDataByte();
    };
    bus.PowerUp();
    bus.SetAddressWait(BusAddress(p, 0), 0);
    bus.Drive(Line::VppLine, 0);
    bus.Delay(300);
    const uint8_t m = idByte(0, 5);
    bus.PutData(kReadArray, 5);
    bus.Delay(10);
    bus.StrobePulse(5);
    bus.Delay(10);
    bus.Delay(10000);
    // The device code: byte 1 of the 8-bit parts, byte 2 (word 1) of the 16-bit parts.
    const uint8_t d = idByte(eightBit(p) ? 1 : 2, 10);
    bus.Drive(Line::VppLine, 1);
    bus.Delay(200);
    bus.PowerDown();
    ShowElectronicId(ctx, m, d);
}

}  // namespace tavrin
