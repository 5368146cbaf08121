// The EPROM model against its data sheets: program mode, cumulative charge, read enables, faults
// and its saved state; the chip factory and the fault parser.
#include <gtest/gtest.h>

#include <sstream>

#include "algorithms/EpromSelection.h"
#include "core/Commands.h"
#include "sim/ChipFactory.h"
#include "sim/SimMemoryChip.h"
#include "sim/parallel/SimJedec29F.h"

namespace tavrin {
namespace {

using test::EpromRig;
using test::SimRig;

// The bus with the socket powered, an address set and a byte driven: ready for a pulse.
void driveByte(EpromRig& rig, uint32_t address, uint8_t data) {
    Bus& bus = rig.ctx.bus;
    bus.SetAddress(address);
    bus.PutData(data, 10);
}

TEST(SimEprom, PulseProgramsOnlyWithVppAndOutputsDisabled) {
    EpromRig rig("27C256");
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    driveByte(rig, 5, 0x00);
    bus.StrobePulse(140);  // no Vpp
    EXPECT_EQ(rig.chip->cells()[5], 0xFF);
    bus.Drive(Line::VppLine, 0);
    bus.SetAddress(5);  // serial mode: /OE low, the chip is in program verify
    bus.StrobePulse(140);
    EXPECT_EQ(rig.chip->cells()[5], 0xFF);
    bus.PutData(0x00, 10);
    bus.StrobePulse(140);
    EXPECT_EQ(rig.chip->cells()[5], 0x00);
    EXPECT_EQ(rig.chip->log().pulses, 1u);
    EXPECT_EQ(rig.chip->log().outOfWindow, 1u);  // 118 us against 95-105 us, accepted
    bus.PowerDown();
}

TEST(SimEprom, ShortPulsesAddUpAndOnlyBitsZeroThroughoutCount) {
    EpromRig rig("27C256");
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::VppLine, 0);
    driveByte(rig, 9, 0x00);
    bus.StrobePulse(65);  // about 55 us of the 100 us a cell needs
    EXPECT_EQ(rig.chip->cells()[9], 0xFF);
    bus.StrobePulse(65);
    EXPECT_EQ(rig.chip->cells()[9], 0x00);

    driveByte(rig, 10, 0x0F);
    bus.Drive(Line::StrobeLine, 1);
    bus.Delay(70);
    bus.PortOut(bus.DataPort, 0x00);  // low bits change to 0 during the pulse: they get nothing
    bus.Delay(70);
    bus.Drive(Line::StrobeLine, 0);
    EXPECT_EQ(rig.chip->cells()[10], 0x0F);
    bus.PowerDown();
}

TEST(SimEprom, ReadEnablesFollowEachPinClass) {
    EpromRig withCe("27C256");  // /CE from the strobe
    withCe.chip->cells()[0] = 0x12;
    Bus& bus = withCe.ctx.bus;
    bus.PowerUp();
    bus.SetAddress(0);
    EXPECT_EQ(bus.ReadDataByte(), 0xFF);
    bus.Drive(Line::StrobeLine, 1);
    EXPECT_EQ(bus.ReadDataByte(), 0x12);
    bus.PowerDown();

    EpromRig withPgm("27C64");  // /CE tied low, /PGM from the strobe
    withPgm.chip->cells()[0] = 0x34;
    Bus& bus64 = withPgm.ctx.bus;
    bus64.PowerUp();
    bus64.SetAddress(0);
    EXPECT_EQ(bus64.ReadDataByte(), 0x34);
    bus64.Drive(Line::StrobeLine, 1);
    EXPECT_EQ(bus64.ReadDataByte(), 0xFF);
    bus64.PowerDown();

    EpromRig oeVpp("27C512");  // OE#/VPP: nothing comes out while Vpp is on
    oeVpp.chip->cells()[0] = 0x56;
    Bus& bus512 = oeVpp.ctx.bus;
    bus512.PowerUp();
    bus512.SetAddress(0);
    bus512.Drive(Line::StrobeLine, 1);
    EXPECT_EQ(bus512.ReadDataByte(), 0x56);
    bus512.Drive(Line::VppLine, 0);
    EXPECT_EQ(bus512.ReadDataByte(), 0xFF);
    bus512.PowerDown();
}

TEST(SimEprom, ProgrammingVoltageOnAnUnpoweredChipIsLogged) {
    EpromRig rig("27C256");
    rig.ctx.bus.Drive(Line::VppLine, 0);
    EXPECT_EQ(rig.chip->log().vppWithoutVcc, 1u);
    rig.ctx.bus.PowerDown();
}

TEST(SimEprom, UvEraseClearsCellsButNotStuckBits) {
    EpromRig rig("27C64");
    rig.chip->cells()[3] = 0x00;
    rig.chip->setStuckBit(7, 0, false);
    rig.chip->uvErase();
    EXPECT_EQ(rig.chip->readCell(3), 0xFF);
    EXPECT_EQ(rig.chip->readCell(7), 0xFE);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($000007)");
}

TEST(SimEprom, StateKeepsContentsFaultsAndPartialCharge) {
    EpromRig rig("27C256");
    rig.chip->cells()[1] = 0x42;
    rig.chip->setStuckBit(0x100, 7, false);
    rig.chip->setSlowCell(0x200, 4);
    rig.chip->setNeverPrograms(false);
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    bus.Drive(Line::VppLine, 0);
    driveByte(rig, 0x300, 0x00);
    bus.StrobePulse(60);  // half a charge
    bus.PowerDown();
    std::stringstream saved;
    rig.chip->saveState(saved);

    sim::SimEprom copy(rig.chip->type());
    std::stringstream in(saved.str());
    ASSERT_TRUE(copy.loadState(in));
    EXPECT_EQ(copy.cells(), rig.chip->cells());
    EXPECT_EQ(copy.readCell(0x100), 0x7F);
    std::stringstream again;
    copy.saveState(again);
    EXPECT_EQ(again.str(), saved.str());

    sim::SimEprom smaller(sim::QuickPulseEprom("27C64", 8192, sim::EpromPins::PgmPin));
    std::stringstream wrongSize(saved.str());
    EXPECT_FALSE(smaller.loadState(wrongSize));
    std::stringstream truncated(saved.str().substr(0, saved.str().size() - 10));
    EXPECT_FALSE(copy.loadState(truncated));
    EXPECT_EQ(copy.readCell(0x100), 0x7F);  // a failed load changes nothing
}

TEST(ChipFactory, ModelFollowsTheSelectedDevice) {
    struct Case {
        const char* device;
        const char* name;
        uint32_t size;
        sim::EpromPins pins;
        bool wordWide;
    };
    for (const Case& c : {Case{"2716  (PCB3)", "2716", 2048, sim::EpromPins::CePgmHigh, false},
                          Case{"27C64", "27C64", 8192, sim::EpromPins::PgmPin, false},
                          Case{"27C256", "27C256", 32768, sim::EpromPins::CeProgram, false},
                          Case{"27C512", "27C512", 65536, sim::EpromPins::OeVpp, false},
                          Case{"27C322", "27C322", 4194304, sim::EpromPins::OeVpp, true}}) {
        SCOPED_TRACE(c.device);
        EpromRig rig(c.device);
        EXPECT_EQ(rig.chip->name(), c.name);
        EXPECT_EQ(rig.chip->type().size, c.size);
        EXPECT_EQ(rig.chip->type().pins, c.pins);
        EXPECT_EQ(rig.chip->type().wordWide, c.wordWide);
    }
}

TEST(ChipFactory, OtherFamiliesGetAStandInOrNothing) {
    SimRig rig;
    EXPECT_EQ(MakeSimChip(rig.ctx), nullptr);  // no device
    rig.selectRawDevice(65536, 4);             // 29F flash: its own model
    auto jedec = MakeSimChip(rig.ctx);
    auto* flash = dynamic_cast<sim::SimJedec29F*>(jedec.get());
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->cells().size(), 65536u);
    rig.selectRawDevice(65536, 31);  // MX28F2000: its own model, never the plain stand-in
    auto mx = MakeSimChip(rig.ctx);
    ASSERT_NE(mx, nullptr);
    EXPECT_EQ(dynamic_cast<sim::SimMemoryChip*>(mx.get()), nullptr);
    rig.selectRawDevice(32768, 21);  // SRAM
    EXPECT_EQ(MakeSimChip(rig.ctx)->name(), "RAM");
    rig.selectRawDevice(256, 1);  // 24C02: no model yet
    EXPECT_EQ(MakeSimChip(rig.ctx), nullptr);
    rig.selectRawDevice(8192, 0);  // an EPROM the table does not know
    rig.ctx.profile.epr64 = 1;
    auto generic = MakeSimChip(rig.ctx);
    auto* eprom = dynamic_cast<sim::SimEprom*>(generic.get());
    ASSERT_NE(eprom, nullptr);
    EXPECT_EQ(eprom->type().pins, sim::EpromPins::PgmPin);
}

