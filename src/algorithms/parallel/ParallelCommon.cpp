#include "algorithms/parallel/ParallelCommon.h"

#include <algorithm>

#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

uint32_t BusAddress(const DeviceProfile& p, uint32_t a) {
    if (p.swap == 1) a = Bus::SwapAddress(a);
    return p.pin30 == 1 ? a | kPin30 : a;
}

int64_t ClipLoadedToDevice(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    // With no device left (an offset at or past its end) there is nothing to cover; clipping to
    // bufferSize - 1 would wrap the unsigned extent round to 4 G.
    if (p.bufferSize <= 0) return -1;
    if (p.bufferLoaded >= static_cast<uint32_t>(p.bufferSize))
        p.bufferLoaded = static_cast<uint32_t>(p.bufferSize) - 1;
    return std::min<int64_t>(p.bufferLoaded, int64_t(ctx.Buffer.size()) - 1);
}

void ReportWriteFailure(Context& ctx, uint32_t address, uint8_t chip, uint8_t wanted) {
    ctx.bus.ReportError(
        Format(" Error at 0x%06X  Chip = 0x%02X  buffer = 0x%02X", address, chip, wanted));
}

void ShowChipImageCaption(Context& ctx) {
    ctx.controls.caption = "Tavrin Eprom Prog(0.95B)- " + ctx.controls.edDevice + " Image";
}

void BeginChipRead(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    ClearBuf(ctx, 1);
    if (p.Offset != 0) ConfirmOffset(ctx);
    bus.Delay(1000);
    SetProcessGauge(ctx, "Reading Chip", p.bufferSize, GaugeColor::Read);
    ctx.ui().pumpEvents();
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, ReadStrobeLevel(p));
}

void ReadParallel(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    BeginChipRead(ctx);  // the strobe level stays for the whole read
    bus.SetAddress(0);
    const int64_t count = std::min<int64_t>(p.bufferSize, int64_t(ctx.Buffer.size()));
    bool cancelled = false;
    for (int64_t i = 0; i < count; ++i) {
        bus.SetAddress(BusAddress(p, p.Offset + uint32_t(i)));
        ctx.Buffer[size_t(i)] = bus.ReadDataByte();
        if (StepCancelled(ctx, i)) {
            cancelled = true;
            break;
        }
    }
    bus.PowerDown();
    if (cancelled) {
        Message(ctx, "Process Cancelled", MessageKind::Error);
    } else {
        Message(ctx, "Chip read OK", MessageKind::Progress);
        ShowChipImageCaption(ctx);
        p.bufferLoaded = static_cast<uint32_t>(std::max(0, p.deviceSize));
    }
    p.bufferSize = p.deviceSize;
}

void BlankCheck(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.Offset != 0) ConfirmOffset(ctx);
    SetProcessGauge(ctx, "Checking Device is Empty", p.bufferSize, GaugeColor::Blank);
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, ReadStrobeLevel(p));
    bool stopped = false;
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        const uint32_t a = p.Offset + uint32_t(i);
        bus.SetAddress(BusAddress(p, a));
        if (bus.ReadDataByte() != 0xFF) {
            Message(ctx, Format("Device is NOT Empty ($%4.6x)", a), MessageKind::Error);
            stopped = true;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "Device Check was Cancelled", MessageKind::Error);
            stopped = true;
            break;
        }
    }
    if (!stopped) Message(ctx, "Device is Empty", MessageKind::Success);
    bus.PowerDown();
}

void VerifyBytes(Context& ctx, VerifyStyle style) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const bool eprom = style == VerifyStyle::Eprom;
    if (p.quietVerify == 0 && p.Offset != 0) ConfirmOffset(ctx);
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, eprom ? 0 : ReadStrobeLevel(p));
    bus.Delay(1000);
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Verifying chip", int64_t(p.bufferLoaded) - 1, GaugeColor::Verify);
    p.verifyError = 0;
    int retries = 0;
    for (int64_t i = 0; i <= last; ++i) {
        const uint32_t a = BusAddress(p, p.Offset + uint32_t(i));
        bus.SetAddress(a);
        bus.Drive(Line::StrobeLine, ReadStrobeLevel(p));
        if (eprom && p.epr64 != 1) bus.Delay(8);
        const uint8_t r = bus.ReadDataByte();
        bus.Drive(Line::StrobeLine, 0);
        if (eprom) bus.Delay(5);
        if (r != ctx.Buffer[size_t(i)]) {
            if (retries > 3) {
                bus.ReportMismatch8(uint32_t(i), 0, r);
                p.verifyError = 1;
                break;
            }
            ++retries;
            --i;  // the same address again: at most five reads
            continue;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
        retries = 0;
    }
    if (p.verifyError == 0 && p.quietVerify == 0)
        Message(ctx, "Device Verify OK", MessageKind::Success);
    p.quietVerify = 1;
    bus.PowerDown();
}

void VerifyParallel(Context& ctx) {
    VerifyBytes(ctx, VerifyStyle::Parallel);
}

}  // namespace tavrin
