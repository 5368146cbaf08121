#include "algorithms/serial/Eeprom25C.h"

#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/serial/SpiBus.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// The part's /CS starts deselected, so that the first instruction gets its falling /CS edge.
void powerUp(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 1);
    bus.SetLine(Line::ShiftClock, 1);  // SI low
    bus.SetLine(Line::ShiftData, 0);   // SCK low
    bus.WriteData();
    SpiDeselect(bus);
    bus.Drive(Line::VccLine, 1);
    bus.Delay(10000);
}

// WREN, then WRSR with `status`, then the blind write time. The two callers hold /CS for
// slightly different times.
void writeStatus(Context& ctx, uint8_t status, int32_t selectWait, int32_t wrenWait) {
    Bus& bus = ctx.bus;
    const Cmd25C& cmd = ctx.profile.cmd25C;
    SpiSelect(bus, selectWait);
    SpiSendByte(bus, cmd.opWren);
    bus.Delay(wrenWait);
    SpiDeselect(bus);
    bus.Delay(80);
    SpiSelect(bus, selectWait);
    SpiSendByte(bus, cmd.opWrsr);
    SpiSendByte(bus, status);
    bus.Delay(10);
    SpiDeselect(bus);
    bus.Delay(ctx.profile.tWC);
}

}  // namespace

int64_t WriteUnit25C(const DeviceProfile& p) {
    const bool byteMode = p.DeviceID <= 200;
    return byteMode || p.spiPage <= 0 ? 1 : p.spiPage;
}

void Read25C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const Cmd25C& cmd = p.cmd25C;
    ClearBuf(ctx, 1);
    bus.Delay(100);
    SetProcessGauge(ctx, "Reading Chip", p.bufferSize, GaugeColor::Read);
    powerUp(ctx);
    bool cancelled = false;
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        SpiSelect(bus, 2);
        ctx.Buffer[size_t(i)] = SpiReadAt(bus, cmd, p.bufferSize, uint32_t(i));
        bus.Delay(2);
        SpiDeselect(bus);
        if (StepCancelled(ctx, i)) {
            cancelled = true;
            break;
        }
    }
    SpiSelect(bus, 10);
    SpiSendByte(bus, cmd.opRdsr);
    p.spiStatus = SpiReadByte(bus);
    bus.Delay(10);
    SpiDeselect(bus);
    // The protection controls show what the part holds (no change events, so spiStatus stays
    // the byte read).
    ctx.controls.cb25CxxxBPItem = (p.spiStatus >> 2) & 3;
    ctx.controls.cbWPEN25CChecked = (p.spiStatus & 0x80) != 0;
    bus.PowerDown();
    if (cancelled) {
        Message(ctx, "Process Cancelled", MessageKind::Error);
    } else {
        Message(ctx, "Chip read OK", MessageKind::Progress);
        ShowChipImageCaption(ctx);
        p.bufferLoaded = uint32_t(p.deviceSize);
    }
    p.bufferSize = p.deviceSize;
}

void Verify25C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Verifying chip", int64_t(p.bufferLoaded) - 1, GaugeColor::Verify);
    p.verifyError = 0;
    powerUp(ctx);
    for (int64_t i = 0; i <= last; ++i) {
        SpiSelect(bus, 2);
        const uint8_t b = SpiReadAt(bus, p.cmd25C, p.bufferSize, uint32_t(i));
        bus.Delay(2);
        SpiDeselect(bus);
        if (b != ctx.Buffer[size_t(i)]) {
            bus.ReportMismatch8(uint32_t(i), 0, b);
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0 && p.quietVerify == 0)
        Message(ctx, "Device Verify OK", MessageKind::Success);
    p.quietVerify = 1;
    bus.PowerDown();
}

void Program25C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const Cmd25C& cmd = p.cmd25C;
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    p.verifyError = 0;
    powerUp(ctx);
    writeStatus(ctx, 0x00, 15, 15);  // no block protected while writing

    const bool byteMode = p.DeviceID <= 200;
    const int64_t page = WriteUnit25C(p);
    for (int64_t i = 0; i <= last;) {
        if (!ctx.writePlan.writes(i)) {  // a differential write found the unit in place
            i += page;
            if (StepCancelled(ctx, i)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                p.verifyError = 1;
                break;
            }
            continue;
        }
        SpiSelect(bus, 10);
        SpiSendByte(bus, cmd.opWren);
        bus.Delay(10);
        SpiDeselect(bus);
        bus.Delay(50);
        if (byteMode) {
            SpiSelect(bus, 20);
            SpiWriteByteAt(bus, cmd, uint32_t(i), ctx.Buffer[size_t(i)]);
            ++i;
            bus.Delay(20);
        } else {
            // Whole pages from a page start, the last one also past the loaded data.
            SpiSelect(bus, 8);
            SpiSendByte(bus, uint8_t(cmd.writeFrame >> 24));
            if (p.DeviceID > 400) SpiSendByte(bus, uint8_t(i >> 16));
            SpiSendByte(bus, uint8_t(i >> 8));
            SpiSendByte(bus, uint8_t(i));
            for (int64_t k = 0; k < page; ++k, ++i) SpiSendByte(bus, ctx.Buffer[size_t(i)]);
            bus.Delay(8);
        }
        SpiDeselect(bus);  // starts the internal write
        bus.Delay(p.tWC);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (p.verifyError == 0) {
        bus.Delay(10);
        writeStatus(ctx, uint8_t(p.spiStatus & 0x8C), 10, 20);
        bus.PowerDown();
        p.quietVerify = 1;
        Verify25C(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    SpiSelect(bus, 2);
    SpiSendByte(bus, cmd.opWrdi);
    bus.Delay(2);
    SpiDeselect(bus);
    bus.PowerDown();
    bus.Drive(Line::DataOutLine, 0);
}

}  // namespace tavrin
