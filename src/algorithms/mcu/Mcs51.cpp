#include "algorithms/mcu/Mcs51.h"

#include "algorithms/ElectronicId.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// Socket data bit k carries device bit kPermute20[k] on the 20-pin footprint.
constexpr int kPermute20[8] = {2, 4, 6, 7, 5, 3, 1, 0};
constexpr int kProgramAttempts = 11;
constexpr int kVerifyReads = 10;

bool twentyPin(const Context& ctx) {
    return ctx.mcs51.type == 20;
}

// The power-up and the counter advance of the family: the 20-pin part (eep 11) has its own.
void powerUp(Context& ctx) {
    if (ctx.profile.eep == 11)
        Mcs51PowerUp20(ctx);
    else
        ctx.bus.PowerUp();
}

void advance(Context& ctx) {
    if (ctx.profile.eep == 11) Mcs51Advance(ctx);
}

// After a program or lock pulse: Vpp off, the serial lines idle, then the recovery wait.
void endPulse(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::VppLine, 1);
    bus.SetLine(Line::ShiftClock, 0);
    bus.SetLine(Line::ShiftData, 0);
    bus.SetLine(Line::ReadClock, 1);
    bus.WriteData();
    bus.Delay(ctx.mcs51.tWC);
}

// Lock modes the part in the socket cannot take; empty when `mode` can be written.
std::string lockRefusal(const Context& ctx, int32_t mode) {
    if (mode < 0 || mode > 3) return Format("Lock mode %d does not exist (0 to 3)", mode);
    if (mode == 3 && twentyPin(ctx))
        return "Lock Bit 3 does not exist on this Device (lock bits 1 and 2 only)";
    return {};
}

}  // namespace

uint8_t Mcs51ToSocket20(uint8_t deviceByte) {
    uint8_t out = 0;
    for (int k = 0; k < 8; ++k)
        if (deviceByte & (1 << kPermute20[k])) out = uint8_t(out | (1 << k));
    return out;
}

uint8_t Mcs51FromSocket20(uint8_t socketByte) {
    uint8_t out = 0;
    for (int k = 0; k < 8; ++k)
        if (socketByte & (1 << k)) out = uint8_t(out | (1 << kPermute20[k]));
    return out;
}

void Mcs51PowerUp20(Context& ctx) {
    Bus& bus = ctx.bus;
    InitMcs51Timing(ctx.mcs51);
    ctx.mcs51.type = 20;
    bus.PowerUp();
    bus.Drive(Line::StrobeLine, 0);
    // RST held low while the strobe is asserted; its rising edge resets the address counter.
    bus.SetAddressWait(uint32_t(ctx.mcs51.reset20), 0);
    bus.Delay(20);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(30000);
    bus.Delay(30000);
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(20);
}

void Mcs51Advance(Context& ctx) {
    Bus& bus = ctx.bus;
    const Mcs51Timing& t = ctx.mcs51;
    bus.SetAddressWait(uint32_t(t.write20 | t.advance20), 0);  // XTAL1 follows the strobe
    bus.Delay(10);
    bus.StrobePulse(10);
    bus.Delay(10);
}

void Mcs51WriteByte(Context& ctx, uint32_t address, uint8_t value) {
    Bus& bus = ctx.bus;
    const Mcs51Timing& t = ctx.mcs51;
    bus.Drive(Line::StrobeLine, 0);
    if (t.vppMarker == 0xFF) bus.Drive(Line::VppLine, 0);
    if (twentyPin(ctx)) {
        bus.SetAddressWait(uint32_t(t.write20 | t.select20), 0);
        bus.Delay(10);
        bus.PutData(Mcs51ToSocket20(value), 10);
        bus.Delay(15);
    } else {
        bus.SetAddressWait(address | uint32_t(t.write40), 0);
        bus.Delay(8);
        bus.PutData(value, 8);
        bus.Delay(8);
    }
    for (int32_t n = 0; n < t.Pulses; ++n) {
        bus.StrobePulse(t.tWP);
        bus.Delay(20);
    }
    endPulse(ctx);
}

uint8_t Mcs51ReadByte(Context& ctx, uint32_t address) {
    Bus& bus = ctx.bus;
    const Mcs51Timing& t = ctx.mcs51;
    bus.SetLine(Line::DataOutLine, 0);
    bus.SetLine(Line::StrobeLine, 0);
    bus.SetLine(Line::VppLine, 1);
    bus.WriteControl();
    bus.Delay(10);
    if (twentyPin(ctx)) {
        // The internal counter supplies the address.
        bus.SetAddress(uint32_t(t.read20));
        bus.Delay(20);
        return Mcs51FromSocket20(bus.ReadDataByte());
    }
    if (t.at89S == 1) {
        bus.Drive(Line::VppLine, 0);
        bus.Delay(30);
    }
    bus.SetAddress(address | uint32_t(t.read40));
    bus.Delay(20);
    bus.Drive(Line::VppLine, 1);
    return bus.ReadDataByte();
}

