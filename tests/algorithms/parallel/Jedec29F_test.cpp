// JEDEC flash (29F, 39SF/49F, MXIC 29F, 29F00x, 29Fx00): program, read, verify, chip erase and the
// electronic ID end to end through the command frame on simulated chips.
#include "algorithms/parallel/Jedec29F.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/parallel/JedecRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"

namespace tavrin {
namespace {

using test::JedecImage;
using test::JedecRig;

// One part of each family code, and a second where the decode differs.
constexpr const char *kAm29F040 = "29F040", *kAm29F010 = "29F010", *kSst39SF040 = "39SF/49F040",
                     *kSst39SF010 = "39SF/49F010", *kMbm29F004 = "MBM29F004x",
                     *kAm29F200 = "Am29F200", *kMx29F040 = "MX29F040", *kAt49F002 = "AT49F002",
                     *kAt49F001 = "AT49F001", *kAm29F400 = "Am29F400", *kAm29F320 = "Am29F320",
                     *kMbm29F016 = "MBM29F016x";

void expectSuccess(const JedecRig& rig, const std::string& text) {
    ASSERT_NE(rig.ui.last(), nullptr);
    EXPECT_EQ(rig.ui.lastText(), text);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
}

void expectError(const JedecRig& rig, const std::string& text) {
    ASSERT_NE(rig.ui.last(), nullptr);
    EXPECT_EQ(rig.ui.lastText(), text);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
}

// Program from an image, read it back into a cleared buffer, verify, erase, blank check.
void roundTrip(const char* device, uint32_t bytes, unsigned seed) {
    SCOPED_TRACE(device);
    JedecRig rig(device);
    const std::vector<uint8_t> image = JedecImage(bytes, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, bytes);
    EXPECT_TRUE(rig.socketOff());

    // Whole-chip reads of the larger parts are left to the slow suite.
    const bool small = rig.ctx.profile.bufferSize <= 256 * 1024;
    if (small) {
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
        RunCommand(rig.ctx, Command::Read);
        EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
        EXPECT_TRUE(rig.socketOff());
    }

    rig.ctx.profile.bufferLoaded = bytes;
    RunCommand(rig.ctx, Command::Verify);
    expectSuccess(rig, "Device Verify OK");

    RunCommand(rig.ctx, Command::Erase);
    expectSuccess(rig, "erase completed");
    EXPECT_TRUE(rig.socketOff());
    if (small) {
        RunCommand(rig.ctx, Command::Blank);
        expectSuccess(rig, "Device is Empty");
    }
    EXPECT_TRUE(std::all_of(rig.chip->cells().begin(), rig.chip->cells().end(),
                            [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(rig.chip->log().timeouts, 0u);
}

TEST(Jedec29F, EachFamilyProgramsReadsVerifiesAndErases) {
    roundTrip(kAm29F040, 4096, 1);    // eep 4, A10-A0
    roundTrip(kAm29F010, 4096, 2);    // eep 4, A14-A0
    roundTrip(kSst39SF010, 4096, 3);  // eep 12
    roundTrip(kMx29F040, 4096, 4);    // eep 27
    roundTrip(kAt49F002, 4096, 5);    // eep 23
    roundTrip(kMbm29F004, 4096, 6);   // eep 23, 555/2AA part
    roundTrip(kAm29F200, 4096, 7);    // eep 15, byte mode
    roundTrip("29F64", 4096, 8);      // 28-pin 8 KB: no A13/A14, commands at 1555/0AAA
    roundTrip("29F128", 4096, 9);     // 16 KB: 1555/2AAA
}

TEST(Jedec29F, ChipEraseLongerThanTheFixedWaitIsWaitedFor) {
    // The Am29F320's 64 s typical erase outlasts the 18.4 s wait: the toggle bit is followed to
    // the end, so the socket stays powered until the part is done.
    JedecRig rig(kAm29F320);
    std::fill(rig.chip->cells().begin(), rig.chip->cells().end(), 0x00);
    const double start = rig.board.nowUs();
    RunCommand(rig.ctx, Command::Erase);
    expectSuccess(rig, "erase completed");
    EXPECT_GT(rig.board.nowUs() - start, 64e6);
    EXPECT_EQ(rig.chip->log().aborted, 0u);
    EXPECT_EQ(rig.chip->readCell(0), 0xFF);
    EXPECT_EQ(rig.chip->readCell(rig.chip->type().size - 1), 0xFF);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Jedec29F, GetIdShowsTheTableEntriesOfTheChipInTheSocket) {
    struct Case {
        const char* device;
        const char *maker, *makerCode, *name, *code;
    } cases[] = {
        {kAm29F040, " AMD", " 0x01", " ", " 0xA4"},
        {kAm29F010, " AMD", " 0x01", " ", " 0x20"},
        {kSst39SF040, " SST/Sanyo", " 0xBF", " ", " 0xB7"},
        {kMx29F040, " MXIC", " 0xC2", " MX29F040", " 0xA4"},
        {kAt49F002, " ATMEL", " 0x1F", " AT49F002(N)", " 0x07"},
        {kAt49F001, " ATMEL", " 0x1F", " AT49F001(N)", " 0x05"},
        {kMbm29F016, " Fujitsu", " 0x04", " MBM29F016", " 0xAD"},
        {kAm29F400, " AMD", " 0x01", " ", " 0xAB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        JedecRig rig(c.device);
        RunCommand(rig.ctx, Command::GetId);
        ASSERT_EQ(rig.ui.ids.size(), 1u);
        const ElectronicIdView& id = rig.ui.ids[0];
        EXPECT_EQ(id.manufacturerName, c.maker);
        EXPECT_EQ(id.manufacturerCode, c.makerCode);
        EXPECT_EQ(id.deviceName, c.name);
        EXPECT_EQ(id.deviceCode, c.code);
        EXPECT_TRUE(rig.socketOff());
        // The part is back in read-array mode: a read shows the array, not the codes.
        rig.load(std::vector<uint8_t>(4, 0xFF));
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    }
}

TEST(Jedec29F, GetIdOfAnEmptySocketOrAnotherPart) {
    JedecRig rig(kAm29F040);
    ASSERT_TRUE(rig.fault("id:0x1F:0xD5"));
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().manufacturerName, " ATMEL");
    EXPECT_EQ(rig.ui.ids.back().deviceName, " AT29C010A");

    ASSERT_TRUE(rig.fault("no-chip"));
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().manufacturerName, " [----]");
    EXPECT_EQ(rig.ui.ids.back().manufacturerCode, " 0xFF");
    EXPECT_EQ(rig.ui.ids.back().deviceCode, " 0xFF");
}

TEST(Jedec29F, ReadId49FTakesTheByteAt100WhenTheFirstTwoAreEqual) {
    JedecRig rig(kAt49F002);
    rig.chip->setIdByte(1, 0x1F);
    rig.chip->setIdByte(0x100, 0x08);
    RunCommand(rig.ctx, Command::GetId);
    EXPECT_EQ(rig.ui.ids.back().deviceCode, " 0x08");
    EXPECT_EQ(rig.ui.ids.back().deviceName, " AT49F002(N)T");
}

TEST(Jedec29F, SkipFFWritesNothingForErasedBytesButStillRunsTheGaugeAndVerify) {
    JedecRig rig(kAm29F040);
    ASSERT_EQ(rig.ctx.profile.skipFF, 1);  // every JEDEC part selects it
    rig.load(std::vector<uint8_t>(0x800, 0xFF));
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writes, 0u);
    EXPECT_EQ(rig.ui.gauges.back().caption, "Verifying chip");
    EXPECT_EQ(rig.ui.lastProgress, 0x800);  // indexes 0 through bufferLoaded

    // Without it every byte gets its command and data cycles.
    rig.ctx.profile.skipFF = 0;
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writes, 4u * 0x801);
}

TEST(Jedec29F, TheShortFileIsProgrammedThroughItsLastIndexAndAnOffsetRunStartsThere) {
    JedecRig rig(kAm29F040);
    const std::vector<uint8_t> image = JedecImage(0x100, 9);
    rig.load(image);
    rig.ctx.profile.Offset = 0x10000;
    rig.ui.answers.push_back(true);
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_EQ(rig.ui.questions.back(), "Use offset of 0x010000");
    EXPECT_TRUE(rig.chipHolds(image, 0x10000));
    EXPECT_EQ(rig.chip->readCell(0), 0xFF);
    EXPECT_EQ(rig.chip->readCell(0x10000 + 0x100), rig.ctx.Buffer[0x100]);  // index bufferLoaded
    EXPECT_EQ(rig.ctx.profile.bufferSize, rig.ctx.profile.deviceSize);      // given back
}

TEST(Jedec29F, TheCommandAddressSetMustMatchThePartsDecode) {
    // A10-A0 parts take both sets.
    for (int sequ : {0, 1}) {
        JedecRig rig(kAm29F040);
        rig.ctx.profile.sequ = sequ;
        rig.load(JedecImage(0x200, 10));
        RunCommand(rig.ctx, Command::Program);
        expectSuccess(rig, "Device Programed OK");
    }
    // A14-A0 parts ignore 555/2AA: the first byte fails at the attempt limit.
    JedecRig rig(kAm29F010);
    rig.ctx.profile.sequ = 0;
    std::vector<uint8_t> image(0x200, 0x5A);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectError(rig, " Error at 0x000000  Chip = 0xFF  buffer = 0x5A");
    EXPECT_EQ(rig.chip->log().programs, 0u);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_TRUE(rig.socketOff());
    // Erase at the wrong set leaves the chip as it was, which the blank check then shows.
    rig.chip->cells()[0x40] = 0x00;
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.chip->log().erases, 0u);
    RunCommand(rig.ctx, Command::Blank);
    expectError(rig, "Device is NOT Empty ($000040)");

