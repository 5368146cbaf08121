#include "algorithms/serial/Eeprom93C.h"

#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/serial/MicrowireBus.h"
#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int kReadyPolls = 50;
constexpr int32_t kReadyPollWait = 1000;  // 0.84 ms
constexpr int32_t kWriteWait = 12000;     // 10 ms, the longest tWP of the family

uint32_t wordAddress(const Cmd93C& cmd, int64_t i) {
    return uint32_t(i / cmd.wordBytes);
}

// The end every routine shares: deselected, powered down, DI released, serial mode.
void endRun(Context& ctx, int dataOutAfter) {
    Bus& bus = ctx.bus;
    Mw93Deselect(bus);
    bus.PowerDown();
    bus.SetLine(Line::ShiftClock, 1);
    bus.WriteData();
    bus.Drive(Line::DataOutLine, dataOutAfter);
}

void sendAlone(Bus& bus, const Cmd93C& cmd, uint32_t op) {
    Mw93Select(bus);
    Mw93SendCommand(bus, cmd, op);
    Mw93Deselect(bus);
}

}  // namespace

void Read93C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const Cmd93C& cmd = p.cmd93C;
    ClearBuf(ctx, 1);
    bus.Drive(Line::DataOutLine, 1);
    SetProcessGauge(ctx, "Reading Chip", p.bufferSize, GaugeColor::Read);
    Mw93PowerUp(bus);
    bus.Delay(20000);
    p.verifyError = 0;
    for (int64_t i = 0; i < p.bufferSize; ++i) {
        Mw93Select(bus);
        bus.Delay(1);
        Mw93SendCommand(bus, cmd, cmd.opRead | wordAddress(cmd, i));
        bus.Delay(10);
        ctx.Buffer[size_t(i)] = Mw93ReadByte(bus);
        if (cmd.wordBytes == 2) ctx.Buffer[size_t(++i)] = Mw93ReadByte(bus);
        Mw93Deselect(bus);
        if (StepCancelled(ctx, i)) {
            p.verifyError = 1;
            break;
        }
    }
    endRun(ctx, 0);
    if (p.verifyError != 0) {
        Message(ctx, "Process Cancelled", MessageKind::Error);
        return;
    }
    Message(ctx, "Chip dumped OK", MessageKind::Progress);
    ShowChipImageCaption(ctx);
    p.bufferLoaded = uint32_t(p.bufferSize);
}

void Verify93C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const Cmd93C& cmd = p.cmd93C;
    bus.Drive(Line::DataOutLine, 1);
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "Comparing chip", int64_t(p.bufferLoaded) - 1, GaugeColor::Verify);
    Mw93PowerUp(bus);
    bus.Delay(30000);
    p.verifyError = 0;
    for (int64_t i = 0; i <= last; ++i) {
        Mw93Select(bus);
        bus.Delay(1);
        Mw93SendCommand(bus, cmd, cmd.opRead | wordAddress(cmd, i));
        bus.Delay(10);
        uint8_t b = Mw93ReadByte(bus);
        bool same = b == ctx.Buffer[size_t(i)];
        if (same && cmd.wordBytes == 2) {
            b = Mw93ReadByte(bus);
            same = b == ctx.Buffer[size_t(++i)];
        }
        if (!same) {
            bus.ReportMismatch8(uint32_t(i), 0, b);
            p.verifyError = 1;
            break;
        }
        Mw93Deselect(bus);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    Mw93Deselect(bus);
    if (p.verifyError == 0 && p.quietVerify == 0)
        Message(ctx, "Device Verify OK", MessageKind::Success);
    endRun(ctx, 0);
}

void Program93C(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    const Cmd93C& cmd = p.cmd93C;
    bus.Drive(Line::DataOutLine, 1);
    // Clipped as the verify clips, so that both cover the same bytes and the last loaded byte is
    // written too.
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, "programming chip", p.bufferLoaded, GaugeColor::Program);
    Mw93PowerUp(bus);
    bus.Delay(30000);

    sendAlone(bus, cmd, cmd.opEwen);
    // A differential write that keeps word 0 must not erase it.
    if (ctx.writePlan.writes(0)) {
        Mw93Select(bus);
        Mw93SendCommand(bus, cmd, cmd.opErase);  // word 0
        bus.StrobePulse(5);  // CS low starts the cycle; CS high shows READY/BUSY
        for (int n = 0; n < kReadyPolls && !Mw93DataOutHigh(bus); ++n) bus.Delay(kReadyPollWait);
        Mw93Deselect(bus);
        bus.Delay(3000);
        sendAlone(bus, cmd, cmd.opEwen);
    }
    bus.Delay(3000);

    bool cancelled = false;
    for (int64_t i = 0; i <= last; ++i) {
        if (!ctx.writePlan.writes(i)) {  // a differential write found the word in place
            i += cmd.wordBytes - 1;
            if (StepCancelled(ctx, i)) {
                Message(ctx, "program interrupted!", MessageKind::Error);
                cancelled = true;
                break;
            }
            continue;
        }
        Mw93Select(bus);
        Mw93SendCommand(bus, cmd, cmd.opWrite | wordAddress(cmd, i));
        Mw93SendByte(bus, ctx.Buffer[size_t(i)]);
        if (cmd.wordBytes == 2) Mw93SendByte(bus, ctx.Buffer[size_t(++i)]);
        bus.StrobePulse(5);  // starts the self-timed write
        bus.Delay(kWriteWait);
        Mw93Deselect(bus);
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            cancelled = true;
            break;
        }
    }
    sendAlone(bus, cmd, cmd.opEwds);
    bus.PowerDown();
    bus.Drive(Line::DataOutLine, 1);
    if (cancelled) {
        p.verifyError = 1;
        return;
    }
    // Nothing above reads the part back: only a verify can tell that the words went in.
    p.quietVerify = 1;
    Verify93C(ctx);
    if (p.verifyError == 0) Message(ctx, "Device Programmed OK", MessageKind::Success);
}

void Erase93C(Context& ctx) {
    Bus& bus = ctx.bus;
    const Cmd93C& cmd = ctx.profile.cmd93C;
    bus.Drive(Line::DataOutLine, 1);
    Message(ctx, "Erase Chip 93Cxx ", MessageKind::Progress);
    bus.Drive(Line::VccLine, 1);
    bus.Delay(30000);
    Mw93PowerUp(bus);
    bus.Delay(30000);
    sendAlone(bus, cmd, cmd.opEwen);
    bus.Delay(3000);
    Mw93Select(bus);
    Mw93SendCommand(bus, cmd, cmd.opEral);
    bus.StrobePulse(5);
    bus.Delay(30000);
    Mw93Deselect(bus);
    bus.PowerDown();
}

}  // namespace tavrin