void Mcs51LockPulse(Context& ctx, int32_t pattern) {
    Bus& bus = ctx.bus;
    const Mcs51Timing& t = ctx.mcs51;
    bus.Drive(Line::StrobeLine, 0);
    bus.Drive(Line::VppLine, 0);
    if (twentyPin(ctx)) {
        bus.SetAddressWait(uint32_t(pattern | t.select20), 0);
        bus.Delay(15);
    } else {
        bus.SetAddressWait(uint32_t(pattern), 0);
        bus.Delay(15);
        bus.PutData(t.lockData, 0);
        bus.Delay(15);
    }
    bus.StrobePulse(t.tWPb);
    bus.Delay(20);
    endPulse(ctx);
}

void Mcs51WriteLock(Context& ctx, int32_t mode) {
    Mcs51Timing& t = ctx.mcs51;
    if (mode < 1 || mode > 3) return;
    if (twentyPin(ctx)) {
        if (mode >= 1) Mcs51LockPulse(ctx, t.lock1_20);
        if (mode == 2) Mcs51LockPulse(ctx, t.lock2_20);
        return;  // the 20-pin parts have no lock bit 3
    }
    if (t.at89S == 1) {
        // One write; P0.7, P0.6, P0.5 low select lock bits 1, 2, 3.
        static constexpr uint8_t kLockData[] = {0x7F, 0x3F, 0x1F};
        t.lockData = kLockData[mode - 1];
        Mcs51LockPulse(ctx, t.lock3_40);
        return;
    }
    t.lockData = Mcs51ReadByte(ctx, 0);
    Mcs51LockPulse(ctx, t.lock1_40);
    if (mode >= 2) Mcs51LockPulse(ctx, t.lock2_40);
    if (mode >= 3) Mcs51LockPulse(ctx, t.lock3_40);
}

void Mcs51EraseChip(Context& ctx) {
    Bus& bus = ctx.bus;
    const Mcs51Timing& t = ctx.mcs51;
    bus.SetAddressWait(uint32_t(twentyPin(ctx) ? t.erase20 | t.select20 : t.erase40), 0);
    bus.Drive(Line::DataOutLine, 1);
    bus.Delay(20);
    bus.Drive(Line::VppLine, 0);
    bus.Delay(200);
    bus.StrobePulse(t.tWPe);
    bus.Delay(30000);
    bus.Delay(1000);
    bus.Drive(Line::VppLine, 1);
    bus.Delay(20000);
}

void Mcs51ReadSignature(Context& ctx) {
    Bus& bus = ctx.bus;
    Mcs51Timing& t = ctx.mcs51;
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(500);
    auto readAt = [&](uint32_t address) {
        bus.SetAddress(address);
        bus.Delay(10);
        return bus.ReadDataByte();
    };
    if (twentyPin(ctx)) {
        for (int j = 0; j < 3; ++j) {
            bus.SetAddress(0);
            bus.Delay(20);
            if (j > 0) bus.Delay(10);
            t.signature[size_t(j)] = Mcs51FromSocket20(bus.ReadDataByte());
            if (j < 2) Mcs51Advance(ctx);
        }
    } else {
        t.signature[0] = readAt(0x30);
        if (t.signature[0] == 0xFF) {
            bus.Drive(Line::VppLine, 0);
            bus.Delay(100);
            t.signature[0] = readAt(0x30);
        }
        t.signature[1] = readAt(0x31);
        t.signature[2] = readAt(0x32);
        if (t.signature[1] == 0xFF) {
            // AT89C51RC-type parts keep their three bytes at 000H, 100H and 200H (030H is not
            // defined there, so the maker's code must come from 000H as well).
            t.signature[0] = readAt(0x000);
            t.signature[1] = readAt(0x100);
            t.signature[2] = readAt(0x200);
        }
    }
    t.vppMarker = 0xFF;
    bus.Delay(20);
    bus.Drive(Line::VppLine, 1);
    bus.Delay(100);
}

void Mcs51ReadLockBits(Context& ctx) {
    Bus& bus = ctx.bus;
    Mcs51Timing& t = ctx.mcs51;
    bus.Drive(Line::StrobeLine, 0);
    bus.Delay(100);
    bus.SetAddressWait(uint32_t(t.at89S == 1 ? t.lock2_40 : t.lockRead40), 0);
    bus.Delay(10);
    t.sig_Lbit = bus.ReadDataByte();
    bus.Delay(100);
}

void ProgramMcs51(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Mcs51Timing& t = ctx.mcs51;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    powerUp(ctx);
    p.verifyError = 0;
    const int32_t savedWait = t.tWC;
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t d = ctx.Buffer[size_t(i)];
        uint8_t r = 0;
        bool written = false;
        for (int attempt = 1; attempt <= kProgramAttempts && !written; ++attempt) {
            Mcs51WriteByte(ctx, uint32_t(i), d);
            r = Mcs51ReadByte(ctx, uint32_t(i));
            written = r == d;
            if (!written) t.tWC += 100;  // a slow cell: wait longer from now on
        }
        if (!written) {
            ctx.bus.ReportMismatch8(uint32_t(i), 0, r);
            p.verifyError = 1;
            break;
        }
        advance(ctx);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "Program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    t.tWC = savedWait;
    if (p.verifyError == 0) VerifyMcs51(ctx);
    if (p.verifyError == 0) {
        if (t.LockBit != 0) {
            ctx.bus.PowerDown();
            ctx.bus.Delay(30000);
            if (LockMcs51(ctx)) Message(ctx, "Device Programmed & Lock bit", MessageKind::Success);
        } else {
            Message(ctx, "Device Programmed OK", MessageKind::Success);
        }
    }
    ctx.bus.PowerDown();
}

