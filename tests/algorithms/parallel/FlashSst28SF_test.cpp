// SST28SF040A and LE28F4001 end to end on the simulated parts: the unprotect reads, program,
// chip and sector erase, identifier, failures and cancel.
#include "algorithms/parallel/FlashSst28SF.h"

#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/ChipRig.h"
#include "algorithms/parallel/FlashTestSupport.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimFlashSst28SF.h"

namespace tavrin {
namespace {

using Rig = test::ChipRig<sim::SimFlashSst28SF>;
using test::ExpectFailure;
using test::ExpectSuccess;
using test::RandomImage;

void roundTrip(const char* device, const char* erased) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const std::vector<uint8_t> image = RandomImage(4096, 11);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_TRUE(rig.chip->isProtected());  // the power-down set the protection again

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    rig.ctx.profile.bufferLoaded = 4096;
    RunCommand(rig.ctx, Command::Verify);
    ExpectSuccess(rig, "Device Verify OK");

    rig.chip->cells().cells()[0x7FFFF] = 0x00;
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, erased);
    EXPECT_TRUE(rig.chipBlank());
    RunCommand(rig.ctx, Command::Blank);
    ExpectSuccess(rig, "Device is Empty");
}

TEST(FlashSst28SF, ProgramReadVerifyEraseRoundTrip) {
    roundTrip("SST28xF040A", "erase completed");
    roundTrip("LE28F4001", "Sector Erase All completed");
}

TEST(FlashSst28SF, SectorEraseWalksEverySectorToTheEnd) {
    Rig rig("LE28F4001");
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "Sector Erase All completed");
    EXPECT_EQ(rig.chip->log().sectorErases, 2048u);
    EXPECT_EQ(rig.ui.gauges.back().caption, "Sector erasing chip ");
    EXPECT_EQ(rig.ui.gauges.back().max, 0x7FFFF);
    EXPECT_EQ(rig.ui.lastProgress, 0x7FF00);
}

TEST(FlashSst28SF, ChipEraseEndsWithTheSerialPowerDown) {
    Rig rig("SST28xF040A");
    RunCommand(rig.ctx, Command::Erase);
    ExpectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.chip->log().chipErases, 1u);
    EXPECT_EQ(rig.board.dataRegister() & (Bits::ShiftClock | Bits::ShiftData), 0);
}

TEST(FlashSst28SF, OnlyTheSevenReadsInOrderLiftTheProtection) {
    Rig rig("SST28xF040A");
    Bus& bus = rig.ctx.bus;
    bus.PowerUp();
    auto readAt = [&](uint32_t a) {
        bus.SetAddressWait(a, 2);
        bus.Delay(10);
        bus.Drive(Line::DataOutLine, 1);
        bus.Delay(20);
    };
    std::array<uint32_t, 7> wrong = SstUnprotectAddresses;
    std::swap(wrong[3], wrong[4]);
    for (uint32_t a : wrong) readAt(a);
    EXPECT_TRUE(rig.chip->isProtected());
    UnprotectSst(rig.ctx, 20);
    EXPECT_FALSE(rig.chip->isProtected());
    for (int k = 0; k < 6; ++k) readAt(SstUnprotectAddresses[size_t(k)]);
    readAt(sim::kSstProtectLast);
    EXPECT_TRUE(rig.chip->isProtected());
    bus.PowerDown();
}

TEST(FlashSst28SF, APartThatStaysProtectedFailsProgramAndErase) {
    Rig rig("SST28xF040A");
    rig.chip->setStaysProtected(true);
    rig.load({0x12, 0x34});
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, " Error at 0x000000  Chip = 0xFF  buffer = 0x12");
    EXPECT_GT(rig.chip->log().protectedCommands, 0u);
    EXPECT_EQ(rig.chip->log().programs, 0u);

    rig.chip->cells().cells()[0] = 0x00;
    RunCommand(rig.ctx, Command::Erase);
    ExpectFailure(rig, "Error erasing chip");

    Rig le("LE28F4001");
    le.chip->setStaysProtected(true);
    le.chip->cells().cells()[0] = 0x00;
    RunCommand(le.ctx, Command::Erase);
    ExpectFailure(le, Format("Error erasing sector at $%6x", 0));
}

TEST(FlashSst28SF, SectorEraseWaitsForASlowSectorAndReportsOneThatStays) {
    {
        Rig rig("LE28F4001");
        rig.chip->setSlowErase(2);  // 4 ms against the 3.4 ms wait
        rig.chip->cells().cells()[0x300] = 0x00;
        RunCommand(rig.ctx, Command::Erase);
        ExpectSuccess(rig, "Sector Erase All completed");
        EXPECT_TRUE(rig.chipBlank());
    }
    {
        Rig rig("LE28F4001");
        rig.chip->setUnerasable(0x1234);
        rig.chip->cells().cells()[0x1200] = 0x00;
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, "Error erasing sector at $  1200");
        EXPECT_EQ(rig.chip->log().sectorErases, 0x13u);
    }
}

TEST(FlashSst28SF, SlowCellNeedsRetriesWithWiderStrobes) {
    Rig rig("SST28xF040A");
    rig.chip->setSlowCell(0x8, 3);
    std::vector<uint8_t> image = RandomImage(0x10, 12);
    image[0x8] = 0x00;
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    ExpectSuccess(rig, "Device Programed OK");
    EXPECT_EQ(rig.chip->readCell(0x8), 0x00);

    rig.chip->setStuckBit(0x3, 1, true);
    rig.ui.messages.clear();
    rig.load(std::vector<uint8_t>(0x8, 0x00));
    RunCommand(rig.ctx, Command::Program);
    ExpectFailure(rig, " Error at 0x000003  Chip = 0x02  buffer = 0x00");
}

TEST(FlashSst28SF, CancelMidProgramAndMidErase) {
    {
        Rig rig("SST28xF040A");
        rig.load(RandomImage(0x400, 13));
        rig.ui.cancelAfterPumps(40);
        RunCommand(rig.ctx, Command::Program);
        ExpectFailure(rig, "program interrupted!");
    }
    {
        Rig rig("LE28F4001");
        rig.ui.cancelAfterPumps(40);
        RunCommand(rig.ctx, Command::Erase);
        ExpectFailure(rig, "program interrupted!");
    }
}

TEST(FlashSst28SF, GetIdNamesThePart) {
    for (const char* device : {"SST28xF040A", "LE28F4001"}) {
        Rig rig(device);
        RunCommand(rig.ctx, Command::GetId);
        ASSERT_EQ(rig.ui.ids.size(), 1u);
        EXPECT_EQ(rig.ui.ids[0].manufacturerName, " SST/Sanyo");
        EXPECT_EQ(rig.ui.ids[0].deviceName, " SST28SF/VF040A");
        EXPECT_TRUE(rig.socketOff());
    }
}

}  // namespace
}  // namespace tavrin
