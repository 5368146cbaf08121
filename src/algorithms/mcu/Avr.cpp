#include "algorithms/mcu/Avr.h"

#include <algorithm>

#include "algorithms/ElectronicId.h"
#include "algorithms/mcu/AvrBus.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kReads = 11;  // a word or byte is read up to this often before it counts as wrong
constexpr uint32_t kEepromImage = 0x40000;
constexpr uint8_t kSpienBit = 0x20;

uint32_t eepromBase(const DeviceProfile& p) {
    return p.avrEepromBase > 0 ? uint32_t(p.avrEepromBase) : kEepromImage;
}

uint32_t eepromSize(const Context& ctx) {
    // The image area ends where the buffer does, whatever a profile says.
    const uint32_t base = eepromBase(ctx.profile);
    const uint32_t room = base < ctx.Buffer.size() ? uint32_t(ctx.Buffer.size()) - base : 0;
    return std::min<uint32_t>(uint32_t(std::max(0, ctx.profile.avrEepromSize)), room);
}

// bufferLoaded clipped to the flash: the last byte offset a program or verify pass covers.
void clipLoaded(DeviceProfile& p) {
    if (p.bufferSize > 0 && p.bufferLoaded >= uint32_t(p.bufferSize))
        p.bufferLoaded = uint32_t(p.bufferSize) - 1;
}

// The flash words a program or verify pass covers: every word holding a byte up to bufferLoaded,
// never past the flash; none when nothing was loaded for the flash (a lone EEP file).
uint32_t loadedWords(const DeviceProfile& p) {
    if (p.bufferSize <= 0 || p.bufferLoaded == 0) return 0;
    return std::min<uint32_t>(p.bufferLoaded / 2 + 1, uint32_t(p.bufferSize) / 2);
}

enum class Stop { None, Mismatch, Cancelled };

}  // namespace

uint8_t AvrLockByte(int32_t mode) {
    switch (mode) {
        case 2:
            return 0xFD;
        case 3:
            return 0xF9;
        default:
            return 0xFF;
    }
}

int AvrLockModeOf(uint8_t lockRead) {
    const bool lb1 = !(lockRead & 0x80), lb2 = !(lockRead & 0x40);
    if (lb1 && lb2) return 3;
    if (lb1) return 2;
    return lb2 ? 0 : 1;
}

void AvrProgram(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    AvrControl& c = p.avrControl;
    p.verifyError = 0;
    clipLoaded(p);
    const uint32_t words = loadedWords(p);
    if (words > 0)
        SetProcessGauge(ctx, "programming chip (FLASH)", p.bufferLoaded, GaugeColor::Program);
    AvrEnterProgramming(ctx);
    bool cancelled = false;
    for (uint32_t w = 0; w < words && !cancelled; ++w) {
        c.dataLow = ctx.Buffer[2 * w];
        c.dataHigh = ctx.Buffer[2 * w + 1];
        AvrWriteFlashWord(ctx, w);
        cancelled = StepCancelled(ctx, 2 * w);
    }
    if (!cancelled) {
        const uint32_t base = eepromBase(p), size = eepromSize(ctx);
        SetProcessGauge(ctx, "programming chip (EEPROM)", p.avrEepromSize, GaugeColor::Program);
        for (uint32_t a = 0; a < size && !cancelled; ++a) {
            c.dataLow = ctx.Buffer[base + a];
            AvrWriteEepromByte(ctx, a);
            cancelled = StepCancelled(ctx, a);
        }
    }
    if (cancelled) {
        Message(ctx, "Program interrupted!", MessageKind::Error);
        p.verifyError = 1;
    } else {
        AvrVerify(ctx);
    }
    ctx.bus.PowerDown();
}

void AvrVerify(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    AvrControl& c = p.avrControl;
    clipLoaded(p);
    const uint32_t words = loadedWords(p);
    if (words > 0)
        SetProcessGauge(ctx, "Verify chip ( FLASH )", p.bufferLoaded, GaugeColor::Verify);
    AvrEnterProgramming(ctx);
    p.verifyError = 0;
    Stop stop = Stop::None;
    for (uint32_t w = 0; w < words && stop == Stop::None; ++w) {
        const uint8_t low = ctx.Buffer[2 * w], high = ctx.Buffer[2 * w + 1];
        bool same = false;
        for (int r = 0; r < kReads && !same; ++r) {
            AvrReadFlashWord(ctx, w);
            same = c.dataLow == low && c.dataHigh == high;
        }
        if (!same) {
            ctx.bus.ReportMismatch16(2 * w, 0, c.dataLow, c.dataHigh);
            stop = Stop::Mismatch;
        } else if (StepCancelled(ctx, 2 * w + 2)) {
            stop = Stop::Cancelled;
        }
    }
    if (stop == Stop::None) {
        const uint32_t base = eepromBase(p), size = eepromSize(ctx);
        SetProcessGauge(ctx, "Verify chip ( EEPROM )", p.avrEepromSize, GaugeColor::Verify);
        for (uint32_t a = 0; a < size && stop == Stop::None; ++a) {
            bool same = false;
            for (int r = 0; r < kReads && !same; ++r) {
                AvrReadEepromByte(ctx, a);
                same = c.dataLow == ctx.Buffer[base + a];
            }
            if (!same) {
                ctx.bus.ReportMismatch8(base + a, 0, c.dataLow);
                stop = Stop::Mismatch;
            } else if (StepCancelled(ctx, a)) {
                stop = Stop::Cancelled;
            }
        }
    }
    if (stop == Stop::Cancelled) Message(ctx, "program interrupted!", MessageKind::Error);
    if (stop != Stop::None) p.verifyError = 1;
    if (p.verifyError == 0) Message(ctx, "Device Verify OK", MessageKind::Success);
    ctx.bus.PowerDown();
}

