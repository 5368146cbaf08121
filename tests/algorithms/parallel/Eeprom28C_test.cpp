// 28Cxx byte-write EEPROMs end to end through the command frame: program, read, verify, the
// 0xFF fill that serves as their erase, and the parts whose protection ignores byte writes.
#include "algorithms/parallel/Eeprom28C.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/PartRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimEeprom.h"

namespace tavrin {
namespace {

using Rig = test::PartRig<sim::SimEeprom>;
using test::RandomImage;

constexpr const char *k28C64 = "28C64/65", *k28C256 = "28C256", *k28C16 = "28C16      DIP24";

TEST(Eeprom28C, ProgramReadVerifyRoundTrip) {
    for (const char* part : {k28C64, k28C256, k28C16}) {
        SCOPED_TRACE(part);
        Rig rig(part);
        const uint32_t size = uint32_t(rig.ctx.profile.bufferSize);
        const std::vector<uint8_t> image = RandomImage(size, size);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, size);  // restored after the run
        EXPECT_TRUE(rig.socketOff());

        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
        RunCommand(rig.ctx, Command::Blank);
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);  // "Device is NOT Empty (...)"
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Eeprom28C, UpperHalfOfThe28C256ReachesA14ThroughTheSwappedStage) {
    Rig rig(k28C256);
    std::vector<uint8_t> image(0x8000, 0xFF);
    image[0x0001] = 0x11;
    image[0x4001] = 0x44;
    rig.load(image);
    rig.ctx.profile.skipFF = 1;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->cells()[0x0001], 0x11);
    EXPECT_EQ(rig.chip->cells()[0x4001], 0x44);  // not aliased onto 0x0001
    EXPECT_EQ(rig.chip->log().writeCycles, 2u);  // skipFF wrote nothing else
}

TEST(Eeprom28C, RaisedWriteCycleWaitStaysRaisedForTheRestOfTheRun) {
    // The 28C64's write cycle (5 ms) is longer than tWC (1000 units, 0.84 ms): the first bytes
    // read the busy chip and are written again (ignored while busy) with 1000 units more wait
    // each time. The wait is never reset, so from the fifth byte (6000 units, 5.03 ms) on every
    // byte takes one write: 2 + 1 + 1 + 1 ignored writes in all.
    Rig rig(k28C64);
    rig.load(RandomImage(64, 3));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().ignoredWhileBusy, 5u);
    EXPECT_EQ(rig.chip->log().writeCycles, 65u);  // bufferLoaded is an inclusive last index
}

TEST(Eeprom28C, StuckBitStopsAfterTwentySixWritesWithTheMismatch) {
    Rig rig(k28C64);
    rig.chip->setStuckBit(0x10, 0, true);
    rig.load(std::vector<uint8_t>(0x40, 0x00));
    rig.ctx.profile.tWC = 6000;  // past the write cycle: every write is one the chip takes
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000010  Chip = 0x01  buffer = 0x00");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_EQ(rig.chip->log().writeCycles, 0x10u + 26u);
    EXPECT_EQ(rig.chip->cells()[0x11], 0xFF);  // stopped there
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom28C, FailureWithAnOffsetShowsTheByteThatWasWritten) {
    Rig rig(k28C64);
    rig.chip->setNeverPrograms(true);
    rig.load({0x5A});
    rig.ctx.Buffer[0x100] = 0x99;  // what the image holds at Offset + i
    rig.ctx.profile.Offset = 0x100;
    rig.ctx.profile.tWC = 6000;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000100  Chip = 0xFF  buffer = 0x5A");
}

