// 14-bit flash PICs (16C84, 16F83, 16F84(A), 16F62x, 16F87x): bulk erase, programming of the
// program, data EEPROM, identifier and configuration words with read-back after each write, and
// the device ID at 0x2006. The write time tWC is kept in microseconds.
#include "algorithms/mcu/Pic.h"
#include "algorithms/mcu/PicSerial.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kWordAttempts = 9;
constexpr int kDataAttempts = 5;
constexpr int kIdAttempts = 9;
constexpr double kRetryStepUs = 500;

// Command 1, 7, Begin Programming, the erase time, then 1, 7 again; ends unpowered.
void eraseSequence(Context& ctx) {
    PicCommand(ctx, PicCmd::EraseSetup1);
    PicCommand(ctx, PicCmd::EraseSetup2);
    PicCommand(ctx, PicCmd::BeginProgram);
    ctx.bus.Delay(14319);  // 12 ms
    PicCommand(ctx, PicCmd::EraseSetup1);
    PicCommand(ctx, PicCmd::EraseSetup2);
    SerialPowerDown(ctx);
    ctx.bus.Drive(Line::DataOutLine, 0);
}

// One write with read-back at the current address, longer waits on each retry.
bool writeWithRetry(Context& ctx, uint8_t load, uint8_t read, uint16_t value, uint16_t compare,
                    int attempts, uint16_t& got) {
    Bus& bus = ctx.bus;
    double t = ctx.profile.tWC;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        PicCommand(ctx, load);
        bus.Delay(25);
        PicSendWord(ctx, value);
        bus.Delay(25);
        PicCommand(ctx, PicCmd::BeginProgram);
        bus.Delay(PicMicrosecondsToTicks(t));
        PicCommand(ctx, read);
        bus.Delay(25);
        got = PicReadWord(ctx);
        if ((got & compare) == (value & compare)) return true;
        t += kRetryStepUs;
    }
    return false;
}

}  // namespace

void PicErase(Context& ctx) {
    ctx.bus.Drive(Line::DataOutLine, 1);
    // Load Configuration and seven increments put the address on the configuration word, where
    // the erase sequence clears everything, code protection included.
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::LoadConfig);
    PicSendWord(ctx, 0x3FFF);
    for (int k = 0; k < 7; ++k) PicCommand(ctx, PicCmd::Increment);
    eraseSequence(ctx);
    // The data memory on its own.
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::LoadData);
    PicSendWord(ctx, 0x3FFF);
    eraseSequence(ctx);
}

void PicProgramFlash(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    PicErase(ctx);
    SetProcessGauge(ctx, "programming PIC program area", p.picProgWords, GaugeColor::Program);
    PicEnterProgramming(ctx);
    for (int32_t i = 0; i < p.picProgWords; ++i) {
        uint16_t got = 0;
        if (!writeWithRetry(ctx, PicCmd::LoadProgram, PicCmd::ReadProgram, BufferWord(ctx, i),
                            0x3FFF, kWordAttempts, got)) {
            bus.ReportError("Error writing program area");
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return;
        }
        bus.Delay(25);
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(25);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            bus.PowerDown();
            return;
        }
    }
    SetProcessGauge(ctx, "programming PIC data area", p.picDataBytes, GaugeColor::Program);
    PicEnterProgramming(ctx);
    for (int32_t j = 0; j < p.picDataBytes; ++j) {
        uint16_t got = 0;
        const uint16_t value = BufferWord(ctx, kPicDataWord + j);
        if (!writeWithRetry(ctx, PicCmd::LoadData, PicCmd::ReadData, value, 0xFF, kDataAttempts,
                            got)) {
            bus.ReportMismatch8(uint32_t(0x4200 + 2 * j), 0, uint8_t(got));
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return;
        }
        bus.Delay(10);
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(10);
        ctx.ui().setGaugeProgress(j);
    }
    if (PicVerify14(ctx)) {
        SetProcessGauge(ctx, "Programming PIC Config area", 1, GaugeColor::Program);
        // The run ends on its verdict rather than on the caption of its last step.
        if (PicWriteConfigFlash(ctx)) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    bus.Delay(30000);
    bus.PowerDown();
}

bool PicWriteConfigFlash(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    p.picConfig = BufferWord(ctx, p.picCfgIndex) & p.cfgMask;
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::LoadConfig);
    bus.Delay(100);
    PicSendWord(ctx, uint16_t(p.picConfig));
    bus.Delay(100);  // address 0x2000, the first identifier word
    for (int k = 0; k < p.picIdCount; ++k) {
        const uint16_t word = BufferWord(ctx, p.picIdBase + k);
        bool done = false;
        for (int attempt = 1; attempt <= kIdAttempts && !done; ++attempt) {
            PicCommand(ctx, PicCmd::LoadProgram);
            bus.Delay(30);
            PicSendWord(ctx, word);
            bus.Delay(30);
            PicCommand(ctx, PicCmd::BeginProgram);
            bus.Delay(14319);  // 12 ms
            PicCommand(ctx, PicCmd::ReadProgram);
            bus.Delay(30);
            done = (PicReadWord(ctx) & 0x3FFF) == (word & 0x3FFF);
        }
        if (!done) {
            bus.ReportError("Error writing PIC id area");
            SerialPowerDown(ctx);
            p.verifyError = 1;
            return false;
        }
        bus.Delay(30);
        PicCommand(ctx, PicCmd::Increment);
        bus.Delay(30);
    }
    for (int k = 0; k < 3; ++k) PicCommand(ctx, PicCmd::Increment);
    bus.Delay(100);  // address 0x2007
    PicCommand(ctx, PicCmd::LoadProgram);
    bus.Delay(120);
    PicSendWord(ctx, uint16_t(p.picConfig));
    bus.Delay(120);
    PicCommand(ctx, PicCmd::BeginProgram);
    bus.Delay(23864);  // 20 ms
    PicCommand(ctx, PicCmd::ReadProgram);
    bus.Delay(120);
    if ((PicReadWord(ctx) & p.cfgMask) == p.picConfig) return true;
    bus.ReportError("Error blowing fuses");
    SerialPowerDown(ctx);
    p.verifyError = 1;
    return false;
}

void PicGetId(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    PicEnterProgramming(ctx);
    PicCommand(ctx, PicCmd::LoadConfig);
    PicSendWord(ctx, uint16_t(p.picConfig));
    uint16_t id = 0;
    for (int k = 0; k < 7; ++k) {  // the seventh word read is at 0x2006
        PicCommand(ctx, PicCmd::ReadProgram);
        id = PicReadWord(ctx) & 0x3FFF;
        PicCommand(ctx, PicCmd::Increment);
    }
    SerialPowerDown(ctx);
    ctx.bus.Drive(Line::DataOutLine, 0);
    const PicDeviceIdView v = DecodePicDeviceId(id);
    ctx.ui().showResult("pPICdeviceID", "Hex" + v.hex + "\nDev" + v.bits + "\nRev" + v.rev +
                                            "\nDevice Name" + v.name);
}

}  // namespace tavrin
