#include "algorithms/parallel/FlashAt29C.h"

#include "algorithms/parallel/SectorWrite.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {
constexpr int kEraseWaitSteps = 100;
constexpr int32_t kEraseWaitStep = 20000;  // 16.8 ms; 1.68 s in all, far above tEC 10-50 ms
}  // namespace

void EraseAt29C(Context& ctx) {
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "erasing chip", kEraseWaitSteps, GaugeColor::Program);
    bus.PowerUp();
    bus.ChangePriority(1);
    static constexpr uint8_t kChipErase[] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x10};
    WriteCommand(ctx, kChipErase, 6);
    bus.ChangePriority(0);
    bool cancelled = false;
    for (int k = 0; k < kEraseWaitSteps; ++k) {
        if (StepCancelled(ctx, k)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            cancelled = true;
            break;
        }
        bus.Delay(kEraseWaitStep);
    }
    if (!cancelled) Message(ctx, "erase completed", MessageKind::Success);
    bus.PowerDown();
}

}  // namespace tavrin
