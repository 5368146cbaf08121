// SRAM test and DS12xx non-volatile SRAM modules end to end through the command frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/PartRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimStaticRam.h"

namespace tavrin {
namespace {

using Rig = test::PartRig<sim::SimStaticRam>;
using test::RandomImage;

constexpr const char *k6116 = "6116      2KB", *k6264 = "6264      8KB", *k62256 = "62256    32KB",
                     *k628128 = "628128  128KB", *kDS1220 = "DS1220  2KB",
                     *kDS1230 = "DS1230  32KB", *kDS1249 = "DS1249  256KB";

bool ramHoldsBuffer(Rig& rig) {
    for (uint32_t a = 0; a < rig.chip->type().size; ++a)
        if (rig.chip->readCell(a) != rig.ctx.Buffer[a]) return false;
    return true;
}

TEST(StaticRam, TestPassesWithBothPatternsOverEveryAddress) {
    for (const char* part : {k6116, k6264, k62256, k628128}) {
        SCOPED_TRACE(part);
        Rig rig(part);
        const uint32_t size = rig.chip->type().size;
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, size);  // the selection counts the RAM as loaded
        const size_t before = rig.ui.messages.size();
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(
            rig.textsSince(before),
            (std::vector<std::string>{"Hardware present ", " Test#1 SRAM chip", " Verify SRAM chip",
                                      " Test#2 SRAM chip", " Verify SRAM chip", "Device Test OK"}));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_EQ(rig.chip->writes(), 2u * size);  // the last address included, once per pass
        EXPECT_EQ(rig.ui.gauges.back().color, GaugeColor::Verify);
        // The second pattern stays in the buffer, and in the RAM.
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, size - 1);
        EXPECT_TRUE(ramHoldsBuffer(rig));
        EXPECT_FALSE(std::all_of(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + size,
                                 [](uint8_t b) { return b == 0xAA || b == 0x55; }));
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(StaticRam, The6264NeedsItsCe2BitAndTheMismatchNamesTheFirstAddress) {
    Rig rig(k6264);
    EXPECT_EQ(rig.ctx.profile.pin28, 1);
    rig.ctx.profile.pin28 = 0;  // CE2 low: the RAM neither stores nor drives
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0xAA");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->writes(), 0u);
    EXPECT_FALSE(rig.ui.saw(" Test#2 SRAM chip"));
    EXPECT_TRUE(rig.socketOff());
}

TEST(StaticRam, DeadCellIsReportedWithItsAddressAndTheSecondPatternSkipped) {
    Rig rig(k62256);
    rig.chip->setStuckBit(0x4123, 0, false);  // odd address: the first pattern writes 0x55 there
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x004123  Chip = 0x54  buffer = 0x55");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.ui.saw(" Test#2 SRAM chip"));
    EXPECT_FALSE(rig.ui.saw("Device Test OK"));
    EXPECT_EQ(rig.chip->writes(), 0x4123u + 5u);  // five writes of the dead cell
    EXPECT_TRUE(rig.socketOff());
}

TEST(StaticRam, CancelDuringTheWritePassStopsTheReadBack) {
    Rig rig(k6116);
    const size_t before = rig.ui.messages.size();
    rig.ui.cancelAfterPumps(100);  // inside the first write pass
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.textsSince(before),
              (std::vector<std::string>{"Hardware present ", " Test#1 SRAM chip",
                                        " Verify SRAM chip", "program interrupted!"}));
    EXPECT_EQ(rig.chip->writes(), 2048u);  // the write pass runs to its end
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(StaticRam, RamHasNoReadVerifyBlankOrErase) {
    Rig rig(k6116);
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Read);
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.textsSince(0),
              (std::vector<std::string>{"Hardware present ", "Hardware present "}));
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_EQ(rig.chip->writes(), 0u);
}

TEST(StaticRam, PlainRamForgetsAtPowerOffTheModulesKeepTheirData) {
    Rig ram(k6116);
    RunCommand(ram.ctx, Command::Program);
    ASSERT_EQ(ram.ui.lastText(), "Device Test OK");
    ram.ctx.profile.bufferLoaded = 2048;
    RunCommand(ram.ctx, Command::Program);  // the test itself ends powered down
    RunCommand(ram.ctx, Command::Verify);   // nothing: no verify for RAM
    ram.ctx.bus.PowerUp();
    ram.ctx.bus.PowerDown();
    EXPECT_FALSE(ramHoldsBuffer(ram));
    EXPECT_GE(ram.chip->powerLosses(), 1u);
}

TEST(Ds12xx, ProgramReadVerifyRoundTripSurvivesPowerOff) {
    for (const char* part : {kDS1220, kDS1230, kDS1249}) {
        SCOPED_TRACE(part);
        Rig rig(part);
        const uint32_t size = rig.chip->type().size;
        const std::vector<uint8_t> image = RandomImage(size, size);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, size - 1);  // clipped, and left so
        EXPECT_TRUE(rig.socketOff());
        // A day without power.
        rig.board.virtualClock().advanceTicks(int64_t(86400) * 1000000000 * kTicksPerNs);
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
        RunCommand(rig.ctx, Command::Blank);
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        RunCommand(rig.ctx, Command::Erase);
        EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Ds12xx, Ds1230IndexAbove16KGoesThroughTheSwappedAddress) {
    Rig rig(kDS1230);
    std::vector<uint8_t> image(0x4001, 0x00);
    image[0x4000] = 0x5A;
    rig.load(image);
    rig.ctx.profile.bufferLoaded = 0x4000;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    // Bus address 0xC000: A14 reaches the module's pin 1 through stage 15.
    EXPECT_EQ(rig.chip->chipAddress(0xC000), 0x4000u);
    EXPECT_EQ(rig.chip->readCell(0x4000), 0x5A);
    EXPECT_EQ(rig.chip->readCell(0x0000), 0x00);
}

TEST(Ds12xx, DeadCellStopsAfterTenWrites) {
    Rig rig(kDS1220);
    rig.chip->setStuckBit(0x10, 7, true);
    rig.load(std::vector<uint8_t>(0x20, 0x00));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000010  Chip = 0x80  buffer = 0x00");
    EXPECT_EQ(rig.chip->writes(), 0x10u + 10u);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_TRUE(rig.socketOff());
}

TEST(Ds12xx, DeadBatteryLosesTheDataAtPowerOff) {
    Rig rig(kDS1220);
    std::string error;
    ASSERT_TRUE(ApplySimFault(rig.board, "battery-dead", error)) << error;
    rig.load(RandomImage(2048, 21));
    RunCommand(rig.ctx, Command::Program);
    // Every byte took, but the verify powers the module up afresh and finds it forgotten.
    EXPECT_EQ(rig.chip->writes(), 2048u);
    EXPECT_EQ(rig.ui.lastText().rfind(" Error at 0x000000  Chip = ", 0), 0u);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    Rig ram(k6116);
    EXPECT_FALSE(ApplySimFault(ram.board, "battery-dead", error));
}

TEST(Ds12xx, CancelledProgramSkipsTheVerify) {
    Rig rig(kDS1230);
    rig.load(RandomImage(0x8000, 22));
    rig.ui.cancelAfterPumps(50);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin
