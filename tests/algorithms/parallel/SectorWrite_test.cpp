// Page-write AT28C EEPROMs and sector-write AT29C/W29EE flash end to end through the command
// frame: whole sectors after the unlock command, read back at raised priority, verified at the end.
#include "algorithms/parallel/SectorWrite.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/PartRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/ChipFactory.h"
#include "sim/parallel/SimEeprom.h"

namespace tavrin {
namespace {

using Rig = test::PartRig<sim::SimEeprom>;
using test::RandomImage;

constexpr const char *kAT28C256 = "AT28C256  (64)", *kAT28C010 = "AT28C010  (128)",
                     *kAT29C256 = "AT29C256    tavrin", *kAT29C512 = "AT29C512      (128)",
                     *kAT29C040 = "AT29C040      (512)", *kW29EE011 = "W29EE011/C010   (128)",
                     *kW29C020 = "W29C020     (128)";

bool allFF(const std::vector<uint8_t>& v) {
    return std::all_of(v.begin(), v.end(), [](uint8_t b) { return b == 0xFF; });
}

void roundTrip(const char* part, uint32_t bytes) {
    SCOPED_TRACE(part);
    Rig rig(part);
    const std::vector<uint8_t> image = RandomImage(bytes, bytes + 1);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    EXPECT_EQ(rig.chip->log().ignoredOtherPage, 0u);
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    rig.ctx.profile.bufferLoaded = bytes;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, ProgramReadVerifyRoundTrip) {
    roundTrip(kAT28C010, 0x2000);
    roundTrip(kAT29C040, 0x2000);
    roundTrip(kW29C020, 0x2000);
}

TEST(SectorWrite, At28C256TakesItsFiveHundredTwelvePagesAndKeepsTheProtectionOn) {
    Rig rig(kAT28C256);
    const std::vector<uint8_t> image = RandomImage(0x8000, 9);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.gauges.at(rig.ui.gauges.size() - 2).caption, "programming chip");
    EXPECT_EQ(rig.ui.gauges.at(rig.ui.gauges.size() - 2).max, 511);  // 0x7FFF / 64
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    // tWC (8.4 ms) is below the part's 10 ms page write: the first read-back finds it busy, the
    // sector is written again (ignored) and then reads back right. One write cycle per page.
    EXPECT_EQ(rig.chip->log().writeCycles, 512u);
    EXPECT_GE(rig.chip->log().ignoredWhileBusy, 512u * 3);
    // The unlock reached the part at 5555 although its A14 hangs on a swapped stage (the
    // second writes came while it was busy and were ignored whole).
    ASSERT_EQ(rig.chip->log().commandAddresses.size(), 512u);
    for (uint32_t a : rig.chip->log().commandAddresses) ASSERT_EQ(a, 0x5555u);
    EXPECT_TRUE(rig.chip->sdpEnabled());
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, TheLastSectorIsWrittenWholeAndNoOffsetIsUsed) {
    Rig rig(kAT29C512);
    EXPECT_FALSE(rig.ctx.controls.edOffsetEnabled);
    std::vector<uint8_t> image = RandomImage(130, 10);
    rig.load(image);
    rig.ctx.Buffer[200] = 0x42;  // beyond the loaded extent, inside the second sector
    rig.ctx.profile.bufferLoaded = 129;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->cells()[200], 0x42);
    EXPECT_EQ(rig.chip->cells()[256], 0xFF);
    EXPECT_EQ(rig.chip->log().writeCycles, 2u);
    EXPECT_TRUE(rig.ui.questions.empty());
}

TEST(SectorWrite, FourWrongReadsInASectorPassAndTheFifthWritesItAgain) {
    Rig rig(kW29EE011);
    rig.ctx.profile.tWC = 15000;  // past the write cycle
    rig.load(RandomImage(128, 11));
    rig.ctx.profile.bufferLoaded = 127;  // one sector
    rig.chip->setWrongReads(5, 2);
    rig.chip->setWrongReads(90, 2);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 1u);

    rig.chip->setWrongReads(5, 3);
    rig.chip->setWrongReads(90, 2);
    rig.ctx.profile.bufferLoaded = 127;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 1u + 2u);
}

TEST(SectorWrite, ASectorThatNeverReadsBackStopsWithItsNumber) {
    Rig rig(kAT29C512);
    rig.chip->setStuckBit(3 * 128 + 7, 2, false);
    std::vector<uint8_t> image(0x400, 0xFF);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error :Write sector  3 ");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.chip->log().writeCycles, 3u + 15u);
    EXPECT_EQ(rig.ui.lastProgress, 2);  // sectors 0..2 done
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, ASectorSlowerThanFifteenWaitsFails) {
    Rig rig(kAT29C512);
    std::string error;
    ASSERT_TRUE(ApplySimFault(rig.board, "slow-write:40", error)) << error;  // 400 ms per sector
    rig.load(RandomImage(128, 12));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error :Write sector  0 ");
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, AlreadyProtectedPartsProgramBecauseEverySectorCarriesTheUnlock) {
    Rig rig(kAT29C040);
    std::string error;
    ASSERT_TRUE(ApplySimFault(rig.board, "sdp-enabled", error)) << error;
    rig.load(RandomImage(0x600, 13));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().ignoredProtected, 0u);
}

