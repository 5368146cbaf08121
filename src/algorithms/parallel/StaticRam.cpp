#include "algorithms/parallel/StaticRam.h"

#include <algorithm>
#include <random>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kWriteLimit = 6;  // the counter reaching 6 means five writes
constexpr int kReadLimit = 11;  // ten reads

uint32_t ramAddress(const DeviceProfile& p, uint32_t i) {
    uint32_t a = BusAddress(p, i);
    if (p.pin28 == 1) a |= 0x2000;   // 6264 CE2 on the A13 pin
    if (p.pin30 == 1) a |= 0x20000;  // 628128 CE2 on pin 30
    return a;
}

// The last index of a full pass over the RAM, kept inside the image.
int64_t fillPass(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    p.bufferLoaded = p.bufferSize > 0 ? uint32_t(p.bufferSize) - 1 : 0;
    return p.bufferSize > 0 ? int64_t(p.bufferLoaded) : -1;
}

}  // namespace

void SramWriteByte(Context& ctx, uint32_t index, uint8_t value) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 0);
    bus.SetAddress(ramAddress(ctx.profile, index));
    bus.Drive(Line::DataOutLine, 1);
    bus.PortOut(bus.DataPort, value);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(2);
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(7);
    bus.PortOut(bus.DataPort, 0);
    bus.Drive(Line::DataOutLine, 0);
}

uint8_t SramReadByte(Context& ctx, uint32_t index) {
    ctx.bus.SetAddress(ramAddress(ctx.profile, index));
    return ctx.bus.ReadDataByte();
}

void WriteAndCheckSram(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    p.verifyError = 0;
    const int64_t last = std::min<int64_t>(p.bufferLoaded, int64_t(ctx.Buffer.size()) - 1);
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t v = ctx.Buffer[size_t(i)];
        for (int count = 1;;) {
            SramWriteByte(ctx, uint32_t(i), v);
            const uint8_t r = bus.ReadDataByte();
            if (r == v) break;
            if (++count == kWriteLimit) {
                bus.ReportMismatch8(uint32_t(i), 0, r);
                p.verifyError = 1;
                return;
            }
        }
        // No cancel here: the read-back pass notices it.
        ctx.ui().setGaugeProgress(i);
        ctx.ui().pumpEvents();
    }
    bus.Drive(Line::StrobeLine, 0);
    bus.Drive(Line::DataOutLine, 0);

    // A Cancel pressed during the write pass must survive the gauge of the read-back pass, which
    // clears the flag as every gauge does.
    const int32_t cancelled = p.cancelRequested;
    SetProcessGauge(ctx, " Verify SRAM chip", p.bufferSize, GaugeColor::Verify);
    p.cancelRequested = p.cancelRequested | cancelled;
    for (int64_t i = 0; i <= last; ++i) {
        for (int count = 1;;) {
            const uint8_t r = SramReadByte(ctx, uint32_t(i));
            if (r == ctx.Buffer[size_t(i)]) break;
            if (++count == kReadLimit) {
                bus.ReportMismatch8(uint32_t(i), 0, r);
                p.verifyError = 1;
                return;
            }
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            return;
        }
    }
}

void TestSram(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, " Test#1 SRAM chip", p.bufferSize, GaugeColor::Program);
    bus.PowerUp();
    const int64_t last = fillPass(ctx);
    for (int64_t i = 0; i <= last; ++i) ctx.Buffer[size_t(i)] = (i & 1) ? 0x55 : 0xAA;
    WriteAndCheckSram(ctx);
    if (p.verifyError == 0) {
        SetProcessGauge(ctx, " Test#2 SRAM chip", p.bufferSize, GaugeColor::Program);
        bus.PowerUp();
        std::random_device seed;
        std::mt19937 random(seed());
        for (int64_t i = 0; i <= last; ++i) ctx.Buffer[size_t(i)] = uint8_t(random());
        fillPass(ctx);
        WriteAndCheckSram(ctx);
    }
    if (p.verifyError == 0) Message(ctx, "Device Test OK", MessageKind::Success);
    bus.PowerDown();
}

}  // namespace tavrin