TEST(Eeprom28C, EmptySocketFailsTheFirstByte) {
    Rig rig(k28C16);
    rig.board.remove();
    rig.load({0x00});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x00");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom28C, FillWritesEveryAddressAndShowsNothingAtTheEnd) {
    Rig rig(k28C16);
    const std::vector<uint8_t> image = RandomImage(2048, 5);
    std::copy(image.begin(), image.end(), rig.chip->cells().begin());
    rig.ctx.profile.Offset = 0x100;  // the fill ignores it and asks nothing
    rig.ctx.profile.bufferLoaded = 7;
    const size_t before = rig.ui.messages.size();
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_TRUE(std::all_of(rig.chip->cells().begin(), rig.chip->cells().end(),
                            [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_EQ(rig.ui.gauges.back().caption, "Fill 0xFF");
    EXPECT_EQ(rig.ui.gauges.back().max, 2048);
    EXPECT_EQ(rig.ui.gauges.back().color, GaugeColor::Program);
    // The hardware check, then the gauge caption; no closing message.
    EXPECT_EQ(rig.textsSince(before), (std::vector<std::string>{"Hardware present ", "Fill 0xFF"}));
    EXPECT_EQ(rig.ctx.profile.verifyError, 0);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 7u);
    EXPECT_TRUE(rig.socketOff());
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
}

TEST(Eeprom28C, CancelledFillSaysProgramInterruptedAndNothingElse) {
    Rig rig(k28C64);
    rig.chip->cells()[4000] = 0x00;
    const size_t before = rig.ui.messages.size();
    rig.ui.cancelAfterPumps(20);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.textsSince(before),
              (std::vector<std::string>{"Hardware present ", "Fill 0xFF", "program interrupted!"}));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->cells()[4000], 0x00);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom28C, FillOfADeadCellReportsItWithTheByteItWanted) {
    Rig rig(k28C16);
    rig.chip->setStuckBit(0x7FF, 7, false);
    rig.ctx.profile.tWC = 6000;
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x0007FF  Chip = 0x7F  buffer = 0xFF");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom28C, CancelledProgramSkipsTheVerify) {
    Rig rig(k28C64);
    rig.load(RandomImage(8192, 6));
    rig.ui.cancelAfterPumps(30);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.ui.gauges.back().caption, "programming chip");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Eeprom28C, ProtectedAt28C256IgnoresByteWritesAndTheEntryToUseIsNamed) {
    // An AT28C256 written in its own entry keeps the protection its page writes switched on...
    test::PartRig<sim::SimEeprom> rig("AT28C256  (64)");
    rig.load(RandomImage(256, 7));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.chip->sdpEnabled());
    EXPECT_EQ(ProtectedPartEntryFor(rig.ctx.profile), "");

    // ... so the plain byte writes of the 28C256 entry are ignored.
    rig.select(k28C256);
    rig.load({0x12, 0x34});
    rig.ctx.profile.tWC = 15000;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ui.lastText().rfind(" Error at 0x000000  Chip = ", 0), 0u);
    EXPECT_GE(rig.chip->log().ignoredProtected, 26u);
    EXPECT_EQ(ProtectedPartEntryFor(rig.ctx.profile), "AT28C256  (64)");
    rig.select(k28C64);
    EXPECT_EQ(ProtectedPartEntryFor(rig.ctx.profile), "AT28C64B    (64)");
    rig.select(k28C16);
    EXPECT_EQ(ProtectedPartEntryFor(rig.ctx.profile), "");
}

TEST(Eeprom28C, PageModePartInTheByteEntryStillProgramsOneLoadAtATime) {
    // Each byte is a load of one; the internal write starts tBLC after it.
    Rig rig(k28C256);
    rig.board.insert(sim::MakeEepromChip(7, 102));
    auto* at28c = dynamic_cast<sim::SimEeprom*>(rig.board.chip());
    rig.load(RandomImage(32, 8));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    // A retry that comes after the internal write ended writes the byte once more.
    EXPECT_GE(at28c->log().writeCycles, 33u);
    EXPECT_EQ(at28c->log().ignoredOtherPage, 0u);
    EXPECT_FALSE(at28c->sdpEnabled());
}

}  // namespace
}  // namespace tavrin