TEST(SectorWrite, LargerSectorSizeThanThePageCrossesItAndFails) {
    Rig rig(kAT28C256);
    rig.ctx.profile.Ssize = 128;  // cbSsize override; the part's page is 64
    EXPECT_EQ(rig.ctx.profile.pageSize, 64);
    rig.load(RandomImage(256, 14));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error :Write sector  0 ");
    EXPECT_GT(rig.chip->log().ignoredOtherPage, 0u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, SmallerSectorSizeLeavesTheRestOfAFlashSectorErasedAndTheVerifyCatchesIt) {
    Rig rig(kAT29C512);
    rig.ctx.profile.Ssize = 64;  // the part's sector is 128
    const std::vector<uint8_t> image(256, 0x00);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    // Each half sector passes its own read-back, but writing the second half erased the first.
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x00");
    EXPECT_EQ(rig.chip->cells()[0], 0xFF);
    EXPECT_EQ(rig.chip->cells()[64], 0x00);

    // The same override on an EEPROM page changes only the loaded bytes: no loss.
    Rig eeprom(kAT28C010);
    eeprom.ctx.profile.Ssize = 64;
    eeprom.load(image);
    RunCommand(eeprom.ctx, Command::Program);
    EXPECT_EQ(eeprom.ui.lastText(), "Device Programed OK");
}

TEST(SectorWrite, CancelBetweenSectorsSaysProgramInterruptedOnly) {
    Rig rig(kAT29C512);
    rig.load(RandomImage(0x1000, 15));
    const size_t before = rig.ui.messages.size();
    rig.ui.cancelAfterPumps(4);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.textsSince(before),
              (std::vector<std::string>{"Hardware present ", "programming chip",
                                        "program interrupted!"}));
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.chip->log().writeCycles, 3u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, PriorityIsRaisedPerSectorAndNeverWhileTheWindowRuns) {
    Rig rig(kAT29C256);
    rig.load(RandomImage(0x400, 16));
    int pumpsRaised = 0;
    rig.ui.onPump = [&] { pumpsRaised += rig.board.priorityRaised() ? 1 : 0; };
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.board.priorityRaises(), 0x400 / 64 + 1);  // bufferLoaded 0x400 is inclusive
    EXPECT_EQ(pumpsRaised, 0);
    EXPECT_FALSE(rig.board.priorityRaised());
}

TEST(SectorWrite, EraseAndBlankCheckOfTheFlash) {
    for (const char* part : {kAT29C512, kW29EE011}) {
        SCOPED_TRACE(part);
        Rig rig(part);
        const std::vector<uint8_t> image = RandomImage(rig.chip->cells().size(), 17);
        std::copy(image.begin(), image.end(), rig.chip->cells().begin());
        RunCommand(rig.ctx, Command::Erase);
        EXPECT_EQ(rig.ui.lastText(), "erase completed");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_EQ(rig.ui.gauges.back().caption, "erasing chip");
        EXPECT_EQ(rig.ui.gauges.back().max, 100);
        EXPECT_TRUE(allFF(rig.chip->cells()));
        EXPECT_EQ(rig.chip->log().chipErases, 1u);
        EXPECT_TRUE(rig.socketOff());
        RunCommand(rig.ctx, Command::Blank);
        EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    }
}

TEST(SectorWrite, CancelledEraseSaysProgramInterruptedOnly) {
    Rig rig(kAT29C512);
    const size_t before = rig.ui.messages.size();
    rig.ui.cancelAfterPumps(3);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.textsSince(before), (std::vector<std::string>{"Hardware present ", "erasing chip",
                                                                "program interrupted!"}));
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_TRUE(rig.socketOff());
}

TEST(SectorWrite, At28CHasNoEraseAndNoId) {
    Rig rig(kAT28C256);
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.lastText(), "Hardware present ");
    EXPECT_TRUE(rig.ui.results.empty());
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

TEST(SectorWrite, GetIdShowsTheTableNamesAndLeavesTheIdMode) {
    struct Case {
        const char *device, *maker, *makerCode, *name, *code;
    } cases[] = {
        {"AT29C010      (128)", " ATMEL", " 0x1F", " AT29C010A", " 0xD5"},
        {"AT29C256    PCB3/3A", " ATMEL", " 0x1F", " AT29C256/257", " 0xDC"},
        {"AT29C040      (512)", " ATMEL", " 0x1F", " AT29C040", " 0x5B"},
        {"W29EE011/C010   (128)", " ASD/WinBond", " 0xDA", " W29x011", " 0xC1"},
        {"W29EE512/C512   (128)", " ASD/WinBond", " 0xDA", " ", " 0xC8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        Rig rig(c.device);
        RunCommand(rig.ctx, Command::GetId);
        ASSERT_EQ(rig.ui.ids.size(), 1u);
        const ElectronicIdView& id = rig.ui.ids[0];
        EXPECT_EQ(id.manufacturerName, c.maker);
        EXPECT_EQ(id.manufacturerCode, c.makerCode);
        EXPECT_EQ(id.deviceName, c.name);
        EXPECT_EQ(id.deviceCode, c.code);
        EXPECT_TRUE(rig.socketOff());
        rig.load(std::vector<uint8_t>(4, 0xFF));
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");  // back in read mode
    }
}

TEST(SectorWrite, GetIdOfAnEmptySocketShowsWhatItReads) {
    Rig rig("AT29C020      (256)");
    rig.board.remove();
    RunCommand(rig.ctx, Command::GetId);
    ASSERT_EQ(rig.ui.ids.size(), 1u);
    EXPECT_EQ(rig.ui.ids[0].manufacturerName, " [----]");
    EXPECT_EQ(rig.ui.ids[0].deviceCode, " 0xFF");
}

}  // namespace
}  // namespace tavrin
