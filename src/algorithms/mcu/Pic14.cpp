// The routines both 14-bit PIC groups share: verify, read, blank sum, and the blank check and
// verify commands of every group.
#include <array>

#include "algorithms/mcu/Pic.h"
#include "algorithms/mcu/PicSerial.h"
#include "algorithms/serial/SerialPowerDown.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

void endSerial(Context& ctx) {
    SerialPowerDown(ctx);
    ctx.bus.Drive(Line::DataOutLine, 0);
}

bool failVerify(Context& ctx, const std::string& text) {
    ctx.bus.ReportError(text);
    SerialPowerDown(ctx);
    ctx.profile.verifyError = 1;
    return false;
}

}  // namespace

bool PicVerify14(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "verifying PIC program area", p.picProgWords - 1, GaugeColor::Verify);
    bus.Drive(Line::DataOutLine, 1);
    PicEnterProgramming(ctx);
    for (int32_t i = 0; i < p.picProgWords; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        const uint16_t word = PicReadWord(ctx);
        if ((word & 0x3FFF) != (BufferWord(ctx, i) & 0x3FFF))
            return failVerify(ctx, "Error verifying PIC");
        PicCommand(ctx, PicCmd::Increment);
        ctx.ui().setGaugeProgress(i);
    }
    if (p.picDataBytes > 0) {
        SetProcessGauge(ctx, "verifying PIC data area", p.picDataBytes - 1, GaugeColor::Verify);
        PicEnterProgramming(ctx);
        for (int32_t j = 0; j < p.picDataBytes; ++j) {
            PicCommand(ctx, PicCmd::ReadData);
            const uint16_t byte = PicReadWord(ctx);
            if ((byte & 0xFF) != (BufferWord(ctx, kPicDataWord + j) & 0xFF))
                return failVerify(ctx, "Error verifying PIC data area");
            PicCommand(ctx, PicCmd::Increment);
            ctx.ui().setGaugeProgress(j);
        }
    }
    endSerial(ctx);
    p.verifyError = 0;
    Message(ctx, "Device Verified OK", MessageKind::Success);
    return true;
}

void PicRead14(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    ClearBuf(ctx, 1);
    SetProcessGauge(ctx, "Reading PIC program area", p.picProgWords, GaugeColor::Read);
    PicEnterProgramming(ctx);
    bool cancelled = false;
    for (int32_t i = 0; i < p.picProgWords && !cancelled; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        SetBufferWord(ctx, i, PicReadWord(ctx) & 0x3FFF);
        PicCommand(ctx, PicCmd::Increment);
        cancelled = StepCancelled(ctx, i);
    }
    if (!cancelled && p.picDataBytes > 0) {
        SetProcessGauge(ctx, "Reading Data program area", p.picDataBytes, GaugeColor::Read);
        PicEnterProgramming(ctx);
        for (int32_t j = 0; j < p.picDataBytes && !cancelled; ++j) {
            PicCommand(ctx, PicCmd::ReadData);
            SetBufferWord(ctx, kPicDataWord + j, PicReadWord(ctx) & 0xFF);
            PicCommand(ctx, PicCmd::Increment);
            cancelled = StepCancelled(ctx, j);
        }
    }
    if (!cancelled) {
        // Identifiers, the two reserved words and the device ID, then the configuration word.
        PicCommand(ctx, PicCmd::LoadConfig);
        PicSendWord(ctx, uint16_t(p.picConfig));
        for (int k = 0; k < 7; ++k) {
            PicCommand(ctx, PicCmd::ReadProgram);
            SetBufferWord(ctx, p.picIdBase + k, PicReadWord(ctx) & 0x3FFF);
            PicCommand(ctx, PicCmd::Increment);
        }
        PicCommand(ctx, PicCmd::ReadProgram);
        SetBufferWord(ctx, p.picCfgIndex, uint16_t(PicReadWord(ctx) & p.cfgMask));
        p.picConfig = BufferWord(ctx, p.picCfgIndex);
        p.picID = PicIdFromWords(ctx);
        p.bufferLoaded = uint32_t(p.picProgWords);
        p.bufferSize = p.picProgWords;
    }
    endSerial(ctx);
    if (cancelled)
        Message(ctx, "Process Cancelled", MessageKind::Error);
    else
        Message(ctx, "PIC dumped OK", MessageKind::Success);
}