void VerifyMcs51(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Verify chip", p.bufferLoaded, GaugeColor::Verify);
    powerUp(ctx);
    p.verifyError = 0;
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t d = ctx.Buffer[size_t(i)];
        uint8_t r = 0;
        for (int n = 0; n < kVerifyReads; ++n) {
            r = Mcs51ReadByte(ctx, uint32_t(i));
            if (r == d) break;
        }
        if (r != d) {
            ctx.bus.ReportMismatch8(uint32_t(i), 0, r);
            p.verifyError = 1;
            break;
        }
        advance(ctx);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0) Message(ctx, "Device Verify OK", MessageKind::Success);
    ctx.bus.PowerDown();
}

void ReadMcs51(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    ClearBuf(ctx, 1);
    SetProcessGauge(ctx, "READ chip", p.bufferSize, GaugeColor::Read);
    powerUp(ctx);
    bool cancelled = false;
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        ctx.Buffer[size_t(i)] = Mcs51ReadByte(ctx, uint32_t(i));
        advance(ctx);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            cancelled = true;
            break;
        }
    }
    if (!cancelled) Message(ctx, "Device Read OK", MessageKind::Success);
    p.bufferLoaded = uint32_t(p.bufferSize);
    ctx.bus.PowerDown();
}

void BlankCheckMcs51(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    SetProcessGauge(ctx, "Checking Device is Empty", p.bufferSize, GaugeColor::Blank);
    powerUp(ctx);
    bool stopped = false;
    for (int64_t i = 0; i < p.bufferSize && !stopped; ++i) {
        if (Mcs51ReadByte(ctx, uint32_t(i)) != 0xFF) {
            Message(ctx, Format("Device is NOT Empty ($%4.4x)", unsigned(i)), MessageKind::Error);
            stopped = true;
            break;
        }
        advance(ctx);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "Device Check was Cancelled", MessageKind::Error);
            stopped = true;
        }
    }
    if (!stopped) Message(ctx, "Device is Empty", MessageKind::Success);
    ctx.bus.PowerDown();
}

void EraseMcs51(Context& ctx) {
    Bus& bus = ctx.bus;
    // The 87C5x parts are UV EPROMs: no electrical erase exists for them.
    if (ctx.mcs51.uvEprom) {
        Message(ctx, "Cannot Erase this Device", MessageKind::Error);
        return;
    }
    SetProcessGauge(ctx, "erasing chip", 10, GaugeColor::Program);
    const int passes = ctx.mcs51.tErase == 1 ? 3 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        if (pass > 0) bus.Delay(25000);
        bus.PowerUp();
        if (pass == 0) bus.Drive(Line::StrobeLine, 0);
        Mcs51EraseChip(ctx);
        bus.PowerDown();
    }
    bus.Delay(25000);
}

void ReadIdMcs51(Context& ctx) {
    powerUp(ctx);
    Mcs51ReadSignature(ctx);
    ctx.bus.PowerDown();
    ShowElectronicId(ctx, ctx.mcs51.signature[0], ctx.mcs51.signature[1]);
}

bool LockMcs51(Context& ctx) {
    const int32_t mode = ctx.mcs51.LockBit;
    if (mode == 0) return true;
    if (const std::string why = lockRefusal(ctx, mode); !why.empty()) {
        Message(ctx, why, MessageKind::Error);
        return false;
    }
    powerUp(ctx);
    ctx.bus.Drive(Line::StrobeLine, 0);
    Mcs51WriteLock(ctx, mode);
    ctx.bus.Delay(30000);
    Message(ctx, "Device LockBit ", MessageKind::Success);
    ctx.bus.PowerDown();
    return true;
}

bool LockDialogLock(Context& ctx, int comboIndex) {
    ctx.mcs51.LockBit = comboIndex;
    return LockMcs51(ctx);
}

std::string ShowLockBitsMcs51(Context& ctx) {
    Mcs51Timing& t = ctx.mcs51;
    std::string text;
    if (t.ird_lbit == 1) {
        ctx.bus.PowerUp();
        Mcs51ReadLockBits(ctx);
        ctx.bus.PowerDown();
        const unsigned b = t.sig_Lbit;
        if (t.at89S == 1)
            text = Format("  Bit 1,2,3 (D2,1,0) = %X%X%X", (b >> 2) & 1, (b >> 1) & 1, b & 1);
        else
            text = Format(" Bit 1,2,3 (D2,3,4) = %X%X%X", (b >> 2) & 1, (b >> 3) & 1, (b >> 4) & 1);
    } else {
        text = " Chip can not read Lock bit..";
    }
    ctx.ui().showResult("pRdLB", text);
    return text;
}

}  // namespace tavrin
