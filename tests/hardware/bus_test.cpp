// Bus operations against the simulated board: what reaches the socket, in what order and when.
#include <gtest/gtest.h>

#include <memory>

#include "core/RunFrame.h"
#include "hardware/Bus.h"
#include "sim/SimMemoryChip.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

using sim::Signal;
using test::SimRig;

// Records every strobe assertion with the address and data on the socket at that moment.
class StrobeRecorder : public sim::SimChip {
public:
    struct Cycle {
        uint32_t address;
        uint8_t data;
    };
    std::string name() const override { return "recorder"; }
    void onPins(const sim::SocketPins& pins, int64_t) override {
        if (pins.strobe && !last_ && pins.dataOut) cycles.push_back({pins.address, pins.portData});
        last_ = pins.strobe;
    }
    int readData(const sim::SocketPins&, int64_t) override { return -1; }
    std::vector<Cycle> cycles;

private:
    bool last_ = false;
};

TEST(SetAddress, ClocksShiftAdrPlusOneBitsMostSignificantFirst) {
    SimRig rig;
    rig.selectRawDevice(8192);  // ShiftAdr 12, PatternAdr 0x1000
    ASSERT_EQ(rig.ctx.profile.ShiftAdr, 12);
    rig.board.trace().enable(true);
    rig.ctx.bus.SetAddress(0x3ABCD);  // bits above A12 are never sent
    const auto clocks = rig.board.trace().history(Signal::ShiftClock);
    int rising = 0;
    for (size_t i = 1; i < clocks.size(); ++i) rising += clocks[i] == 1 && clocks[i - 1] == 0;
    EXPECT_EQ(rising, 13);
    EXPECT_EQ(rig.board.addressRegister() & 0x1FFF, 0x3ABCDu & 0x1FFF);
    // The first bit clocked (A12) now sits in stage 12.
    EXPECT_EQ((rig.board.addressRegister() >> 12) & 1, (0x3ABCDu >> 12) & 1);
}

TEST(SetAddress, WaitAddsExactlyTheDelay) {
    SimRig rig;
    rig.selectRawDevice(32768);
    auto& clock = rig.board.virtualClock();
    const int64_t t0 = clock.ticks();
    const uint64_t a0 = rig.board.accesses();
    rig.ctx.bus.SetAddressWait(0x1234, 100);
    const int64_t spent = clock.ticks() - t0;
    const int64_t accesses = int64_t(rig.board.accesses() - a0);
    EXPECT_EQ(spent, accesses * rig.board.accessCostTicks() + 100 * kTicksPerDelayUnit);
    EXPECT_EQ(accesses, 1 + 1 + 3 * 15 + 1);  // mode, literal zero, 15 bits, final ShiftData
}

TEST(ReadDataByte, ReturnsTheSocketDataPins) {
    SimRig rig;
    rig.selectRawDevice(8192);
    auto& rom = rig.insert(std::make_unique<sim::SimMemoryChip>(8192, false));
    for (uint32_t a = 0; a < 8192; ++a) rom.memory()[a] = uint8_t(a * 7 + (a >> 8));
    rig.ctx.bus.PowerUp();
    for (uint32_t a : {0u, 1u, 0x155u, 0x1AAAu, 0x1FFFu}) {
        rig.ctx.bus.SetAddress(a);
        EXPECT_EQ(rig.ctx.bus.ReadDataByte(), rom.memory()[a]) << "address " << a;
    }
    rig.ctx.bus.PowerDown();
}

TEST(ReadDataByte, EmptySocketReadsAllOnes) {
    SimRig rig;
    rig.selectRawDevice(8192);
    rig.ctx.bus.PowerUp();
    rig.ctx.bus.SetAddress(0x10);
    EXPECT_EQ(rig.ctx.bus.ReadDataByte(), 0xFF);
    rig.ctx.bus.PowerDown();
}

