// 25Cxxx read, program and verify end to end through the command frame on the simulated SPI
// EEPROMs, with the block protection.
#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/serial/SerialSelection.h"
#include "algorithms/serial/SpiBus.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "devices/SpiProtection.h"
#include "sim/serial/SimEeprom25C.h"

namespace tavrin {
namespace {

using Rig = test::SerialRig<sim::SimEeprom25C>;
using test::RandomImage;

constexpr const char *k25x010 = "25x010", *k25x040 = "25x040", *k25x080 = "25x080  (32)",
                     *k25x160 = "25x160  (32)", *k25x640 = "25x640  (32)",
                     *k25x256 = "25x256  (64)", *kAT25HP1024 = "AT25HP1024 (128)";

void roundTrip(const char* device, unsigned seed) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const uint32_t size = uint32_t(rig.ctx.profile.bufferSize);
    const std::vector<uint8_t> image = RandomImage(size, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.chip->log().refusedNoWel, 0u);
    EXPECT_EQ(rig.chip->log().ignoredBusy, 0u);
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(rig.bufferHolds(image));  // byte 0 too: the first READ had its /CS edge
    EXPECT_EQ(rig.chip->log().ignoredNoCsEdge, 0u);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, size);
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom25C, ByteWrittenPartsRoundTrip) {
    roundTrip(k25x010, 1);
    roundTrip(k25x040, 2);  // A8 in the instruction
}

TEST(Eeprom25C, PageWrittenPartsRoundTripSmallestAndLargest) {
    roundTrip(k25x080, 3);
    roundTrip(kAT25HP1024, 4);  // three address bytes
}

TEST(Eeprom25C, APartPoweredUpSelectedWaitsForAFallingCsEdge) {
    Rig rig(k25x040);
    rig.chip->cells()[0x1A5] = 0x3C;
    Bus& bus = rig.ctx.bus;
    const Cmd25C& cmd = rig.ctx.profile.cmd25C;
    bus.Drive(Line::DataOutLine, 1);
    SpiSelect(bus, 0);
    bus.Drive(Line::VccLine, 1);
    bus.Delay(10000);
    EXPECT_NE(SpiReadAt(bus, cmd, 512, 0x1A5), 0x3C);  // no instruction started
    SpiDeselect(bus);
    SpiSelect(bus, 2);
    EXPECT_EQ(SpiReadAt(bus, cmd, 512, 0x1A5), 0x3C);  // frame 0x0BA5: A8 in the instruction
    SpiDeselect(bus);
    EXPECT_EQ(rig.chip->log().ignoredNoCsEdge, 1u);
    bus.PowerDown();
}

TEST(Eeprom25C, PagesStartAtPageMultiplesAndGoOutWhole) {
    Rig rig(k25x256);
    rig.load(RandomImage(100, 5));  // bufferLoaded 100: pages 0-63 and 64-127
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 2u);
    EXPECT_EQ(rig.ui.gauges.front().caption, "programming chip");
}

TEST(Eeprom25C, ProtectionEntriesFollowTheSize) {
    {
        Rig rig(k25x160);
        const OptionControls& c = rig.ctx.controls;
        EXPECT_EQ(c.cb25CxxxBPItems, (std::vector<std::string>{" None", " 600h - 7FFh",
                                                               " 400h - 7FFh", " 0000h - 7FFh"}));
        EXPECT_EQ(c.cb25CxxxBPItem, 0);
        EXPECT_TRUE(c.cbWPEN25CVisible);
        cb25CxxxBPChange(rig.ctx, 2, true);
        EXPECT_EQ(rig.ctx.profile.spiStatus, 0x88);
    }
    {
        Rig rig(k25x010);
        EXPECT_EQ(rig.ctx.controls.cb25CxxxBPItems.back(), " 00h - 7Fh");
        EXPECT_FALSE(rig.ctx.controls.cbWPEN25CVisible);
    }
    {
        Rig rig(kAT25HP1024);
        EXPECT_EQ(rig.ctx.controls.cb25CxxxBPItems.back(), " 00000h - 1FFFFh");
        EXPECT_EQ(rig.ctx.profile.spiStatus, 0);
    }
}