TEST(SimFaults, ParsedFaultsReachTheChipAndTheBoard) {
    EpromRig rig("27C256");
    std::string error;
    ASSERT_TRUE(ApplySimFault(rig.board, "stuck:0x1234:3=0", error)) << error;
    EXPECT_EQ(rig.chip->readCell(0x1234), 0xF7);
    ASSERT_TRUE(ApplySimFault(rig.board, "slow:16:3", error)) << error;
    ASSERT_TRUE(ApplySimFault(rig.board, "never-programs", error)) << error;
    rig.load({0x00});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x00");

    ASSERT_TRUE(ApplySimFault(rig.board, "busy-stuck:1", error));
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    rig.board.setBusyStuck(std::nullopt);

    ASSERT_TRUE(ApplySimFault(rig.board, "no-chip", error));
    EXPECT_EQ(rig.board.chip(), nullptr);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
    EXPECT_FALSE(ApplySimFault(rig.board, "never-programs", error));
    EXPECT_NE(error.find("no chip"), std::string::npos);

    for (const char* fault : {"board-unpowered", "board-absent"}) {
        SimRig other;
        other.selectRawDevice(32768, 0);
        ASSERT_TRUE(ApplySimFault(other.board, fault, error));
        RunCommand(other.ctx, Command::Read);
        EXPECT_EQ(other.ui.lastText(), "Hardware Error :  Check Power && connection");
    }
}

TEST(SimFaults, MalformedFaultsAreRefused) {
    EpromRig rig("27C256");
    for (const char* bad : {"", "bogus", "stuck:0x10:8=0", "stuck:0x10:3=2", "stuck:zz:1=1",
                            "stuck:0x10", "slow:0x10:0", "slow:0x10", "slow:-1:2", "busy-stuck:2",
                            "no-chip:1", "never-programs:yes"}) {
        std::string error;
        EXPECT_FALSE(ApplySimFault(rig.board, bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    SimRig ram;
    ram.selectRawDevice(8192, 21);
    ram.board.insert(MakeSimChip(ram.ctx));
    std::string error;
    EXPECT_FALSE(ApplySimFault(ram.board, "stuck:1:1=1", error));
    EXPECT_NE(error.find("RAM"), std::string::npos);
}

}  // namespace
}  // namespace tavrin