void AvrRead(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    AvrControl& c = p.avrControl;
    ClearBuf(ctx, 1);
    SetProcessGauge(ctx, "READ chip (Flash)", p.bufferSize, GaugeColor::Verify);
    AvrEnterProgramming(ctx);
    p.verifyError = 0;
    bool cancelled = false;
    const uint32_t words = uint32_t(std::max(0, p.bufferSize)) / 2;
    for (uint32_t w = 0; w < words && !cancelled; ++w) {
        AvrReadFlashWord(ctx, w);
        ctx.Buffer[2 * w] = c.dataLow;
        ctx.Buffer[2 * w + 1] = c.dataHigh;
        cancelled = StepCancelled(ctx, 2 * w + 2);
    }
    if (!cancelled) {
        const uint32_t base = eepromBase(p), size = eepromSize(ctx);
        SetProcessGauge(ctx, "READ chip (EEPROM)", p.avrEepromSize, GaugeColor::Verify);
        for (uint32_t a = 0; a < size && !cancelled; ++a) {
            AvrReadEepromByte(ctx, a);
            ctx.Buffer[base + a] = c.dataLow;
            cancelled = StepCancelled(ctx, a);
        }
    }
    if (cancelled) {
        Message(ctx, "program interrupted!", MessageKind::Error);
        p.verifyError = 1;
    } else {
        Message(ctx, "Device Read OK", MessageKind::Success);
    }
    p.bufferLoaded = uint32_t(std::max(0, p.bufferSize));
    ctx.bus.PowerDown();
}

void AvrErase(Context& ctx) {
    Bus& bus = ctx.bus;
    SetProcessGauge(ctx, "Erasing chip", 10, GaugeColor::Program);
    AvrEnterProgramming(ctx);
    bus.Delay(30000);
    AvrChipErase(ctx);
    for (int i = 0; i < 5; ++i) bus.Delay(30000);
    bus.PowerDown();
}

void AvrBlankCheck(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    AvrControl& c = p.avrControl;
    SetProcessGauge(ctx, "Checking Device is Empty", p.bufferSize, GaugeColor::Blank);
    AvrEnterProgramming(ctx);
    const uint32_t words = uint32_t(std::max(0, p.bufferSize)) / 2;
    for (uint32_t w = 0; w < words; ++w) {
        bool blank = false;
        for (int r = 0; r < kReads && !blank; ++r) {
            AvrReadFlashWord(ctx, w);
            blank = c.dataLow == 0xFF && c.dataHigh == 0xFF;
        }
        if (!blank) {
            Message(ctx, Format("Device is NOT Empty ($%4.4x)", 2 * w), MessageKind::Error);
            ctx.bus.PowerDown();
            return;
        }
        if (StepCancelled(ctx, 2 * w + 2)) {
            Message(ctx, "Device Check was Cancelled", MessageKind::Error);
            ctx.bus.PowerDown();
            return;
        }
    }
    Message(ctx, "Device is Empty", MessageKind::Success);
    ctx.bus.PowerDown();
}

void AvrGetId(Context& ctx) {
    const AvrControl& c = ctx.profile.avrControl;
    AvrEnterProgramming(ctx);
    AvrReadSignature(ctx);
    AvrReadLock(ctx);
    ctx.bus.Delay(1000);
    ctx.bus.PowerDown();
    ShowElectronicId(ctx, c.signature[0], c.signature[1], AvrIdExtras{c.signature[2], c.lockRead});
}

void AvrSetLock(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const int32_t mode = std::clamp(p.avrLockMode, 1, 3);
    AvrEnterProgramming(ctx);
    AvrWriteLock(ctx, AvrLockByte(mode));
    ctx.bus.Delay(30000);
    // Lock bits only ever get programmed; the mode the part is in afterwards is what counts.
    AvrReadLock(ctx);
    const int now = AvrLockModeOf(p.avrControl.lockRead);
    if (now == mode) {
        Message(ctx, "Device AVR LockBit ", MessageKind::Success);
        ctx.bus.PowerDown();
        return;
    }
    ctx.bus.ReportError(
        now > mode
            ? Format("Device AVR LockBit : the part stays in lock mode %d until a chip erase", now)
            : Format("Device AVR LockBit not written: lock byte reads 0x%02X",
                     p.avrControl.lockRead));
}

void AvrSetFuse(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const uint8_t fuse = uint8_t(p.avrFuse);
    const uint8_t mask = uint8_t(p.avrFuseMask ? p.avrFuseMask : 0x3F);
    if ((fuse & kSpienBit) &&
        !ctx.ui().confirm(
            Format("Fuse byte 0x%02X unprograms SPIEN: the part will no longer accept "
                   "serial programming. Write it?",
                   fuse))) {
        Message(ctx, "Device AVR FuseBit not written", MessageKind::Error);
        return;
    }
    AvrEnterProgramming(ctx);
    AvrWriteFuse(ctx, fuse);
    ctx.bus.Delay(30000);
    AvrReadFuse(ctx);
    const uint8_t read = p.avrControl.fuseRead;
    if (((read ^ fuse) & mask) == 0) {
        Message(ctx, "Device AVR FuseBit ", MessageKind::Success);
        ctx.bus.PowerDown();
        return;
    }
    ctx.bus.ReportError(Format("Device AVR FuseBit did not take: wrote 0x%02X, reads 0x%02X",
                               fuse & mask, read & mask));
}

}  // namespace tavrin
