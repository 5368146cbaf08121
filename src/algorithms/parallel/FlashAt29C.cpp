#include "algorithms/parallel/FlashAt29C.h"

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/SectorWrite.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {
constexpr int kEraseWaitSteps = 100;
constexpr int32_t kEraseWaitStep = 20000;  // 16.8 ms; 1.68 s in all, far above tEC 10-50 ms

constexpr uint8_t kIdEntry3[] = {0xAA, 0x55, 0x90};
constexpr uint8_t kIdEntry6[] = {0xAA, 0x55, 0x80, 0xAA, 0x55, 0x60};
constexpr uint8_t kIdExit[] = {0xAA, 0x55, 0xF0};

uint8_t readAt(Context& ctx, uint32_t address) {
    ctx.bus.Drive(Line::DataOutLine, 0);
    ctx.bus.SetAddress(address);
    return ctx.bus.ReadDataByte();
}

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

void ReadIdAt29C(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(10000);
    WriteCommand(ctx, kIdEntry3, 3, 1);
    bus.Delay(20);
    const uint8_t m = readAt(ctx, 0), d = readAt(ctx, 1);
    bus.Delay(10);
    WriteCommand(ctx, kIdExit, 3);
    bus.Delay(10000);
    bus.PowerDown();
    ShowElectronicId(ctx, m, d);
}

void ReadIdW29EE(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.PowerUp();
    bus.Delay(30000);
    WriteCommand(ctx, kIdEntry6, 6, 1);
    bus.Delay(10);  // the part's 10 us pause: the address shift of the first read adds to it
    const uint8_t m = readAt(ctx, 0), d = readAt(ctx, 1);
    bus.Delay(10);
    WriteCommand(ctx, kIdExit, 3, 1);
    bus.Delay(10000);
    bus.PowerDown();
    ShowElectronicId(ctx, m, d);
}

}  // namespace tavrin
