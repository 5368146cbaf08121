// 24Cxxx read, program and verify end to end through the command frame on the simulated
// two-wire EEPROMs.
#include "algorithms/serial/Eeprom24C.h"

#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "algorithms/serial/SerialSelection.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/serial/SimEeprom24C.h"

namespace tavrin {
namespace {

using Rig = test::SerialRig<sim::SimEeprom24C>;
using test::RandomImage;

constexpr const char *k24C01A = "24C01A/B", *k24C02 = "24C02", *k24C08 = "24C08", *k24C16 = "24C16",
                     *k24C32 = "24C32     (32)", *k24C256 = "24C256    (64)",
                     *k24C512 = "24C512    (128)";

// Program a whole-chip image, read it back into a cleared buffer, verify.
void roundTrip(Rig& rig, const char* readOk, unsigned seed) {
    const uint32_t size = uint32_t(rig.ctx.profile.bufferSize);
    const std::vector<uint8_t> image = RandomImage(size, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    rig.ctx.profile.bufferLoaded = 1;
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), readOk);
    EXPECT_TRUE(rig.bufferHolds(image));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, size - 1);
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Compares OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom24C, OneAddressByteRoundTripSmallestAndLargest) {
    {
        Rig rig(k24C01A);
        roundTrip(rig, "Chip read OK", 1);
        EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- 24C01A/B Image");
    }
    {
        // 2 KB through the block bits A10..A8 of the device address: a part that ignored them
        // would alias every 256 bytes and fail the read-back.
        Rig rig(k24C16);
        roundTrip(rig, "Chip read OK", 2);
        EXPECT_GT(rig.chip->log().nackedWhileBusy, 0u);  // acknowledge polling was needed
    }
}

TEST(Eeprom24C, TwoAddressBytesRoundTripSmallestAndLargest) {
    {
        Rig rig(k24C32);
        roundTrip(rig, "Device Read OK", 3);
        EXPECT_EQ(rig.chip->log().writeCycles, 4096u / 32);
    }
    {
        Rig rig(k24C512);
        roundTrip(rig, "Device Read OK", 4);
        EXPECT_EQ(rig.chip->log().writeCycles, 65536u / 128);
        EXPECT_EQ(rig.chip->log().rolledOver, 0u);
    }
}

TEST(Eeprom24C, The24C01WithoutDeviceCodeRoundTripsBelowTheMenu) {
    const DeviceEntry* entry = FindDevice("24C01");
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->enabled);
    Rig rig("M24C_Click", 101);
    EXPECT_EQ(rig.chip->type().addressBytes, 0);
    roundTrip(rig, "Chip read OK", 5);
    EXPECT_EQ(rig.chip->log().nackedWhileBusy, 0u);  // the fixed 7 ms covers its write cycle
}

TEST(Eeprom24C, BlockCommandOfTheOneByteParts) {
    EXPECT_EQ(BlockCommand24C(0x5A3), 0xAA);
    EXPECT_EQ(uint8_t(BlockCommand24C(0x5A3) + 1), 0xAB);
    EXPECT_EQ(BlockCommand24C(0x0FF), 0xA0);
    EXPECT_EQ(BlockCommand24C(0x7FF), 0xAE);
}

TEST(Eeprom24C, PageWritesSendWholePagesOfSsize) {
    Rig rig(k24C32);
    rig.chip->cells().assign(4096, 0x11);
    std::vector<uint8_t> image = RandomImage(40, 6);
    rig.load(image);  // bufferLoaded 40: pages 0-31 and 32-63
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 2u);
    EXPECT_EQ(rig.chip->log().bytesWritten, 64u);
    EXPECT_TRUE(rig.chipHolds(image));
    for (uint32_t a = 41; a < 64; ++a)
        EXPECT_EQ(rig.chip->readCell(a), 0xFF) << a;  // cleared buffer
    EXPECT_EQ(rig.chip->readCell(64), 0x11);
    EXPECT_EQ(rig.ui.gauges.front().caption, "programming chip");
    EXPECT_EQ(rig.ui.gauges.front().max, 40);
}

TEST(Eeprom24C, LoadedDataBeyondTheDeviceStopsAtItsLastByte) {
    Rig rig(k24C02);
    rig.load(RandomImage(1000, 7));
    rig.ui.answers = {true};  // the frame asks first: program only the part that fits
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 255u);
    EXPECT_EQ(rig.chip->log().writeCycles, 256u);
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Compares OK");
}

TEST(Eeprom24C, SlowWriteCycleFailsWithTooManyRetries) {
    for (const char* device : {k24C16, k24C256}) {
        SCOPED_TRACE(device);
        Rig rig(device);
        rig.chip->setWriteCycleUs(20000);  // twice the data-sheet maximum
        rig.load(RandomImage(300, 8));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Too many Retries - would not program");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom24C, WriteCycleNearTheLimitStillPasses) {
    Rig rig(k24C256);
    rig.chip->setWriteCycleUs(9000);
    rig.load(RandomImage(256, 9));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
}

TEST(Eeprom24C, SlowPartWithoutDeviceCodeFailsAfterTheFixedWait) {
    Rig rig("M24C_Click", 101);
    rig.chip->setWriteCycleUs(9000);  // beyond the blind 7 ms
    rig.load(RandomImage(16, 10));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "No ACK Write Address");
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom24C, WriteProtectPinMakesProgrammingFail) {
    struct Case {
        const char* device;
        sim::SimEeprom24C::WriteProtect wp;
        const char* text;
    };
    for (const Case& c :
         {Case{k24C16, sim::SimEeprom24C::WriteProtect::NackData, "No ACK write DATA"},
          Case{k24C16, sim::SimEeprom24C::WriteProtect::AckNoWrite, "Verify Error"},
          Case{k24C256, sim::SimEeprom24C::WriteProtect::NackData, "No ACK Write Data"},
          Case{k24C256, sim::SimEeprom24C::WriteProtect::AckNoWrite, " Verify Error "}}) {
        SCOPED_TRACE(c.text);
        Rig rig(c.device);
        rig.chip->setWriteProtectBehaviour(c.wp);
        rig.ctx.profile.pin7 = 1;  // WP high
        rig.load(std::vector<uint8_t>(100, 0x5A));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), c.text);
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_EQ(rig.chip->log().bytesWritten, 0u);
        EXPECT_GT(rig.chip->log().refusedByWp, 0u);
        EXPECT_TRUE(rig.socketOff());

        // Reads are not affected by WP.
        rig.chip->cells()[3] = 0x77;
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ctx.Buffer[3], 0x77);
    }
}