    // The 29F00x routine uses 5555/2AAA whatever the box says.
    JedecRig at(kAt49F002);
    at.ctx.profile.sequ = 0;
    at.load(JedecImage(0x200, 11));
    RunCommand(at.ctx, Command::Program);
    expectSuccess(at, "Device Programed OK");
}

TEST(Jedec29F, SixteenBitFamilyTakesBothItsSets) {
    for (int sequ : {0, 1}) {
        JedecRig rig(kAm29F400);
        EXPECT_EQ(rig.ctx.controls.cb5555Caption, "( AAAA,5555,AAAA.. )");
        rig.ctx.profile.sequ = sequ;
        const std::vector<uint8_t> image = JedecImage(0x400, 12);
        rig.load(image);
        RunCommand(rig.ctx, Command::Program);
        expectSuccess(rig, "Device Programed OK");
        RunCommand(rig.ctx, Command::GetId);
        EXPECT_EQ(rig.ui.ids.back().deviceCode, " 0xAB");
        RunCommand(rig.ctx, Command::Erase);
        expectSuccess(rig, "erase completed");
        EXPECT_EQ(rig.chip->readCell(0), 0xFF);
    }
}

TEST(Jedec29F, FastProgrammingReachesTheCommandAddressesByOneClock) {
    struct Case {
        const char* device;
        int sequ;
        bool works;
    } cases[] = {
        {kAm29F040, 0, true},    // 0x555, 0xAAA, 0x1555: low 11 bits fit
        {kAm29F040, 1, true},    // 0x5555, 0xAAAA, 0x15555
        {kSst39SF040, 1, true},  // low 15 bits fit
        {kAm29F010, 0, false},   // A14-A0 part: the 555 set fails, fast or not
        {kAt49F002, 0, true},    // 29F00x: always the 5555 set
        {kAm29F400, 0, true},    // 0xAAA, 0x1555, 0x2AAA: low 12 bits
        {kAm29F400, 1, true},    // 0xAAAA, 0x15555, 0x2AAAA
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.device) + " sequ " + std::to_string(c.sequ));
        JedecRig rig(c.device);
        rig.ctx.profile.sequ = c.sequ;
        rig.ctx.profile.fastPro = 1;
        const std::vector<uint8_t> image = JedecImage(0x300, 13);
        rig.load(image);
        rig.board.resetCounters();
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.saw("Device Programed OK"), c.works);
        EXPECT_EQ(rig.chipHolds(image), c.works);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Jedec29F, FujitsuFastModeProgramsInTwoCyclesAndLeavesTheMode) {
    JedecRig rig(kAm29F400);
    rig.ctx.profile.fujitsuFast = 1;
    const std::vector<uint8_t> image = JedecImage(0x800, 14);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_EQ(rig.ui.gauges.front().caption, "Programming chip");
    // One set command, two cycles per byte written (indexes 0 through bufferLoaded, 0xFF
    // skipped), the two reset cycles.
    const auto written = std::count_if(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + 0x801,
                                       [](uint8_t b) { return b != 0xFF; });
    EXPECT_EQ(rig.chip->log().writes, 3u + 2u * uint64_t(written) + 2u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Jedec29F, TemporaryUnprotectProgramsTheLockedBootBlock) {
    JedecRig rig(kAt49F002);
    EXPECT_TRUE(rig.ctx.controls.cbProtectEnabled);
    ASSERT_TRUE(rig.fault("protect:0"));  // boot block locked out
    std::vector<uint8_t> image(0x100, 0x3C);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectError(rig, " Error at 0x000000  Chip = 0xFF  buffer = 0x3C");
    EXPECT_TRUE(rig.socketOff());

    rig.ctx.profile.AT49F00x = 1;  // "Temporary Sector Unprotect" checked: 12 V on RESET#
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    EXPECT_TRUE(rig.socketOff());

    // The chip erase skips the locked boot block and ends normally; the blank check shows it.
    rig.chip->cells()[0x8000] = 0x00;
    RunCommand(rig.ctx, Command::Erase);
    expectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.chip->readCell(0x8000), 0xFF);
    EXPECT_EQ(rig.chip->readCell(0), 0x3C);
    RunCommand(rig.ctx, Command::Blank);
    expectError(rig, "Device is NOT Empty ($000000)");
}

