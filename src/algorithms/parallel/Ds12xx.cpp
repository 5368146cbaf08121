#include "algorithms/parallel/Ds12xx.h"

#include <algorithm>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {
constexpr int kAttemptLimit = 10;
constexpr int32_t kWaitStep = 5, kWaitCap = 100;
}  // namespace

void ProgramDs12xx(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const int64_t last = ClipLoadedToDevice(ctx);  // stays clipped
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    bus.PowerUp();
    p.verifyError = 0;
    for (int64_t i = 0; i <= last; ++i) {
        // The modules' wiring needs the swapped address whatever the entry says; below 16 KB it
        // is the plain one.
        const uint32_t a = Bus::SwapAddress(p.Offset + uint32_t(i));
        const uint8_t v = ctx.Buffer[size_t(i)];
        int32_t wait = p.tWC;
        // A differential write found the byte in place.
        for (int attempt = 1; ctx.writePlan.writes(i); ++attempt) {
            bus.Drive(Line::StrobeLine, 0);
            bus.SetAddressWait(a, 0);
            bus.Delay(1);
            bus.PutData(v, 0);
            bus.Delay(1);
            bus.StrobePulse(p.tWP);
            bus.Delay(wait);
            bus.Delay(2);
            bus.PortOut(bus.DataPort, 0);
            bus.Drive(Line::DataOutLine, 0);
            const uint8_t r = bus.ReadDataByte();
            if (r == v) break;
            if (attempt >= kAttemptLimit) {
                bus.ReportMismatch8(uint32_t(i), p.Offset, r);
                p.verifyError = 1;
                break;
            }
            wait = std::min(wait + kWaitStep, kWaitCap);
        }
        if (p.verifyError == 1) break;
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0) {
        p.quietVerify = 1;
        VerifyParallel(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    bus.PowerDown();
}

}  // namespace tavrin