bool PicBlankSum14(Context& ctx, uint16_t& sum) {
    const DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "Check blank PIC program area", p.picProgWords, GaugeColor::Read);
    PicEnterProgramming(ctx);
    uint32_t total = 0;
    for (int32_t i = 0; i < p.picProgWords; ++i) {
        PicCommand(ctx, PicCmd::ReadProgram);
        const uint16_t word = PicReadWord(ctx);
        PicCommand(ctx, PicCmd::Increment);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            SerialPowerDown(ctx);
            return false;
        }
        total += word & 0x3FFFu;
    }
    PicCommand(ctx, PicCmd::LoadConfig);
    PicSendWord(ctx, uint16_t(p.picConfig));
    for (int k = 0; k < 7; ++k) PicCommand(ctx, PicCmd::Increment);
    PicCommand(ctx, PicCmd::ReadProgram);
    const uint16_t config = PicReadWord(ctx) & 0x3FFF;
    SerialPowerDown(ctx);
    sum = uint16_t((uint32_t(config & p.cfgMask) + total + uint32_t(p.blankAdjust)) & 0xFFFF);
    return true;
}

void PicBlankCheck(Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    uint16_t sum = 0;
    // A cancelled run has no sum to judge: it ends with its own message.
    const bool done = p.eep == 18 ? PicBlankSum12(ctx, sum) : PicBlankSum14(ctx, sum);
    ctx.bus.Drive(Line::DataOutLine, 0);
    if (!done) return;
    ctx.ui().showResult("edPICbk", Format(" 0x%04X", unsigned(sum)));
    if (sum == uint16_t(p.bkCode))
        Message(ctx, "Device Blank", MessageKind::Success);
    else
        Message(ctx, "Device NOT blank!", MessageKind::Error);
}

void PicVerifyCommand(Context& ctx) {
    if (ctx.profile.eep != 18) {
        PicVerify14(ctx);
        return;
    }
    // The 12-bit verify has no verdict of its own; the command gives the one the 14-bit parts
    // give.
    if (PicVerify12(ctx)) Message(ctx, "Device Verified OK", MessageKind::Success);
}

PicDeviceIdView DecodePicDeviceId(uint16_t id) {
    struct Name {
        uint16_t key;
        const char* name;
    };
    static constexpr std::array<Name, 12> kNames = {{
        {0x0560, " PIC 16F84A"},
        {0x07A0, " PIC 16F627"},
        {0x07C0, " PIC 16F628"},
        {0x0720, " PIC 16F87"},
        {0x0760, " PIC 16F88"},
        {0x08E0, " PIC 16F872"},
        {0x0920, " PIC 16F874"},
        {0x0960, " PIC 16F873"},
        {0x09A0, " PIC 16F877"},
        {0x09E0, " PIC 16F876"},
        {0x0D00, " PIC 16F870"},
        {0x0D20, " PIC 16F871"},
    }};
    PicDeviceIdView v;
    v.hex = Format(" 0x%04X", unsigned(id));
    auto bit = [&](int b) { return char('0' + ((id >> b) & 1)); };
    for (int b = 13; b >= 5; --b) {
        if (b == 13 || b == 11 || b == 7) v.bits += ' ';
        v.bits += bit(b);
    }
    v.rev = std::string(" ") + bit(4) + ' ' + bit(3) + bit(2) + bit(1) + bit(0);
    v.name = " [ ???? ]";
    for (const Name& n : kNames)
        if (n.key == (id & 0x3FE0)) v.name = n.name;
    return v;
}

}  // namespace tavrin