TEST(Jedec29F, TemporaryUnprotectOfTheSixteenBitFamily) {
    JedecRig rig(kAm29F400);
    ASSERT_TRUE(rig.fault("protect:4"));  // the first 64 KB sector, 0x10000
    std::vector<uint8_t> image(0x10010, 0x11);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectError(rig, " Error at 0x010000  Chip = 0xFF  buffer = 0x11");
    rig.ctx.profile.AT49F00x = 1;
    RunCommand(rig.ctx, Command::Program);
    expectSuccess(rig, "Device Programed OK");
    // Erase with 12 V on RESET# clears the protected sector too.
    RunCommand(rig.ctx, Command::Erase);
    expectSuccess(rig, "erase completed");
    EXPECT_EQ(rig.chip->readCell(0x10000), 0xFF);
    EXPECT_TRUE(rig.socketOff());
}

TEST(Jedec29F, StuckBitStopsProgrammingWithTheMismatchAtItsAddress) {
    {
        // The SST39SF has no DQ5: the program ends and the cell shows the stuck bit.
        JedecRig rig(kSst39SF040);
        ASSERT_TRUE(rig.fault("stuck:0x1234:3=1"));
        rig.load(std::vector<uint8_t>(0x2000, 0x00));
        RunCommand(rig.ctx, Command::Program);
        expectError(rig, " Error at 0x001234  Chip = 0x08  buffer = 0x00");
        EXPECT_EQ(rig.ctx.profile.verifyError, 1);
        EXPECT_EQ(rig.chip->readCell(0x1233), 0x00);
        EXPECT_EQ(rig.chip->readCell(0x1235), 0xFF);  // stopped there
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x2000u);
        EXPECT_TRUE(rig.socketOff());
    }
    {
        // The Am29F040B runs into its time limit and shows status (DQ7#, DQ5) until reset.
        JedecRig rig(kAm29F040);
        ASSERT_TRUE(rig.fault("stuck:0x1234:3=1"));
        rig.load(std::vector<uint8_t>(0x2000, 0x00));
        RunCommand(rig.ctx, Command::Program);
        const std::string text = rig.ui.lastText();
        EXPECT_EQ(text.substr(0, 28), " Error at 0x001234  Chip = 0");
        EXPECT_EQ(text.substr(text.size() - 13), "buffer = 0x00");
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_EQ(rig.chip->log().timeouts, 1u);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Jedec29F, ProtectedSectorIgnoresProgramAndErase) {
    JedecRig rig(kAm29F040);
    ASSERT_TRUE(rig.fault("protect:1"));
    std::vector<uint8_t> image(0x10004, 0x00);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    expectError(rig, " Error at 0x010000  Chip = 0xFF  buffer = 0x00");
    EXPECT_EQ(rig.chip->readCell(0xFFFF), 0x00);

    // The part skips the sector and ends its erase normally; the routine asks which sectors are
    // protected and does not call the chip erased.
    RunCommand(rig.ctx, Command::Erase);
    expectError(rig, " Sector 1 is protected: the chip is not erased");
    EXPECT_FALSE(rig.ui.saw("erase completed"));
    EXPECT_EQ(rig.chip->readCell(0), 0xFF);
    EXPECT_TRUE(rig.socketOff());

    JedecRig clean(kMx29F040);  // no sector protected: the same check passes
    clean.load(std::vector<uint8_t>(0x100, 0x00));
    RunCommand(clean.ctx, Command::Program);
    RunCommand(clean.ctx, Command::Erase);
    expectSuccess(clean, "erase completed");
}