TEST(PutDataAndStrobe, WriteReachesARamAtTheShiftedAddress) {
    SimRig rig;
    rig.selectRawDevice(8192);
    auto& ram = rig.insert(std::make_unique<sim::SimMemoryChip>(8192, true, 0));
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    for (uint32_t a = 0; a < 64; ++a) {
        bus.SetAddress(a * 97);
        bus.PutData(uint8_t(a ^ 0x5A), 0);
        bus.StrobePulse(0);
    }
    for (uint32_t a = 0; a < 64; ++a) {
        bus.SetAddress(a * 97);
        EXPECT_EQ(bus.ReadDataByte(), uint8_t(a ^ 0x5A));
        EXPECT_EQ(ram.memory()[(a * 97) & 0x1FFF], uint8_t(a ^ 0x5A));
    }
    bus.PowerDown();
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST(Delays, ZeroWidthsAddNoTime) {
    SimRig rig;
    auto& clock = rig.board.virtualClock();
    int64_t t0 = clock.ticks();
    rig.ctx.bus.Delay(0);
    rig.ctx.bus.Delay(-5);
    EXPECT_EQ(clock.ticks(), t0);
    const uint64_t a0 = rig.board.accesses();
    rig.ctx.bus.StrobePulse(0);
    rig.ctx.bus.PutData(0x12, 0);
    EXPECT_EQ(clock.ticks() - t0, int64_t(rig.board.accesses() - a0) * rig.board.accessCostTicks());
    t0 = clock.ticks();
    rig.ctx.bus.StrobePulse(140);
    EXPECT_EQ(clock.ticks() - t0, 2 * rig.board.accessCostTicks() + 140 * kTicksPerDelayUnit);
}

TEST(PowerSequences, PowerUpThenDownLeavesTheIdleBus) {
    SimRig rig;
    rig.selectRawDevice(32768);
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    EXPECT_TRUE(rig.board.vccOn());
    EXPECT_FALSE(rig.board.vppOn());
    bus.SetAddress(0x7FFF);
    bus.Drive(Line::VppLine, 0);
    EXPECT_TRUE(rig.board.vppOn());
    bus.PowerDown();
    EXPECT_FALSE(rig.board.vccOn());
    EXPECT_FALSE(rig.board.vppOn());
    EXPECT_EQ(rig.board.addressRegister(), 0u);             // 24 zeros clocked in
    EXPECT_EQ(rig.board.controlRegister(), 0x09);           // Vpp off, serial, Vcc off, strobe
    EXPECT_EQ(rig.board.dataRegister(), Bits::ReadClock);   // read-back clock idles high
}

TEST(CheckHardware, PassesWithTheBoardPresent) {
    SimRig rig;
    EXPECT_EQ(rig.ctx.bus.CheckHardware(), 0);
    EXPECT_EQ(rig.ui.lastText(), "Hardware present ");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_FALSE(rig.board.socketPowered());
}

struct BoardFault {
    const char* name;
    void (*apply)(sim::SimBoard&);
};

class CheckHardwareFault : public ::testing::TestWithParam<BoardFault> {};

TEST_P(CheckHardwareFault, ReportsTheHardwareErrorAndEndsUnpowered) {
    SimRig rig;
    GetParam().apply(rig.board);
    EXPECT_EQ(rig.ctx.bus.CheckHardware(), 1);
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_FALSE(rig.board.socketPowered());
    EXPECT_EQ(rig.board.controlRegister() & Bits::Vcc, 0);
    EXPECT_NE(rig.board.controlRegister() & Bits::Vpp, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CheckHardwareFault,
    ::testing::Values(BoardFault{"absent", [](sim::SimBoard& b) { b.setPresent(false); }},
                      BoardFault{"unpowered", [](sim::SimBoard& b) { b.setPowered(false); }},
                      BoardFault{"stuckLow", [](sim::SimBoard& b) { b.setBusyStuck(false); }},
                      BoardFault{"stuckHigh", [](sim::SimBoard& b) { b.setBusyStuck(true); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportError, ShowsTheHardwareErrorInsteadOfTheTextWhenTheBoardIsGone) {
    SimRig rig;
    rig.ctx.bus.ReportError("program interrupted!");
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    rig.board.setPresent(false);
    rig.ctx.bus.ReportError("program interrupted!");
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
}

TEST(ReportMismatch, FormatsAddressChipAndBuffer) {
    SimRig rig;
    rig.ctx.Buffer[0x1234] = 0xAB;
    rig.ctx.Buffer[0x1235] = 0xCD;
    rig.ctx.bus.ReportMismatch8(0x1234, 0, 0x12);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001234  Chip = 0x12  buffer = 0xAB");
    // An offset run: device address base + index, and the image's own byte at index.
    rig.ctx.bus.ReportMismatch8(0x1234, 0x100, 0x12);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001334  Chip = 0x12  buffer = 0xAB");
    rig.ctx.bus.ReportMismatch16(0x1234, 0x100, 0x12, 0x34);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001334  Chip = 0x1234  buffer = 0xABCD");
    rig.ctx.bus.ReportMismatch16(0x1234, 0, 0x12, 0x34);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001234  Chip = 0x1234  buffer = 0xABCD");
    // An index past the image is reported, not read from outside the buffer.
    rig.ctx.bus.ReportMismatch16(kBufferBytes - 1, 0, 0, 0);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x3FFFFF  Chip = 0x0000  buffer = 0x00FF");
}

TEST(SwapAddress, MovesBitFifteenAndCopiesBitFourteen) {
    EXPECT_EQ(Bus::SwapAddress(0x8000), 0x40000u);
    EXPECT_EQ(Bus::SwapAddress(0x4000), 0xC000u);
    EXPECT_EQ(Bus::SwapAddress(0x3FFF), 0x3FFFu);
    EXPECT_EQ(Bus::SwapAddress(0xB3FFF), 0xB3FFFu);
    EXPECT_EQ(Bus::SwapAddress(0xC000), 0x4C000u);
}

TEST(ProgramCommand, ThreeCyclesAtTheTableAddresses) {
    for (const CommandTable* table : {&Cmd555, &Cmd5555}) {
        SimRig rig;
        rig.selectRawDevice(0x80000);
        auto& rec = rig.insert(std::make_unique<StrobeRecorder>());
        rig.ctx.bus.PowerUp();
        rig.ctx.bus.WriteProgramCommand(*table, 1);
        ASSERT_EQ(rec.cycles.size(), 3u);
        const uint32_t mask = table->wide ? 0x7FFF : 0x7FF;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rec.cycles[i].address & mask, table->address[i]);
            EXPECT_EQ(rec.cycles[i].data, kProgramCommandBytes[i]);
        }
        rig.ctx.bus.PowerDown();
    }
}

TEST(ProgramCommand, FastVariantReachesTheSameDecodedAddresses) {
    for (const CommandTable* table : {&Cmd555, &Cmd5555}) {
        SimRig rig;
        rig.selectRawDevice(0x80000);
        auto& rec = rig.insert(std::make_unique<StrobeRecorder>());
        rig.ctx.bus.PowerUp();
        rig.ctx.bus.WriteProgramCommandFast(*table, 1);
        ASSERT_EQ(rec.cycles.size(), 3u);
        const uint32_t mask = table->wide ? 0x7FFF : 0x7FF;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rec.cycles[i].address & mask, table->address[i]) << "cycle " << i;
            EXPECT_EQ(rec.cycles[i].data, kProgramCommandBytes[i]);
        }
        rig.ctx.bus.PowerDown();
    }
}

TEST(PortBase, LptChoicesGiveTheirRegisters) {
    SimRig rig;
    rig.ctx.bus.cbPortChange(2);
    EXPECT_EQ(rig.ctx.bus.ControlPort, 0x3BE);
    rig.ctx.bus.cbPortChange(7);  // not an item: unchanged
    EXPECT_EQ(rig.ctx.bus.DataPort, 0x3BC);
    rig.ctx.bus.cbPortChange(1);
    EXPECT_EQ(rig.ctx.bus.StatusPort, 0x279);
    // The board answers at whatever base is chosen.
    EXPECT_EQ(rig.ctx.bus.CheckHardware(), 0);
}

}  // namespace
}  // namespace tavrin
