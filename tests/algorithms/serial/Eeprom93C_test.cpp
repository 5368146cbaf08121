// 93Cxx read, program, verify and erase end to end through the command frame on the simulated
// Microwire EEPROMs, in both organisations.
#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/serial/SerialSelection.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/serial/SimEeprom93C.h"

namespace tavrin {
namespace {

using Rig = test::SerialRig<sim::SimEeprom93C>;
using test::RandomImage;

constexpr const char *k93C06 = "93C06 (8bit)", *k93C46 = "93C46 (8bit)", *k93C86 = "93C86 (8bit)",
                     *k93C06A = "93C06A (16bit)", *k93C46A = "93C46A (16bit)",
                     *k93C86x16 = "93C86 (16bit)", *k93C66 = "93C66 (8bit)";

void roundTrip(const char* device, unsigned seed) {
    SCOPED_TRACE(device);
    Rig rig(device);
    const uint32_t size = uint32_t(rig.ctx.profile.bufferSize);
    const std::vector<uint8_t> image = RandomImage(size, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.chip->log().ignoredBusy, 0u);
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip dumped OK");
    EXPECT_TRUE(rig.bufferHolds(image));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, size);
    EXPECT_EQ(rig.ctx.controls.caption,
              "Tavrin Eprom Prog(0.95B)- " + std::string(device) + " Image");
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom93C, EightBitRoundTripSmallestAndLargest) {
    roundTrip(k93C06, 1);
    roundTrip(k93C86, 2);
}

TEST(Eeprom93C, SixteenBitRoundTripSmallestAndLargest) {
    roundTrip(k93C06A, 3);
    roundTrip(k93C86x16, 4);
}

TEST(Eeprom93C, SixteenBitWordsSitHighByteFirstInTheBuffer) {
    Rig rig(k93C46A);
    EXPECT_TRUE(rig.chip->org16());
    rig.chip->cells()[0x40] = 0x12;
    rig.chip->cells()[0x41] = 0x34;
    EXPECT_EQ(rig.chip->word(0x20), 0x1234u);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ctx.Buffer[0x40], 0x12);
    EXPECT_EQ(rig.ctx.Buffer[0x41], 0x34);

    rig.load({0xAB, 0xCD, 0x01, 0x02});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.chip->word(0), 0xABCDu);
    EXPECT_EQ(rig.chip->word(1), 0x0102u);
}

TEST(Eeprom93C, CommandPatternsFollowTheAddressWidth) {
    {
        Rig rig(k93C66);
        const Cmd93C& c = rig.ctx.profile.cmd93C;
        EXPECT_EQ(c.opRead | 0x1A5, 0xDA5u);
        EXPECT_EQ(c.commandBits, 12);
    }
    {
        Rig rig(k93C46A);
        const Cmd93C& c = rig.ctx.profile.cmd93C;
        EXPECT_EQ(c.opRead | (0x40 / c.wordBytes), 0x1A0u);
        EXPECT_EQ(c.commandBits, 9);
    }
    {
        Rig rig(k93C86);
        EXPECT_EQ(rig.ctx.profile.cmd93C.opEwen, 0x2600u);
        EXPECT_EQ(rig.ctx.profile.cmd93C.commandBits, 14);
    }
}

TEST(Eeprom93C, ProgramAfterAClippingVerifyStillWritesTheLastByte) {
    Rig rig(k93C46);
    const std::vector<uint8_t> image = RandomImage(128, 5);
    rig.load(image);
    RunCommand(rig.ctx, Command::Verify);  // differs, and clips bufferLoaded to 127
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 127u);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_TRUE(rig.chipHolds(image));  // byte 127 included
    EXPECT_EQ(rig.chip->log().writes, 128u);
}

TEST(Eeprom93C, ProgramCoversWhatVerifyCompares) {
    Rig rig(k93C46);
    rig.chip->cells().assign(128, 0x00);
    rig.load(RandomImage(100, 6));  // bufferLoaded 100: offsets 0 to 100
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.chip->log().writes, 101u);
    EXPECT_EQ(rig.chip->readCell(100), 0xFF);  // the cleared buffer's byte
    EXPECT_EQ(rig.chip->readCell(101), 0x00);
}

TEST(Eeprom93C, EraseSetsEveryWordToOnes) {
    Rig rig(k93C86x16);
    rig.chip->cells().assign(2048, 0x00);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Erase Chip 93Cxx ");
    EXPECT_EQ(rig.chip->log().eraseAlls, 1u);
    EXPECT_TRUE(rig.chipHolds(std::vector<uint8_t>(2048, 0xFF)));
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom93C, NothingIsWrittenWithoutWriteEnable) {
    Rig rig(k93C46);
    rig.chip->setEwenIgnored(true);
    rig.load(RandomImage(128, 7));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->log().writes, 0u);
    EXPECT_GT(rig.chip->log().refusedDisabled, 0u);
    EXPECT_TRUE(rig.socketOff());
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.chip->log().eraseAlls, 0u);
}

TEST(Eeprom93C, NoChipOrSlowPartFailsInTheVerifyAfterProgramming) {
    {
        Rig rig(k93C46);
        rig.board.remove();
        rig.load(std::vector<uint8_t>(16, 0x00));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x00");
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k93C46A);
        rig.chip->setWriteCycleUs(15000);  // longer than the fixed 10 ms
        rig.load(RandomImage(64, 8));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_GT(rig.chip->log().ignoredBusy, 0u);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom93C, ReadyWaitAfterEraseIsBounded) {
    Rig rig(k93C46);
    rig.chip->setBusyForever(true);
    rig.load(RandomImage(8, 9));
    const double start = rig.board.nowUs();
    RunCommand(rig.ctx, Command::Program);
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_LT(rig.board.nowUs() - start, 2.0e6);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom93C, OrganisationStrapMustMatchTheEntry) {
    Rig rig(k93C46);
    rig.chip->setOrg16(true);  // ORG wired high under an 8-bit entry
    rig.load(RandomImage(128, 10));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
}

TEST(Eeprom93C, StuckBitShowsInTheMismatchReport) {
    Rig rig(k93C46A);
    rig.chip->setStuckBit(0x21, 4, false);
    rig.load(std::vector<uint8_t>(64, 0xFF));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000021  Chip = 0xEF  buffer = 0xFF");
}

TEST(Eeprom93C, CancelStopsReadProgramAndVerify) {
    {
        Rig rig(k93C86);
        rig.ctx.profile.bufferLoaded = 9;
        rig.ui.cancelAfterPumps(30);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Process Cancelled");
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 9u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k93C86);
        rig.load(RandomImage(2048, 11));
        rig.ui.cancelAfterPumps(30);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_LT(rig.chip->log().writes, 100u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Rig rig(k93C86);
        rig.load(std::vector<uint8_t>(2048, 0xFF));
        rig.ui.cancelAfterPumps(30);
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("Device Verify OK"));
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom93C, BlankCheckIsRefused) {
    Rig rig(k93C46);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
}

}  // namespace
}  // namespace tavrin