TEST(Jedec29F, EraseThatDoesNotEndIsAFailureInTheErrorStyle) {
    {
        JedecRig rig(kAm29F040);
        ASSERT_TRUE(rig.fault("slow-erase:10"));  // 80 s against the 64 s maximum
        RunCommand(rig.ctx, Command::Erase);
        expectError(rig, kEraseStillBusy);
        EXPECT_FALSE(rig.ui.saw("erase completed"));
        EXPECT_TRUE(rig.socketOff());
    }
    {
        JedecRig rig(kAm29F040);
        ASSERT_TRUE(rig.fault("stuck:0x2000:0=0"));  // a bit the erase cannot raise
        RunCommand(rig.ctx, Command::Erase);
        expectError(rig, kEraseTimedOut);
        EXPECT_FALSE(rig.ui.saw("erase completed"));
        EXPECT_TRUE(rig.socketOff());
    }
    {
        JedecRig rig(kAm29F400);
        ASSERT_TRUE(rig.fault("slow-erase:200"));
        RunCommand(rig.ctx, Command::Erase);
        expectError(rig, kEraseStillBusy);
        EXPECT_EQ(rig.ui.gauges.back().caption, "Erasing chip");
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Jedec29F, CancelStopsProgramAndErase) {
    {
        JedecRig rig(kAm29F040);
        rig.load(JedecImage(0x1000, 15));
        rig.ui.cancelAfterPumps(100);
        RunCommand(rig.ctx, Command::Program);
        expectError(rig, "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
        EXPECT_EQ(rig.ui.gauges.size(), 1u);  // no verify
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x1000u);
        EXPECT_TRUE(rig.socketOff());
    }
    for (const char* device : {kAm29F040, kAm29F400}) {
        SCOPED_TRACE(device);
        JedecRig rig(device);
        rig.ui.cancelAfterPumps(10);
        const long before = rig.ui.pumps;
        RunCommand(rig.ctx, Command::Erase);
        expectError(rig, "program interrupted!");
        EXPECT_FALSE(rig.ui.saw("erase completed"));
        EXPECT_LT(rig.ui.pumps - before, 20);  // the wait ended at once
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(Jedec29F, AbsentBoardStopsBeforeTheRoutine) {
    JedecRig rig(kAm29F040);
    rig.load(JedecImage(0x10, 16));
    ASSERT_TRUE(rig.fault("board-absent"));
    RunCommand(rig.ctx, Command::Program);
    expectError(rig, "Hardware Error :  Check Power && connection");
    EXPECT_EQ(rig.chip->log().programs, 0u);
}

}  // namespace
}  // namespace tavrin
