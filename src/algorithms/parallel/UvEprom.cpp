#include "algorithms/parallel/UvEprom.h"

#include <algorithm>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// Parts of 2 KB and less are 2716-type: the program pulse is CE/PGM held high.
constexpr int32_t kLargestSmallEprom = 2048;
constexpr int kAttemptLimit = 26;       // quick-pulse and intelligent parts
constexpr int kSmallAttemptLimit = 25;  // 2716 type

struct ByteRun {
    int32_t attempt = 1;
    int32_t pulse;  // w
    int32_t wait;   // t
    uint8_t readBack = 0;
};

// One byte of a part above 2 KB: pulse, read back, and again with a longer pulse and wait.
bool programByte(Context& ctx, uint32_t address, uint8_t d, ByteRun& run) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    for (;;) {
        bus.Drive(Line::VppLine, 0);
        bus.Delay(100);
        bus.SetAddress(address);
        bus.PutData(d, 10);
        bus.Delay(10);
        bus.StrobePulse(run.pulse);
        bus.Delay(run.wait);
        if (p.keepVpp == 0) {  // OE#/VPP parts cannot read while Vpp is on
            bus.Drive(Line::VppLine, 1);
            bus.Delay(400);
        }
        bus.PortOut(bus.DataPort, 0);
        bus.Delay(10);
        bus.Drive(Line::DataOutLine, 0);
        bus.Delay(30);
        if (p.epr64 == 0) {
            bus.Drive(Line::StrobeLine, 1);
            bus.Delay(10);
        }
        run.readBack = bus.ReadDataByte();
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(20);
        if (run.readBack == d) return true;
        if (run.attempt >= kAttemptLimit) return false;
        ++run.attempt;
        run.pulse += p.addStep;
        run.wait += 10;
    }
}

// One byte of a 2716-type part: the pulse is the released strobe, 2 x tWP, the same every time.
bool programSmallByte(Context& ctx, uint32_t address, uint8_t d, ByteRun& run) {
    Bus& bus = ctx.bus;
    for (;;) {
        bus.Drive(Line::StrobeLine, 1);
        bus.Delay(50);
        bus.Drive(Line::VppLine, 0);
        bus.Delay(299);
        bus.SetAddress(address);
        bus.PutData(d, 0);
        bus.Delay(10);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(run.pulse);
        bus.Delay(run.pulse);
        bus.Drive(Line::StrobeLine, 1);
        bus.Delay(25);
        bus.PortOut(bus.DataPort, 0);
        bus.Delay(10);
        bus.Drive(Line::VppLine, 1);
        bus.Delay(400);
        bus.Drive(Line::DataOutLine, 0);
        bus.Delay(20);
        run.readBack = bus.ReadDataByte();
        if (run.readBack == d) return true;
        if (run.attempt >= kSmallAttemptLimit) return false;
        ++run.attempt;
    }
}

}  // namespace

void ReadEprom(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    BeginChipRead(ctx);
    bus.Drive(Line::StrobeLine, 0);
    bus.SetAddress(0);
    // The byte of device address Offset + i goes to the same index, so the run stops where the
    // image ends even if the device goes on.
    const int64_t room = std::max<int64_t>(0, int64_t(ctx.Buffer.size()) - int64_t(p.Offset));
    const int64_t count = std::min<int64_t>(p.bufferSize, room);
    bool cancelled = false;
    for (int64_t i = 0; i < count; ++i) {
        const uint32_t a = p.Offset + uint32_t(i);
        bus.SetAddress(a);
        if (p.epr64 == 1) {
            bus.Drive(Line::StrobeLine, 0);
        } else {
            bus.Drive(Line::StrobeLine, 1);
            bus.Delay(8);
        }
        ctx.Buffer[a] = bus.ReadDataByte();
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(5);
        if (StepCancelled(ctx, i)) {
            cancelled = true;
            break;
        }
    }
    bus.PowerDown();
    bus.WriteControl();
    if (cancelled) {
        Message(ctx, "Process Cancelled", MessageKind::Error);
        return;
    }
    Message(ctx, "Chip read OK", MessageKind::Progress);
    ShowChipImageCaption(ctx);
    p.bufferLoaded = static_cast<uint32_t>(std::max(0, p.bufferSize));
}

void ProgramEprom(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const uint32_t loadedCopy = p.bufferLoaded;
    int32_t peakAttempts = 0, peakWait = 0, peakPulse = 0;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);

    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    p.verifyError = 0;
    bus.Drive(Line::VppLine, 0);
    bus.Delay(1000);
    // The part decides the algorithm, not the run: an offset run shortens bufferSize.
    const bool small = p.deviceSize <= kLargestSmallEprom;
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t d = ctx.Buffer[size_t(i)];
        const uint32_t address = p.Offset + uint32_t(i);
        ByteRun run{1, p.tWP, p.tWC};
        if (!(p.skipFF == 1 && d == 0xFF)) {
            const bool done =
                small ? programSmallByte(ctx, address, d, run) : programByte(ctx, address, d, run);
            if (!done) {
                bus.ReportMismatch8(uint32_t(i), p.Offset, run.readBack);
                p.verifyError = 1;
                break;
            }
        }
        bool newPeak = false;
        if (run.attempt > peakAttempts) peakAttempts = run.attempt, newPeak = true;
        if (run.wait > peakWait) peakWait = run.wait, newPeak = true;
        if (run.pulse > peakPulse) peakPulse = run.pulse, newPeak = true;
        if (newPeak) ctx.ui().showPeaks(peakAttempts, peakPulse, peakWait);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    bus.Drive(Line::VppLine, 1);
    if (p.verifyError == 0) {
        p.quietVerify = 1;
        VerifyEprom(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    p.bufferLoaded = loadedCopy;
    bus.PowerDown();
}

void VerifyEprom(Context& ctx) {
    VerifyBytes(ctx, VerifyStyle::Eprom);
}

}  // namespace tavrin
