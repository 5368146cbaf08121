// 12-bit EPROM PICs (12C508(A), 12C509(A)): the address starts on the configuration word (4095)
// and the first increment takes it to 0; the identifier words follow the program words. Each
// word is pulsed until it reads back (at most 8 pulses) and then given 11 times as many again.
// The last program word holds the factory oscillator calibration, which is only written when
// the user asked for it.
#include "algorithms/mcu/Pic.h"
#include "algorithms/mcu/PicSerial.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

constexpr int kMaxPulses = 8;
constexpr int kOverProgramFactor = 11;
constexpr int kConfigPulses = 100;

// Pulses word `word` until its bits under `mask` read back, then the over-programming. The
// pulse count starts at 1 for every word: a word right at the first pulse still gets 11.
bool programWord(Context& ctx, int64_t word, uint16_t mask, uint16_t& got) {
    Bus& bus = ctx.bus;
    const uint16_t want = BufferWord(ctx, word) & mask;
    for (int n = 1; n <= kMaxPulses; ++n) {
        PicProgramPulse(ctx, word);
        bus.Delay(15);
        PicCommand(ctx, PicCmd::ReadProgram);
        bus.Delay(15);
        got = PicReadWord(ctx);
        if ((got & mask) == want) {
            for (int k = 0; k < kOverProgramFactor * n; ++k) {
                PicProgramPulse(ctx, word);
                bus.Delay(20);
            }
            return true;
        }
    }
    return false;
}

void endSerial(Context& ctx) {
    SerialPowerDown(ctx);
    ctx.bus.Drive(Line::DataOutLine, 0);
}

// Program and identifier words; false when the run stopped.
bool programArea(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int32_t osccal = p.picProgWords - 1;
    for (int32_t i = 0; i < p.picProgWords; ++i) {
        uint16_t got = 0;
        const bool keepCalibration = i == osccal && p.picWriteOsccal == 0;
        if (!keepCalibration && !programWord(ctx, i, 0x0FFF, got)) {
            bus.ReportError("Error writing program area");
            SerialPowerDown(ctx);
            return false;
        }
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(20);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            return false;
        }
    }
    for (int32_t i = p.picIdBase; i < p.picIdBase + p.picIdCount; ++i) {
        uint16_t got = 0;
        if (!programWord(ctx, i, 0x000F, got)) {
            bus.ReportMismatch8(uint32_t(2 * i), 0, uint8_t(got & 0x0F));
            return false;
        }
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(20);
        ctx.ui().setGaugeProgress(i);
    }
    return true;
}

bool programConfig(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    p.picConfig = BufferWord(ctx, p.picCfgIndex);
    PicExitProgramming(ctx);
    PicEnterProgramming(ctx);  // the address is back on the configuration word
    bus.Delay(4000);
    for (int k = 0; k < kConfigPulses; ++k) {
        PicCommand(ctx, PicCmd::LoadProgram);
        bus.Delay(1200);
        PicSendWord(ctx, uint16_t(p.picConfig));
        bus.Delay(20);
        PicCommand(ctx, PicCmd::BeginProgram);
        bus.Delay(150);
        PicCommand(ctx, PicCmd::EndProgram);
        bus.Delay(20);
    }
    PicExitProgramming(ctx);
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::ReadProgram);
    const uint16_t got = PicReadWord(ctx);
    if ((got & 0x1F) == (p.picConfig & 0x1F)) {
        bus.Delay(20000);
        return true;
    }
    PicExitProgramming(ctx);
    bus.ReportMismatch8(uint32_t(2 * p.picCfgIndex), 0, uint8_t(got & 0x1F));
    return false;
}

}  // namespace

void PicProgram12(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    if (ctx.ui().confirm("Do you really want program the device ?")) {
        SetProcessGauge(ctx, "Programming PIC program +ID area", p.picProgWords + p.picIdCount,
                        GaugeColor::Program);
        PicEnterProgramming(ctx);
        PicCommand(ctx, PicCmd::Increment);  // from the configuration word to 0
        bool ok = programArea(ctx) && PicVerify12(ctx);
        if (ok) {
            SetProcessGauge(ctx, "Programming PIC config area", 1, GaugeColor::Program);
            ok = programConfig(ctx);
            if (ok) Message(ctx, "Device Programed OK", MessageKind::Success);
        }
        p.verifyError = ok ? 0 : 1;
    }
    endSerial(ctx);
}

bool PicVerify12(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "verifying PIC program area", p.picProgWords - 1, GaugeColor::Verify);
    ctx.bus.Drive(Line::DataOutLine, 1);
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::Increment);
    // The last program word is the chip's own calibration and is not compared.
    for (int32_t i = 0; i + 1 < p.picProgWords; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        ctx.bus.Delay(1200);
        const uint16_t word = PicReadWord(ctx);
        if ((word & 0x0FFF) != (BufferWord(ctx, i) & 0x0FFF)) {
            ctx.bus.ReportError(Format("Error at $%6x", unsigned(i)));
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return false;
        }
        PicCommand(ctx, PicCmd::Increment);
        ctx.ui().setGaugeProgress(i);
    }
    endSerial(ctx);
    p.verifyError = 0;
    return true;
}

void PicRead12(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "Reading PIC program area", p.bufferSize / 2, GaugeColor::Read);
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::Increment);
    bool cancelled = false;
    // Program and identifier words follow each other.
    for (int32_t i = 0; i < p.picProgWords + p.picIdCount; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        SetBufferWord(ctx, i, PicReadWord(ctx) & 0x0FFF);
        PicCommand(ctx, PicCmd::Increment);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            SerialPowerDown(ctx);
            cancelled = true;
            break;
        }
    }
    if (!cancelled) {
        SerialPowerDown(ctx);
        PicEnterProgramming(ctx);  // the address starts on the configuration word
        PicCommand(ctx, PicCmd::ReadProgram);
        SetBufferWord(ctx, p.picCfgIndex, uint16_t(PicReadWord(ctx) & p.cfgMask));
        p.picConfig = BufferWord(ctx, p.picCfgIndex);
        p.picID = PicIdFromWords(ctx);
        p.bufferLoaded = uint32_t(p.picProgWords);
        p.bufferSize = p.picProgWords;
    }
    if (cancelled)
        Message(ctx, "Process was Cancelled", MessageKind::Error);
    else
        Message(ctx, "PIC dumped OK", MessageKind::Success);
    SerialPowerDown(ctx);
}

bool PicBlankSum12(Context& ctx, uint16_t& sum) {
    const DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "Check Blank PIC program area", p.picProgWords, GaugeColor::Read);
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::Increment);
    uint32_t total = 0;
    for (int32_t i = 0; i + 1 < p.picProgWords; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        const uint16_t word = PicReadWord(ctx);
        PicCommand(ctx, PicCmd::Increment);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            SerialPowerDown(ctx);
            return false;
        }
        total += word & 0x0FFFu;
    }
    SerialPowerDown(ctx);
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::ReadProgram);
    const uint16_t config = PicReadWord(ctx);
    SerialPowerDown(ctx);
    sum = uint16_t((total + (config & 0x1Fu)) & 0xFFFF);
    return true;
}

}  // namespace tavrin