TEST(Eeprom25C, ProgramSetsTheChosenProtectionAndReadShowsIt) {
    Rig rig(k25x640);
    cb25CxxxBPChange(rig.ctx, 1, true);  // upper quarter, WPEN
    rig.load(RandomImage(8192, 6));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->blockProtect(), 1);
    EXPECT_TRUE(rig.chip->wpen());

    cb25CxxxBPChange(rig.ctx, 0, false);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ctx.profile.spiStatus & 0x8C, 0x84);
    EXPECT_EQ(rig.ctx.controls.cb25CxxxBPItem, 1);
    EXPECT_TRUE(rig.ctx.controls.cbWPEN25CChecked);
}

TEST(Eeprom25C, ProtectedBlockKeepsItsContentsAndTheRunReportsIt) {
    Rig rig(k25x640);
    rig.chip->cells().assign(8192, 0x00);
    rig.chip->setProtection(2, true);  // upper half, WPEN ...
    rig.chip->setWpLow(true);          // ... and /WP low: the status register is locked
    rig.load(std::vector<uint8_t>(8192, 0x5A));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001000  Chip = 0x00  buffer = 0x5A");
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_GT(rig.chip->log().refusedWrsr, 0u);
    EXPECT_EQ(rig.chip->readCell(0x0FFF), 0x5A);
    EXPECT_EQ(rig.chip->readCell(0x1000), 0x00);
    EXPECT_EQ(rig.chip->readCell(0x1FFF), 0x00);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom25C, SixteenBytePageVariantWrapsUnderTheThirtyTwoByteEntry) {
    Rig rig(k25x080);
    auto made = std::make_unique<sim::SimEeprom25C>(sim::Eeprom25CByName("25x080A"));
    sim::SimEeprom25C* part = made.get();
    rig.board.insert(std::move(made));
    rig.chip = part;
    const std::vector<uint8_t> image = RandomImage(1024, 7);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    // Bytes 16-31 of every page land on 0-15: the verify sees it at the first byte.
    EXPECT_GT(part->log().rolledOver, 0u);
    EXPECT_EQ(rig.ui.lastText(),
              Format(" Error at 0x000000  Chip = 0x%02X  buffer = 0x%02X", image[16], image[0]));
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
}

TEST(Eeprom25C, SlowPartOrNoChipFailsInTheVerify) {
    {
        Rig rig(k25x256);
        rig.chip->setWriteCycleUs(6000);  // beyond the blind 5.03 ms
        rig.load(RandomImage(1024, 8));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_GT(rig.chip->log().ignoredBusy, 0u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k25x040);
        rig.board.remove();
        rig.load(RandomImage(64, 9));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom25C, StuckBitShowsInTheMismatchReport) {
    Rig rig(k25x160);
    rig.chip->setStuckBit(0x3A5, 1, true);
    rig.load(std::vector<uint8_t>(2048, 0x00));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x0003A5  Chip = 0x02  buffer = 0x00");
}

TEST(Eeprom25C, CancelStopsReadProgramAndVerify) {
    {
        Rig rig(k25x256);
        rig.ctx.profile.bufferLoaded = 5;
        rig.ui.cancelAfterPumps(50);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Process Cancelled");
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 5u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k25x256);
        rig.load(RandomImage(32768, 10));
        rig.ui.cancelAfterPumps(10);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
        EXPECT_LT(rig.chip->log().writeCycles, 20u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k25x256);
        rig.load(std::vector<uint8_t>(32768, 0xFF));
        rig.ui.cancelAfterPumps(50);
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("Device Verify OK"));
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom25C, BlankCheckAndEraseAreRefused) {
    Rig rig(k25x640);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
}

}  // namespace
}  // namespace tavrin
