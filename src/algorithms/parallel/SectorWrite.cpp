#include "algorithms/parallel/SectorWrite.h"

#include <algorithm>

#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kWritesPerSector = 15;
constexpr int kWrongReadsTolerated = 4;

}  // namespace

int32_t SectorSize(const DeviceProfile& p) {
    // A size of 0 would never advance and one above the buffer would overrun it.
    return std::clamp<int32_t>(p.Ssize, 1, kSectorBufferBytes);
}

void WriteCycle(Context& ctx, uint32_t address, uint8_t byte, int32_t setup) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 0);
    bus.SetAddress(BusAddress(ctx.profile, address));  // starts with the data register at 0
    bus.Drive(Line::DataOutLine, 1);
    bus.PortOut(bus.DataPort, byte);
    if (setup != 0) bus.Delay(setup);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(2);
    bus.Drive(Line::StrobeLine, 0);
}

void WriteCommand(Context& ctx, const uint8_t* bytes, int count, int32_t setup) {
    for (int k = 0; k < count && k < int(kCmd5555Six.size()); ++k)
        WriteCycle(ctx, kCmd5555Six[size_t(k)], bytes[k], setup);
}

void WriteSector(Context& ctx, const SectorBuffer& s) {
    static constexpr uint8_t kUnlock[] = {0xAA, 0x55, 0xA0};
    WriteCommand(ctx, kUnlock, 3);
    const int32_t size = SectorSize(ctx.profile);
    for (int32_t j = 0; j < size; ++j)
        WriteCycle(ctx, s.sectorStart + uint32_t(j), s.sectorBuffer[size_t(j)]);
}

int VerifySector(Context& ctx, uint32_t start) {
    const DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 0);
    const int32_t size = SectorSize(p);
    int wrong = 0;
    for (int32_t j = 0; j < size; ++j) {
        const uint32_t index = start + uint32_t(j);
        const uint8_t want = index < ctx.Buffer.size() ? ctx.Buffer[index] : 0xFF;
        for (;;) {
            bus.SetAddress(BusAddress(p, index));
            if (bus.ReadDataByte() == want) break;
            if (++wrong > kWrongReadsTolerated) return 1;
        }
    }
    return 0;
}

void ProgramSectors(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    const int32_t size = SectorSize(p);
    SetProcessGauge(ctx, "programming chip", int64_t(p.bufferLoaded) / size, GaugeColor::Program);
    bus.PowerUp();
    SectorBuffer s;
    int32_t n = 0;
    bool cancelled = false;
    p.verifyError = 0;
    for (int64_t i = 0; i <= last;) {
        s.sectorStart = uint32_t(i);
        for (int32_t j = 0; j < size; ++j) {
            const size_t index = size_t(i) + size_t(j);
            s.sectorBuffer[size_t(j)] = index < ctx.Buffer.size() ? ctx.Buffer[index] : 0xFF;
        }
        i += size;
        if (!ctx.writePlan.writes(s.sectorStart)) {  // a differential write found it in place
            if (StepCancelled(ctx, n++)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                p.verifyError = 1;
                cancelled = true;
                break;
            }
            continue;
        }
        // Load and read-back run at high priority: a pause of more than tBLC inside the load
        // would start the internal write with half a sector.
        p.verifyError = 0;
        bus.ChangePriority(1);
        for (int writes = 0; writes < kWritesPerSector; ++writes) {
            WriteSector(ctx, s);
            bus.Delay(p.tWC);
            p.verifyError = VerifySector(ctx, s.sectorStart);
            if (p.verifyError == 0) break;
        }
        bus.ChangePriority(0);
        if (p.verifyError == 1) break;
        if (StepCancelled(ctx, n)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            cancelled = true;
            break;
        }
        ++n;
    }
    if (p.verifyError == 1) {
        // A cancel has said so already; only a sector that would not take is a write error.
        if (!cancelled) bus.ReportError(Format(" Error :Write sector  %d ", n));
    } else {
        p.quietVerify = 1;
        VerifyParallel(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    bus.PowerDown();
}

}  // namespace tavrin
