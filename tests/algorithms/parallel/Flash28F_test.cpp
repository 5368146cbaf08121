// 28F0x0 flash, MX26C MTP EPROMs and the MX28F2000 end to end through the command frame on their
// simulated chips: program, read, verify, erase, blank check, the failure texts and cancel.
#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/ChipRig.h"
#include "algorithms/parallel/FlashTestSupport.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/ChipFactory.h"
#include "sim/parallel/SimFlash28F.h"

namespace tavrin {
namespace {

using Rig = test::ChipRig<sim::SimFlash28F>;
using test::ExpectFailure;
using test::ExpectSuccess;
using test::RandomImage;

// Program from an image, read it back into a cleared buffer, verify, erase, blank check.
void roundTrip(const char* device, uint32_t bytes, const char* programmed, const char* erased) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const std::vector<uint8_t> image = RandomImage(bytes, bytes);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, programmed);
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, bytes);

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    EXPECT_TRUE(rig.socketOff());

    rig.ctx.profile.bufferLoaded = bytes;
    RunCommand(rig.ctx, Command::Verify);
    ExpectSuccess(rig, "Device Verify OK");

    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, erased);
    EXPECT_TRUE(rig.chipBlank());
    RunCommand(rig.ctx, Command::Blank);
    ExpectSuccess(rig, "Device is Empty");
}

TEST(Flash28F, ProgramReadVerifyEraseRoundTrip) {
    roundTrip("28F010", 4096, "Device Compares OK", "Erase Completed");
    roundTrip("28F256", 2048, "Device Compares OK", "Erase Completed");
}

TEST(Flash28F, MxPartsRoundTripWithTheirFixedTiming) {
    roundTrip("MX26C1000", 2048, "Device Compares OK", "Erase Completed");
    roundTrip("MX28F2000", 2048, "Device Compares OK", "Erase Completed");
}

TEST(Flash28F, BothFastEraseSettingsEraseAProgrammedPartWithManyPulses) {
    for (int fast : {0, 1}) {
        SCOPED_TRACE(fast);
        Rig rig("28F512");
        rig.ctx.profile.fastErase = fast;
        std::fill(rig.chip->cells().cells().begin(), rig.chip->cells().cells().end(), 0x00);
        RunCommand(rig.ctx, Command::Erase);
        ExpectSuccess(rig, "Erase Completed");
        EXPECT_EQ(rig.ui.gauges.back().caption, "Erasing chip & Erase Verify");
        EXPECT_TRUE(rig.chipBlank());
        // About 1 s of erase in pulses the stop timer ends at 10 ms: far more than six.
        EXPECT_GE(rig.chip->log().erasePulses, 100u);
        EXPECT_LE(rig.chip->log().erasePulses, 102u);
        EXPECT_NEAR(rig.chip->log().longestErasePulseUs, 10000, 1);
    }
}

TEST(Flash28F, FastEraseOnSamplesEveryHundredthByteAndOffChecksEachOne) {
    for (int fast : {1, 0}) {
        Rig rig("28F512");
        rig.ctx.profile.fastErase = fast;
        rig.chip->cells().cells()[350] = 0x00;
        rig.chip->setUnerasable(350);
        RunCommand(rig.ctx, Command::Erase);
        if (fast == 1) {
            ExpectSuccess(rig, "Erase Completed");  // 300 and 400 were looked at, 350 not
        } else {
            ExpectFailure(rig, "Error erasing chip");
            EXPECT_EQ(rig.chip->log().erasePulses, 1000u);
        }
    }
}

TEST(Flash28F, PartNeedingMorePulsesThanTheLimitEndsInTheErrorText) {
    Rig rig("28F512");
    rig.chip->cells().cells()[0x100] = 0x12;
    rig.chip->setSlowErase(5);  // 5 s: about 500 pulses
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "Erase Completed");
    EXPECT_GE(rig.chip->log().erasePulses, 450u);  // the byte erases in the last tenth

    rig.chip->cells().cells()[0x100] = 0x12;
    rig.chip->setSlowErase(11);  // 11 s: more than 1000 pulses
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Erase);
    ExpectFailure(rig, "Error erasing chip");
}