TEST(Eeprom24C, NoChipEndsEveryRoutineWithItsText) {
    struct Case {
        const char* device;
        Command command;
        const char* text;
    };
    for (const Case& c : {Case{k24C16, Command::Program, "No ACK Write Command & Address"},
                          Case{k24C16, Command::Read, "No ACK Write Command"},
                          Case{k24C16, Command::Verify, "No ACK write Command"},
                          Case{k24C256, Command::Program, "No ACK Device"},
                          Case{k24C256, Command::Read, "No ACK write Command1"},
                          Case{k24C256, Command::Verify, "No ACK write Command"}}) {
        SCOPED_TRACE(c.text);
        Rig rig(c.device);
        rig.board.remove();
        rig.load(RandomImage(64, 11));
        RunCommand(rig.ctx, c.command);
        EXPECT_EQ(rig.ui.lastText(), c.text);
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 64u);  // a failed read claims nothing
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom24C, DeafPartIsNotMistakenForAnEmptySocketByTheHardwareCheck) {
    Rig rig("M24C_Click", 101);
    rig.chip->setDeaf(true);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "No ACK Read Command");
    rig.load(RandomImage(8, 12));
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "No ACK read DATA");
}

TEST(Eeprom24C, StuckBitIsCaughtByTheReadBackOrTheQuietVerify) {
    {
        Rig rig(k24C08);
        rig.chip->setStuckBit(0x123, 0, true);
        rig.load(std::vector<uint8_t>(0x200, 0x00));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Verify Error");
        EXPECT_EQ(rig.chip->readCell(0x124), 0xFF);  // stopped there
    }
    {
        // Not the first byte of its page: only the verify after the pages sees it.
        Rig rig(k24C256);
        rig.chip->setStuckBit(0x85, 7, true);
        rig.load(std::vector<uint8_t>(0x100, 0x00));
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x000085  Chip = 0x80  buffer = 0x00");
        EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
        EXPECT_FALSE(rig.ui.saw("Device Compares OK"));
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom24C, VerifyReportsTheFirstDifference) {
    {
        Rig rig(k24C16);
        rig.load(std::vector<uint8_t>(2048, 0xFF));
        rig.chip->cells()[0x5A3] = 0x12;
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Error at $05a3");
        EXPECT_EQ(rig.ui.gauges.back().caption, "Comparing chip");
        EXPECT_EQ(rig.ui.gauges.back().color, GaugeColor::Verify);
    }
    {
        Rig rig(k24C256);
        rig.load(std::vector<uint8_t>(0x2000, 0xFF));
        rig.chip->cells()[0x1234] = 0x12;
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), " Error at 0x001234  Chip = 0x12  buffer = 0xFF");
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom24C, CancelStopsReadsAndProgramsWithoutSuccess) {
    for (const char* device : {k24C16, k24C256}) {
        SCOPED_TRACE(device);
        {
            Rig rig(device);
            rig.ctx.profile.bufferLoaded = 7;
            rig.ui.cancelAfterPumps(20);
            RunCommand(rig.ctx, Command::Read);
            EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
            EXPECT_EQ(rig.ctx.profile.bufferLoaded, 7u);  // not the whole device
            EXPECT_TRUE(rig.socketOff());
        }
        {
            Rig rig(device);
            rig.load(RandomImage(2048, 13));
            rig.ui.cancelAfterPumps(5);
            RunCommand(rig.ctx, Command::Program);
            EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
            EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
            EXPECT_LT(rig.chip->log().bytesWritten, 2048u);
            EXPECT_TRUE(rig.socketOff());
        }
        {
            Rig rig(device);
            rig.load(std::vector<uint8_t>(2048, 0xFF));
            rig.ui.cancelAfterPumps(5);
            RunCommand(rig.ctx, Command::Verify);
            EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
            EXPECT_FALSE(rig.ui.saw("Device Compares OK"));
            EXPECT_TRUE(rig.socketOff());
        }
    }
}

TEST(Eeprom24C, BlankCheckAndEraseAreRefused) {
    Rig rig(k24C16);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_FALSE(rig.ui.saw("Hardware present "));  // no hardware check for serial parts
}

TEST(Eeprom24C, SelectionFillsTheProfile) {
    Rig rig(k24C512);
    const DeviceProfile& p = rig.ctx.profile;
    EXPECT_EQ(p.eep, 2);
    EXPECT_EQ(p.DeviceID, 306);
    EXPECT_EQ(p.bufferSize, 65536);
    EXPECT_EQ(p.Ssize, 128);
    EXPECT_EQ(p.serial, 1);
    EXPECT_EQ(p.package, 240);
    EXPECT_FALSE(rig.ctx.controls.edOffsetEnabled);
}

}  // namespace
}  // namespace tavrin
