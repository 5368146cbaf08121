// Boot-block flash with a status register (i28F200/400/800, 28F001BX-T) end to end on the
// simulated parts, and the BX-type part on the "28F001" row of the 28F0x0 menu.
#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/ChipRig.h"
#include "algorithms/parallel/FlashTestSupport.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimFlashI28Fx00.h"

namespace tavrin {
namespace {

using Rig = test::ChipRig<sim::SimFlashI28Fx00>;
using test::ExpectFailure;
using test::ExpectSuccess;
using test::RandomImage;

void fill(Rig& rig, uint8_t value) {
    std::fill(rig.chip->cells().cells().begin(), rig.chip->cells().cells().end(), value);
}

void roundTrip(const char* device, uint32_t bytes) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const std::vector<uint8_t> image = RandomImage(bytes, bytes + 1);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_GE(rig.chip->log().readArrayCommands, 1u);  // back to the array before the verify

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    rig.ctx.profile.bufferLoaded = bytes;
    RunCommand(rig.ctx, Command::Verify);
    ExpectSuccess(rig, "Device Verify OK");

    fill(rig, 0x00);  // every block programmed, the boot block too
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "erase completed");
    EXPECT_TRUE(rig.chipBlank());
    RunCommand(rig.ctx, Command::Blank);
    ExpectSuccess(rig, "Device is Empty");
}

TEST(FlashI28Fx00, ProgramReadVerifyEraseRoundTrip) {
    roundTrip("i28F001BX-T", 4096);
    roundTrip("i28F200", 2048);
}

TEST(FlashI28Fx00, The28F001BXTEraseAddressesEachBlockOfItsMapOnce) {
    Rig rig("i28F001BX-T");
    fill(rig, 0x00);
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.ui.gauges.back().max, 4);
    for (int b = 0; b < 4; ++b) EXPECT_EQ(rig.chip->log().blockErases[b], 1u) << b;
    EXPECT_EQ(rig.chip->readCell(0x1D000), 0xFF);  // the second parameter block
    EXPECT_EQ(rig.chip->readCell(0x1FFFF), 0xFF);  // the boot block, unlocked by RP# at 12 V
}

TEST(FlashI28Fx00, SixteenBitPartsKeepTheEightKilobyteWalk) {
    Rig rig("i28F200");
    fill(rig, 0x00);
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.ui.gauges.back().caption, "Erasing chip 20S");
    EXPECT_EQ(rig.ui.gauges.back().max, 32);
    EXPECT_EQ(rig.chip->log().erases, 32u);
    EXPECT_EQ(rig.chip->log().blockErases[0], 16u);  // the first 128 KB block, 16 times
    EXPECT_TRUE(rig.chipBlank());
}

TEST(FlashI28Fx00, StatusErrorsGiveTheirTextsAndTheNextCommandWorks) {
    const std::vector<uint8_t> image = RandomImage(0x100, 5);
    {
        Rig rig("i28F001BX-T");
        rig.chip->setStuckBit(0x10, 3, true);
        rig.load(std::vector<uint8_t>(0x20, 0x00));
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, "  Byte Program Error");
        EXPECT_EQ(rig.chip->log().programs, 0x10u + 10);  // ten attempts at the stuck byte
        RunCommand(rig.ctx, Command::Erase);
        ExpectSuccess(rig, "erase completed");
    }
    {
        Rig rig("i28F001BX-T");
        rig.chip->setVppMissing(true);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, "  Vpp Range Error");
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, "   Vpp Range Error");
        rig.chip->setVppMissing(false);
        RunCommand(rig.ctx, Command::Program);
        ExpectSuccess(rig, "Device Programed OK");
    }
    {
        Rig rig("i28F001BX-T");
        rig.chip->setUnerasable(0x1C000);
        fill(rig, 0x00);
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, " Block Erase Error");
        EXPECT_EQ(rig.chip->readCell(0x00000), 0xFF);  // the main block before it did erase
        EXPECT_EQ(rig.chip->readCell(0x1D000), 0x00);  // the walk stopped at the failing block
        rig.chip->cells().erase(0, 0x1C000);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        ExpectSuccess(rig, "Device Programed OK");
    }
    {
        Rig rig("i28F200");
        rig.chip->setOpenDataLine(5);  // the confirm D0h arrives as F0h
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, " Command Sequence Error");
        EXPECT_EQ(rig.chip->log().sequenceErrors, 1u);
        rig.chip->closeDataLines();
        RunCommand(rig.ctx, Command::Erase);
        ExpectSuccess(rig, "erase completed");
    }
}

