#include "algorithms/mcu/Mcs48.h"

#include <algorithm>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kProgramPulses = 10;
constexpr int kReads = 5;

enum class Start { Program, Read, Check };

// The last image index a program or verify pass covers: the loaded bytes and no more. Erased cells
// read 0x00 here, so the 0xFF that fills the buffer beyond a short file must not be burnt into the
// cell after it.
int64_t lastLoadedIndex(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const int64_t loaded = std::min<int64_t>(p.bufferLoaded, p.bufferSize);
    ClipLoadedToDevice(ctx);
    return std::min<int64_t>(loaded, int64_t(ctx.Buffer.size())) - 1;
}

// The common start: supply on, PROG low, address 0 with RESET low, then EA to its high level.
void powerUp(Context& ctx, Start kind) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(kind == Start::Check ? 1000 : 2000);
    bus.SetAddress(0);
    bus.Drive(Line::DataOutLine, 0);
    bus.Delay(kind == Start::Program ? 2500 : 2000);
    bus.Drive(Line::VppLine, 0);
    bus.Delay(kind == Start::Read ? 1000 : 5000);
}

// The byte at `address` in verify mode: the chip drives the bus once the board lets go of it.
uint8_t readByte(Context& ctx, uint32_t address) {
    Bus& bus = ctx.bus;
    Mcs48SetAddress(ctx, address, kMcs48Verify);
    bus.Delay(100);
    bus.PortOut(bus.DataPort, 0);
    bus.Delay(100);
    bus.Drive(Line::DataOutLine, 0);
    return bus.ReadDataByte();
}

}  // namespace

void Mcs48SetAddress(Context& ctx, uint32_t address, int mode) {
    Bus& bus = ctx.bus;
    bus.PortOut(bus.DataPort, 0);
    bus.Delay(10);
    bus.Drive(Line::DataOutLine, 0);  // RESET falls: the address latch opens
    bus.Delay(1700);
    const uint32_t value = uint32_t(mode) | ((address >> 8) & 0xF);
    for (uint32_t mask = 256; mask != 0; mask >>= 1) {
        bus.Drive(Line::ShiftData, (value & mask) != 0);
        bus.Delay(10);
        bus.Drive(Line::ShiftClock, 1);
        bus.Delay(10);
        bus.Drive(Line::ShiftClock, 0);
        bus.Delay(1);
    }
    bus.Drive(Line::DataOutLine, 1);  // RESET rises and latches the low byte from the bus
    bus.Delay(20);
    bus.PortOut(bus.DataPort, uint8_t(address & 0xFF));
    bus.Delay(10);
    bus.Delay(1700);
}

void ProgramMcs48(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const uint32_t loadedCopy = p.bufferLoaded;
    const int64_t last = lastLoadedIndex(ctx);
    SetProcessGauge(ctx, "programming MCS-48", p.bufferLoaded, GaugeColor::Program);
    powerUp(ctx, Start::Program);
    bool failed = false;
    for (int64_t i = 0; i <= last && !failed; ++i) {
        const uint8_t v = ctx.Buffer[size_t(i)];
        for (int attempt = 1;; ++attempt) {
            Mcs48SetAddress(ctx, uint32_t(i), kMcs48Program);
            bus.Drive(Line::DataOutLine, 1);
            bus.Delay(10);
            bus.PortOut(bus.DataPort, v);
            bus.Delay(30);
            // PROG high for 60000 units (about 50 ms), VDD at 21 V meanwhile.
            bus.Drive(Line::StrobeLine, 0);
            bus.Delay(25000);
            bus.Delay(25000);
            bus.Delay(10000);
            bus.Drive(Line::StrobeLine, 1);
            bus.Delay(100);
            const uint8_t r = readByte(ctx, uint32_t(i));
            bus.Drive(Line::DataOutLine, 1);
            if (r == v) break;
            if (attempt >= kProgramPulses) {
                // The routines ignore Offset, so the report names the chip address itself.
                bus.ReportMismatch8(uint32_t(i), 0, r);
                failed = true;
                break;
            }
        }
        if (!failed && StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            failed = true;
        }
    }
    bus.Drive(Line::VppLine, 1);
    bus.Delay(1000);
    p.verifyError = failed ? 1 : 0;
    if (!failed) {
        p.quietVerify = 1;
        VerifyMcs48(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    p.bufferLoaded = loadedCopy;
    bus.PowerDown();
}

void ReadMcs48(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    ClearBuf(ctx, 0);
    SetProcessGauge(ctx, "Reading Chip MCS-48", p.bufferSize, GaugeColor::Read);
    ctx.ui().pumpEvents();
    powerUp(ctx, Start::Read);
    bool cancelled = false;
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        ctx.Buffer[size_t(i)] = readByte(ctx, uint32_t(i));
        if (StepCancelled(ctx, i)) {
            cancelled = true;
            break;
        }
    }
    bus.Drive(Line::VppLine, 1);
    bus.Delay(2000);
    bus.PowerDown();
    if (cancelled) {
        Message(ctx, "Process Cancelled", MessageKind::Error);
    } else {
        Message(ctx, "Chip read OK", MessageKind::Progress);
        ShowChipImageCaption(ctx);
        p.bufferLoaded = uint32_t(std::max(0, p.deviceSize));
    }
    p.bufferSize = p.deviceSize;
}

void VerifyMcs48(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const int64_t last = lastLoadedIndex(ctx);
    SetProcessGauge(ctx, "Verifying MCS-48 ", int64_t(p.bufferLoaded) - 1, GaugeColor::Verify);
    p.verifyError = 0;
    powerUp(ctx, Start::Check);
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t d = ctx.Buffer[size_t(i)];
        uint8_t r = 0;
        for (int n = 0; n < kReads; ++n) {
            r = readByte(ctx, uint32_t(i));
            if (r == d) break;
        }
        if (r != d) {
            ctx.bus.ReportMismatch8(uint32_t(i), 0, r);
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0 && p.quietVerify == 0)
        Message(ctx, "Device Verify OK", MessageKind::Success);
    p.quietVerify = 1;
    ctx.bus.PowerDown();
}

void BlankCheckMcs48(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "Check empty (0x00)  MCS-48", int64_t(p.bufferSize) - 1,
                    GaugeColor::Verify);
    p.verifyError = 0;
    powerUp(ctx, Start::Check);
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        uint8_t r = 0;
        for (int n = 0; n < kReads; ++n) {
            r = readByte(ctx, uint32_t(i));
            if (r == 0x00) break;
        }
        if (r != 0x00) {
            ctx.bus.ReportMismatch8(uint32_t(i), 0, r);
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0) Message(ctx, "Device empty ", MessageKind::Success);
    ctx.bus.PowerDown();
}

}  // namespace tavrin
