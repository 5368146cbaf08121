// MCS-48 EPROM and mask-ROM parts behind their adapter, end to end through the command frame on
// simulated chips: program, read, verify, blank check, the frame's refusals, faults and cancel.
#include "algorithms/mcu/Mcs48.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/mcu/McuRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/mcu/SimMcs48.h"

namespace tavrin {
namespace {

using Rig = test::McuRig<sim::SimMcs48>;
using test::RandomImage;

TEST(Mcs48, SelectionShowsTheSupplyNoteAndSetsTheAdapter) {
    Rig rig("D8749H");
    const DeviceProfile& p = rig.ctx.profile;
    EXPECT_EQ(p.eep, 28);
    EXPECT_EQ(p.bufferSize, 2048);
    EXPECT_EQ(p.ShiftAdr, 8);
    EXPECT_EQ(p.PatternAdr, 256u);
    EXPECT_EQ(p.DIP, 31);
    EXPECT_EQ(p.package, 8749);
    EXPECT_EQ(rig.ctx.controls.lbAdapter, "  MCS-48  ");
    EXPECT_TRUE(rig.ctx.controls.edOffsetEnabled);
    ASSERT_FALSE(rig.ui.results.empty());
    EXPECT_EQ(rig.ui.results.front().rfind("Information: Device D8748/8749 Request Vea = 18V\n", 0),
              0u);

    Rig rom("P8050AH");
    EXPECT_EQ(rom.ctx.profile.eep, 29);
    EXPECT_EQ(rom.ctx.profile.bufferSize, 4096);
    EXPECT_TRUE(rom.chip->type().rom);
}

TEST(Mcs48, AddressGoesOutAsNineShiftedBitsAndTheBusByte) {
    Rig rig("D8749H");
    rig.ctx.bus.PowerUp();
    Mcs48SetAddress(rig.ctx, 0x3A5, kMcs48Program);
    EXPECT_EQ(rig.board.addressRegister() & 0x1FF, 0x003u);
    EXPECT_EQ(rig.board.socketData(), 0xA5);
    Mcs48SetAddress(rig.ctx, 0x3A5, kMcs48Verify);
    EXPECT_EQ(rig.board.addressRegister() & 0x1FF, 0x013u);
    rig.ctx.bus.PowerDown();
}

TEST(Mcs48, EpromRoundTrip) {
    Rig rig("D8749H");
    const std::vector<uint8_t> image = RandomImage(2048, 21);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.gauges.front().caption, "programming MCS-48");
    EXPECT_FALSE(rig.ui.saw("Device Verify OK"));  // the check after programming is quiet
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 2048u);
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0x55);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Progress);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_EQ(rig.ui.gauges.back().caption, "Verifying MCS-48 ");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs48, AShortImageLeavesTheCellsAfterItErased) {
    Rig rig("D8748H");
    const std::vector<uint8_t> image = RandomImage(16, 24);
    rig.load(image);  // the buffer beyond the file holds 0xFF
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    EXPECT_EQ(rig.chip->cells()[16], 0x00);
    EXPECT_EQ(rig.chip->log().programPulses, 16u);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 16u);
}

TEST(Mcs48, BlankCheckLooksForTheErasedZeros) {
    Rig rig("D8748H");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device empty ");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    rig.chip->cells()[0x200] = 0x40;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(),
              Format(" Error at 0x000200  Chip = 0x40  buffer = 0x%02X", rig.ctx.Buffer[0x200]));
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs48, RomPartsReadAndVerifyOnly) {
    Rig rig("P8049AH");
    const std::vector<uint8_t> image = RandomImage(2048, 22);
    std::copy(image.begin(), image.end(), rig.chip->cells().begin());
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 2048u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");

    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Hardware present ");  // not offered: the check and nothing else
    EXPECT_EQ(rig.chip->log().romPulses + rig.chip->log().programPulses, 0u);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs48, EpromPartsCannotBeErased) {
    Rig rig("D8748H");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
}

TEST(Mcs48, ASlowCellTakesMorePulsesAndABadOneStopsAfterTen) {
    Rig rig("D8748H");
    rig.chip->setSlowCell(3, 3);
    rig.chip->setStuckBit(9, 0, false);
    std::vector<uint8_t> image(16, 0xA5);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000009  Chip = 0xA4  buffer = 0xA5");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.chip->cells()[3], 0xA5);
    // Nine good bytes at one pulse, byte 3 at three, byte 9 given up after ten.
    EXPECT_EQ(rig.chip->log().programPulses, 8u + 3u + 10u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs48, AResetThatFallsTooSoonLeavesTheBusFloating) {
    Rig rig("D8748H");
    rig.chip->setResetDelayUs(1);
    rig.load(std::vector<uint8_t>(4, 0x00), 0);
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x00");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Mcs48, CancelStopsEveryLoopUnpowered) {
    const struct {
        Command command;
        const char* text;
    } cases[] = {
        {Command::Program, "program interrupted!"},
        {Command::Verify, "program interrupted!"},
        {Command::Read, "Process Cancelled"},
        {Command::Blank, "program interrupted!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Rig rig("D8749H");
        const std::vector<uint8_t> image = RandomImage(2048, 23);
        rig.load(image, 0);
        if (c.command == Command::Verify)
            std::copy(image.begin(), image.end(), rig.chip->cells().begin());
        rig.ui.cancelAfterPumps(20);
        RunCommand(rig.ctx, c.command);
        EXPECT_EQ(rig.ui.lastText(), c.text);
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_LT(rig.ui.lastProgress, 40);
        EXPECT_TRUE(rig.socketOff());
    }
}

}  // namespace
}  // namespace tavrin