TEST(Flash28F, ProgramFailuresReportTheByteAndStop) {
    {
        Rig rig("28F010");
        rig.chip->setStuckBit(0x123, 3, true);
        rig.load(std::vector<uint8_t>(0x200, 0x00));
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, " Error at 0x000123  Chip = 0x08  buffer = 0x00");
        EXPECT_EQ(rig.chip->readCell(0x124), 0xFF);  // stopped there
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x200u);
    }
    {
        Rig rig("28F010");
        rig.chip->setVppMissing(true);  // every command ignored: the part stays a ROM
        rig.load({0x5A});
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, " Error at 0x000000  Chip = 0xFF  buffer = 0x5A");
        EXPECT_EQ(rig.chip->log().programPulses, 0u);
    }
    {
        Rig rig("MX26C2000");
        rig.chip->setStuckBit(0x10, 0, true);
        rig.load(std::vector<uint8_t>(0x20, 0x00));
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, " Error at 0x000010  Chip = 0x01  buffer = 0x00");
    }
}

TEST(Flash28F, SlowCellTakesMoreRoundsAndStillPrograms) {
    Rig rig("28F010");
    rig.chip->setSlowCell(0x40, 5);
    const std::vector<uint8_t> image = RandomImage(0x80, 9);
    rig.load(image);
    rig.ctx.Buffer[0x40] = 0x00;
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Compares OK");
    EXPECT_EQ(rig.chip->readCell(0x40), 0x00);
    // One round per byte of 0 .. bufferLoaded (the frame includes the index bufferLoaded), five
    // for the slow one.
    EXPECT_EQ(rig.chip->log().programPulses, 0x81u + 4);
}

TEST(Flash28F, MxCompareAfterProgrammingNamesTheAddress) {
    Rig rig("MX28F2000");
    rig.ctx.profile.skipFF = 1;
    rig.chip->cells().cells()[0x21] = 0x00;  // not blank where the image skips a 0xFF
    std::vector<uint8_t> image = RandomImage(0x40, 4);
    image[0x21] = 0xFF;
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, Format("Error at $%6x", 0x21));
    EXPECT_EQ(rig.ui.lastText(), "Error at $    21");
}

TEST(Flash28F, CancelStopsProgramAndEraseWithTheirTexts) {
    {
        Rig rig("28F010");
        rig.load(RandomImage(0x400, 2));
        rig.ui.cancelAfterPumps(50);
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, "program interrupted!");
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    }
    {
        Rig rig("28F512");
        rig.ctx.profile.fastErase = 0;
        rig.chip->cells().cells()[0] = 0x00;
        rig.ui.cancelAfterPumps(20);
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, "Erase interrupted!");
    }
    {
        Rig rig("MX28F2000");
        rig.ui.cancelAfterPumps(100);  // inside the 5.45 s wait
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, "Erase interrupted!");
    }
}

TEST(Flash28F, GetIdShowsMakerAndDevice) {
    Rig rig("28F010");
    rig.chip->setId(0x31, 0xB4);  // the Catalyst part of the row
    RunCommand(rig.ctx, Command::GetId);
    ASSERT_EQ(rig.ui.ids.size(), 1u);
    EXPECT_EQ(rig.ui.ids[0].manufacturerName, " CATALYST");
    EXPECT_EQ(rig.ui.ids[0].deviceName, " CAT28F010");
    EXPECT_TRUE(rig.socketOff());
    std::string error;
    EXPECT_TRUE(ApplySimFault(rig.board, "id:0x89:0xB4", error)) << error;
    RunCommand(rig.ctx, Command::GetId);
    ASSERT_EQ(rig.ui.ids.size(), 2u);
    EXPECT_EQ(rig.ui.ids[1].manufacturerName, " Intel");
    EXPECT_EQ(rig.ui.ids[1].deviceCode, " 0xB4");
    for (const char* fault : {"slow-erase:3", "unerasable:0x10", "vpp-missing"})
        EXPECT_TRUE(ApplySimFault(rig.board, fault, error)) << fault << ": " << error;
}

TEST(Flash28F, EmptySocketFailsEveryWriteCommand) {
    Rig rig("MX26C1000");
    rig.board.remove();
    rig.load({0x00});
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, " Error at 0x000000  Chip = 0xFF  buffer = 0x00");
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_TRUE(rig.ui.saw("Erase Completed"));  // an empty socket reads erased: nothing to tell
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin
