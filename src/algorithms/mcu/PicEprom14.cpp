// 14-bit EPROM PICs (16C62x, 16CE62x, 16C71x): one-time programming after a confirmation, each
// word pulsed until it reads back (at most 25 pulses), then given three times as many pulses
// again to make the charge last; the configuration word gets 100 pulses.
#include "algorithms/mcu/Pic.h"
#include "algorithms/mcu/PicSerial.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kMaxPulses = 25;
constexpr int kOverProgramFactor = 3;
constexpr int kConfigPulses = 100;

// Pulses word `word` at the current address until it reads back; then the over-programming.
// False after kMaxPulses without a match.
bool programWord(Context& ctx, int64_t word, int32_t wait) {
    Bus& bus = ctx.bus;
    const uint16_t want = BufferWord(ctx, word) & 0x3FFF;
    for (int n = 1; n <= kMaxPulses; ++n) {
        PicProgramPulse(ctx, word);
        bus.Delay(wait);
        PicCommand(ctx, PicCmd::ReadProgram);
        bus.Delay(wait);
        if ((PicReadWord(ctx) & 0x3FFF) == want) {
            for (int k = 0; k < kOverProgramFactor * n; ++k) {
                PicProgramPulse(ctx, word);
                bus.Delay(20);
            }
            return true;
        }
    }
    return false;
}

}  // namespace

void PicProgramEprom(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (!ctx.ui().confirm("Do you really want program the device ?")) {
        bus.PowerDown();
        return;
    }
    SetProcessGauge(ctx, "programming PIC program area", p.picProgWords, GaugeColor::Program);
    PicEnterProgramming(ctx);
    for (int32_t i = 0; i < p.picProgWords; ++i) {
        if (!programWord(ctx, i, 25)) {
            bus.ReportError("Error writing program area");
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return;
        }
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(20);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            bus.PowerDown();
            return;
        }
    }
    if (PicVerify14(ctx)) {
        SetProcessGauge(ctx, "Programming PIC Config area", 1, GaugeColor::Program);
        if (PicWriteConfigEprom(ctx)) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    bus.Delay(10000);
    bus.PowerDown();
}

bool PicWriteConfigEprom(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    p.picConfig = BufferWord(ctx, p.picCfgIndex) & p.cfgMask;
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::LoadConfig);
    bus.Delay(100);
    PicSendWord(ctx, uint16_t(p.picConfig));
    bus.Delay(100);
    // The identifier words are EPROM cells like the program words and take the same algorithm.
    for (int k = 0; k < p.picIdCount; ++k) {
        if (!programWord(ctx, p.picIdBase + k, 20)) {
            bus.ReportError("Error writing ID area");
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return false;
        }
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(20);
    }
    for (int k = 0; k < 3; ++k) PicCommand(ctx, PicCmd::Increment);
    bus.Delay(100);  // address 0x2007
    for (int k = 0; k < kConfigPulses; ++k) {
        PicProgramPulse(ctx, p.picCfgIndex);
        bus.Delay(20);
    }
    bus.Delay(50);
    PicCommand(ctx, PicCmd::ReadProgram);
    bus.Delay(120);
    if ((PicReadWord(ctx) & p.cfgMask) == p.picConfig) return true;
    bus.ReportError("Error blowing fuses");
    SerialPowerDown(ctx);
    p.verifyError = 1;
    return false;
}

}  // namespace tavrin