TEST(FlashI28Fx00, RetriesStartFromAClearStatusRegister) {
    Rig rig("i28F001BX-T");
    rig.chip->setSlowCell(0x20, 3);  // fails twice with SR.4, programs on the third attempt
    std::vector<uint8_t> image = RandomImage(0x40, 6);
    image[0x20] = 0x00;
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Programed OK");
    EXPECT_EQ(rig.chip->readCell(0x20), 0x00);
}

TEST(FlashI28Fx00, BootBlockStaysLockedWhenRpOnlySeesVcc) {
    Rig rig("i28F200");
    rig.replace(std::make_unique<sim::SimFlashI28Fx00>([] {
        sim::BootBlockType t = sim::BootBlockByteMode("i28F200", 256 * 1024, 0x74);
        t.rp = sim::ResetPin::Vcc;
        return t;
    }()));
    RunCommand(rig.ctx, Command::Erase);
    ExpectFailure(rig, " Block Erase Error");
    EXPECT_EQ(rig.ui.lastProgress, 30);  // blocks 0..29 erased, the boot block at 3C000 refused
}

TEST(FlashI28Fx00, AnEraseThatNeverEndsTimesOut) {
    Rig rig("i28F001BX-T");
    rig.chip->setSlowErase(10);  // the main block would take 24 s
    RunCommand(rig.ctx, Command::Erase);
    ExpectFailure(rig, " Block Erase Time-out");
}

TEST(FlashI28Fx00, CancelMidProgram) {
    Rig rig("i28F001BX-T");
    rig.load(RandomImage(0x400, 7));
    rig.ui.cancelAfterPumps(300);
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, "program interrupted!");
}

TEST(FlashI28Fx00, GetIdNamesTheMakerAndShowsTheDeviceCode) {
    for (const char* device : {"i28F001BX-T", "i28F200"}) {
        Rig rig(device);
        RunCommand(rig.ctx, Command::GetId);
        ASSERT_EQ(rig.ui.ids.size(), 1u);
        EXPECT_EQ(rig.ui.ids[0].manufacturerName, " Intel");
        EXPECT_EQ(rig.ui.ids[0].manufacturerCode, " 0x89");
        EXPECT_EQ(rig.ui.ids[0].deviceCode, std::string(device) == "i28F200" ? " 0x74" : " 0x94");
        EXPECT_TRUE(rig.socketOff());
    }
}

// The "28F001" row of the 28F0x0 menu selects a BX-type part for the 28F010 commands.
// The "28F001" row is a BX part driven by this family's commands with RP# held high on pin 30:
// it programs, verifies, reads its ID and erases the blocks RP# below 12 V leaves unlocked.
TEST(FlashI28Fx00, The28F001RowUsesTheStatusRegisterCommandsWithRpHigh) {
    Rig rig("28F001");
    EXPECT_EQ(rig.ctx.profile.ShiftAdr, 17);
    const std::vector<uint8_t> image = RandomImage(0x1000, 8);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.chip->log().sequenceErrors, 0u);

    RunCommand(rig.ctx, Command::GetId);
    ASSERT_FALSE(rig.ui.ids.empty());
    EXPECT_EQ(rig.ui.ids.back().manufacturer, 0x89);
    EXPECT_EQ(rig.ui.ids.back().device, 0x94);

    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.chip->log().sequenceErrors, 0u);
    EXPECT_EQ(rig.chip->log().blockErases[3], 0u);  // the locked boot block is left alone
    RunCommand(rig.ctx, Command::Blank);
    ExpectSuccess(rig, "Device is Empty");

    // The boot block takes no byte while RP# is not at 12 V.
    std::vector<uint8_t> full(0x20000, 0x5A);
    rig.load(full);
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, "  Byte Program Error");
    EXPECT_TRUE(rig.ui.saw(
        "The boot block (1E000-1FFFF) is locked: RP# is not at 12 V on this entry's wiring; the "
        "i28F001BX-T entry with its wire programs it"));
    EXPECT_EQ(rig.chip->readCell(0x1E000), 0xFF);
    EXPECT_EQ(rig.chip->readCell(0x1DFFF), 0x5A);

    // Left to the stale register bit, RP# is low for many reads: the part sits in deep
    // power-down for them.
    const std::vector<uint8_t> cells = RandomImage(0x1000, 9);
    std::copy(cells.begin(), cells.end(), rig.chip->cells().cells().begin());
    RunCommand(rig.ctx, Command::Read);
    EXPECT_TRUE(std::equal(cells.begin(), cells.end(), rig.ctx.Buffer.begin()));
    rig.ctx.profile.pin30 = 0;
    RunCommand(rig.ctx, Command::Read);
    EXPECT_FALSE(std::equal(cells.begin(), cells.end(), rig.ctx.Buffer.begin()));
}

}  // namespace
}  // namespace tavrin
