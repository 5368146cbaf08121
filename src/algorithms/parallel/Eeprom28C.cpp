#include "algorithms/parallel/Eeprom28C.h"

#include <algorithm>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kMaxWrites = 26;
constexpr int32_t kWaitStep = 1000;  // added to the write-cycle wait after each wrong read
constexpr int32_t kWaitCap = 15000;  // 12.6 ms, above every 28C write cycle

// Write-cycle wait and strobe width of a run; a wait raised by a retry stays raised for the rest
// of the run, so a part slower than tWC costs retries only on its first bytes.
struct ByteWriter {
    int32_t wait;
    int32_t width;
    uint8_t readBack = 0;
};

uint32_t address28C(const DeviceProfile& p, uint32_t a) {
    uint32_t bus = BusAddress(p, a);
    if (p.pin30 == 1) bus |= 0x20000;
    return bus;
}

bool writeByte(Context& ctx, uint32_t busAddress, uint8_t v, ByteWriter& w) {
    Bus& bus = ctx.bus;
    for (int writes = 1;; ++writes) {
        bus.Drive(Line::StrobeLine, 0);
        bus.SetAddressWait(busAddress, 2);
        bus.PutData(v, 2);
        bus.StrobePulse(w.width);
        bus.Delay(w.wait);
        bus.Delay(2);
        bus.PortOut(bus.DataPort, 0);
        bus.Drive(Line::DataOutLine, 0);
        w.readBack = bus.ReadDataByte();
        if (w.readBack == v) return true;
        if (writes >= kMaxWrites) return false;
        w.wait = std::min(w.wait + kWaitStep, kWaitCap);
    }
}

}  // namespace

void Program28C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const uint32_t loadedCopy = p.bufferLoaded;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    ByteWriter w{p.tWC, p.tWP};
    p.verifyError = 0;
    bus.PowerUp();
    bus.SetAddress(0);
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t v = ctx.Buffer[size_t(i)];
        // Skipped: 0xFF bytes when the user asked so, and bytes a differential write found in place.
        if (!(p.skipFF == 1 && v == 0xFF) && ctx.writePlan.writes(i) &&
            !writeByte(ctx, address28C(p, p.Offset + uint32_t(i)), v, w)) {
            bus.ReportMismatch8(uint32_t(i), p.Offset, w.readBack);
            p.verifyError = 1;
            break;
        }
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
    p.bufferLoaded = loadedCopy;
    bus.PowerDown();
}

void Fill28C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const uint32_t loadedCopy = p.bufferLoaded;
    SetProcessGauge(ctx, "Fill 0xFF", p.bufferSize, GaugeColor::Program);
    ByteWriter w{p.tWC, p.tWP};
    p.verifyError = 0;
    bus.PowerUp();
    bus.SetAddress(0);
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        // The fill covers the device from address 0, whatever the offset says.
        if (!writeByte(ctx, address28C(p, uint32_t(i)), 0xFF, w)) {
            ReportWriteFailure(ctx, uint32_t(i), w.readBack, 0xFF);
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    p.bufferLoaded = loadedCopy;
    bus.PowerDown();
}

std::string ProtectedPartEntryFor(const DeviceProfile& p) {
    if (p.eep != 5) return {};
    // 28C entry Tag -> the AT28C entry of the same size, whose page writes carry the unlock.
    struct Pair {
        int32_t tag;
        const char* entry;
    };
    static constexpr Pair kPairs[] = {{1, "AT28C64B    (64)"}, {3, "AT28C256  (64)"}};
    for (const Pair& pair : kPairs)
        if (pair.tag == p.DeviceID) return pair.entry;
    return {};
}

}  // namespace tavrin
