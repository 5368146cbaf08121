#include "algorithms/parallel/ElectricalEraseEprom.h"

#include "core/RunFrame.h"

namespace tavrin {

namespace {
constexpr int kPasses = 20;
constexpr int kPulseSteps = 9;  // nine Delay(20000): about 151 ms of erase pulse
constexpr int32_t kPulseStep = 20000;
}  // namespace

void EraseW27E(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    bool erased = false, cancelled = false;
    for (int pass = 1; pass <= kPasses && !erased && !cancelled; ++pass) {
        SetProcessGauge(ctx, "Erase and Check Device is Empty", p.bufferSize, GaugeColor::Blank);
        bus.PowerUp();
        bus.Drive(Line::DataOutLine, 0);
        bus.Drive(Line::StrobeLine, 0);
        bus.Drive(Line::VppLine, 0);  // the erase voltage the user set on the board
        bus.Delay(200);
        // Erase pulse: address 0, data high, the strobe asserted.
        bus.SetAddressWait(0, 0);
        bus.PutData(0xFF, 0);
        bus.Drive(Line::StrobeLine, 1);
        for (int k = 0; k < kPulseSteps; ++k) bus.Delay(kPulseStep);
        bus.PutData(0xD0, 0);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(100);
        bus.Drive(Line::VppLine, 1);
        bus.Delay(1000);
        // Read set-up, then the blank check.
        bus.Drive(Line::VppLine, 1);
        bus.Drive(Line::DataOutLine, 0);
        bus.Drive(Line::StrobeLine, 1);
        bus.Delay(200);
        erased = true;
        for (int64_t a = 0; a < p.bufferSize; ++a) {
            bus.SetAddress(uint32_t(a));
            if (bus.ReadDataByte() != 0xFF) {
                erased = false;
                break;
            }
            if (StepCancelled(ctx, a)) {
                erased = false;
                cancelled = true;
                break;
            }
        }
        // A pass that ends on a programmed byte has pumped no events since its gauge: a Cancel
        // delivered there must not wait for twenty passes.
        if (!erased && p.cancelRequested != 0) cancelled = true;
    }
    // Not erased, or cancelled: a failure, shown as one.
    if (erased)
        Message(ctx, "Device Erase OK", MessageKind::Success);
    else
        Message(ctx, "Device Erase False", MessageKind::Error);
    bus.PowerDown();
}

}  // namespace tavrin
