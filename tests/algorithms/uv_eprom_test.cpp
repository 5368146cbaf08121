// UV EPROM read, program, verify and blank check end to end through the command frame on
// simulated chips.
#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/parallel/UvEprom.h"
#include "core/Commands.h"
#include "core/Dispatch.h"
#include "core/RunFrame.h"
#include "sim/ChipFactory.h"

namespace tavrin {
namespace {

using test::EpromRig;
using test::RandomImage;

constexpr const char *k27C64 = "27C64", *k27C256 = "27C256", *k27C512 = "27C512",
                     *k27C080 = "27C080/801   (PCB3)", *k27C1024 = "27C1024, 27C210",
                     *k27C400 = "27C400", *k27C322 = "27C322", *k2716 = "2716  (PCB3)";

bool sameAsChip(const EpromRig& rig, uint32_t index, uint32_t address, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        if (rig.ctx.Buffer[index + i] != rig.chip->readCell(address + i)) return false;
    return true;
}

// Program, read back into a cleared buffer, verify: the round trip every EPROM must survive.
void roundTrip(const char* device, uint32_t bytes, unsigned seed) {
    SCOPED_TRACE(device);
    EpromRig rig(device);
    const std::vector<uint8_t> image = RandomImage(bytes, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_EQ(rig.ctx.profile.verifyError, 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    EXPECT_TRUE(rig.socketOff());

    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, uint32_t(rig.ctx.profile.bufferSize));
    EXPECT_EQ(rig.ctx.controls.caption,
              "Tavrin Eprom Prog(0.95B)- " + rig.ctx.controls.edDevice + " Image");
    EXPECT_TRUE(rig.socketOff());

    rig.ctx.profile.bufferLoaded = bytes;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, ProgramReadVerifyRoundTrip) {
    roundTrip(k27C256, 32768, 1);
    roundTrip(k27C64, 8192, 2);
    roundTrip(k27C512, 65536, 3);
}

TEST(UvEprom, SixteenBitPartsBehindTheAdapterRoundTrip) {
    roundTrip(k27C1024, 4096, 4);  // /PGM part, read with the strobe released
    roundTrip(k27C400, 4096, 5);   // BYTE/VPP part
}

TEST(UvEprom, BlankCheckPassesOnAFreshChipAndStopsAtTheFirstProgrammedByte) {
    EpromRig rig(k27C256);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_EQ(rig.ui.gauges.back().caption, "Checking Device is Empty");
    EXPECT_EQ(rig.ui.gauges.back().color, GaugeColor::Blank);
    EXPECT_TRUE(rig.socketOff());

    rig.chip->cells()[0] = 0x00;
    const long pumps = rig.ui.pumps;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), Format("Device is NOT Empty ($%4.6x)", 0));
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($000000)");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ui.pumps - pumps, 1);  // only the gauge's own pump: stopped at once
    EXPECT_TRUE(rig.socketOff());

    rig.chip->cells()[0] = 0xFF;
    rig.chip->cells()[0x1234] = 0xFE;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($001234)");
}

TEST(UvEprom, StuckBitStopsProgrammingWithTheMismatchAtItsAddress) {
    EpromRig rig(k27C256);
    rig.chip->setStuckBit(0x1234, 3, true);
    std::vector<uint8_t> image(0x2000, 0x00);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x001234  Chip = 0x08  buffer = 0x00");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.chip->cells()[0x1233], 0x00);
    EXPECT_EQ(rig.chip->cells()[0x1235], 0xFF);  // stopped there
    // 26 attempts: the first pulse charged the cell, the 25 retries found nothing left to charge.
    EXPECT_EQ(rig.chip->log().ignoredPulses, 25u);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x2000u);  // restored
    EXPECT_TRUE(rig.socketOff());
}

// Lengths in delay units of the program pulses in a trace: Vpp on, the board driving the data
// pins, and the strobe asserted (/CE or /PGM low) or, for 2716-type parts, released (CE/PGM high).
std::vector<double> programPulses(const sim::Trace& trace, bool pulseIsStrobeReleased) {
    bool vpp = false, strobe = true, dataOut = false;
    int64_t start = 0;
    std::vector<double> widths;
    auto pulsing = [&] { return vpp && dataOut && strobe != pulseIsStrobeReleased; };
    for (const sim::Trace::Change& c : trace.changes()) {
        const bool wasOn = pulsing();
        if (c.signal == sim::Signal::Vpp) vpp = c.value;
        if (c.signal == sim::Signal::Strobe) strobe = c.value;
        if (c.signal == sim::Signal::DataOut) dataOut = c.value;
        const bool on = pulsing();
        if (on && !wasOn) start = c.ticks;
        if (!on && wasOn) widths.push_back(double(c.ticks - start) / kTicksPerDelayUnit);
    }
    return widths;
}

TEST(UvEprom, SlowCellRaisesThePeaksByTheRetryRule) {
    EpromRig rig(k27C256);
    const int pulses = 3;
    rig.chip->setSlowCell(0x10, pulses);
    rig.load(RandomImage(0x40, 7));
    rig.ctx.Buffer[0x10] = 0x00;
    rig.board.trace().enable(true);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    const DeviceProfile& p = rig.ctx.profile;
    // One pulse for each of the 0x41 bytes, three for the slow one: 140, 190, 240 units (plus
    // the port write that ends each).
    const std::vector<double> widths = programPulses(rig.board.trace(), false);
    ASSERT_EQ(widths.size(), 0x41u + pulses - 1);
    for (int n = 0; n < pulses; ++n) EXPECT_NEAR(widths[0x10 + n], p.tWP + n * p.addStep, 2);
    EXPECT_NEAR(widths[0x0F], p.tWP, 2);
    EXPECT_NEAR(widths[0x10 + pulses], p.tWP, 2);  // the next byte starts afresh
    // Attempt n runs with tWP + (n - 1) * addStep and tWC + (n - 1) * 10.
    EXPECT_EQ(rig.ui.peaks.loop, pulses);
    EXPECT_EQ(rig.ui.peaks.twp, p.tWP + (pulses - 1) * p.addStep);
    EXPECT_EQ(rig.ui.peaks.twc, p.tWC + (pulses - 1) * 10);
    EXPECT_EQ(rig.ui.peaks.loop, 3);
    EXPECT_EQ(rig.ui.peaks.twc, 40);
    EXPECT_EQ(rig.ui.peaks.twp, 240);
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, Path2716GivesTwentyFiveEqualPulsesBeforeItGivesUp) {
    EpromRig rig(k2716);
    rig.chip->setNeverPrograms(true);
    rig.load({0x55});
    rig.board.trace().enable(true);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x55");
    const std::vector<double> widths = programPulses(rig.board.trace(), true);
    ASSERT_EQ(widths.size(), 25u);
    for (double w : widths) EXPECT_NEAR(w, 2 * 29830, 2);  // 2 x tWP plus a port write
    EXPECT_TRUE(rig.socketOff());
}

// The 2716 and the parts sold as 27C16 and 27C32 take one 45-55 ms pulse a byte: each row's
// pulse (2 x tWP = 50.0 ms on the 2716 path, tWP = 50.0 ms on the growing path) programs every
// byte with its first pulse, and the chip verifies.
TEST(UvEprom, SlowPartsProgramWithOnePulseOfTheirWidth) {
    for (const char* caption : {k2716, "27C16  (PCB3)", "27C32  (PCB3)"}) {
        SCOPED_TRACE(caption);
        EpromRig rig(caption);
        rig.load({0x00, 0x12, 0xFF, 0x80});
        rig.board.trace().enable(true);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->cells()[1], 0x12);
        EXPECT_EQ(rig.ui.peaks.loop, 1) << "one pulse a byte";
        const bool path2716 = rig.ctx.profile.deviceSize <= 2048;
        const std::vector<double> widths = programPulses(rig.board.trace(), path2716);
        EXPECT_EQ(widths.size(), 5u);  // indices 0 through bufferLoaded
        for (double w : widths) {
            EXPECT_GE(w * 0.8381, 45000) << "us";
            EXPECT_LE(w * 0.8381, 55000) << "us";
        }
        RunCommand(rig.ctx, Command::Verify);
        EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(UvEprom, CancelledReadKeepsTheBytesReadSoFar) {
    EpromRig rig(k27C256);
    const std::vector<uint8_t> image = RandomImage(32768, 3);
    std::transform(image.begin(), image.end(), rig.chip->cells().begin(),
                   [](uint8_t b) { return uint8_t(b & 0x7F); });  // no 0xFF anywhere
    rig.ctx.profile.bufferLoaded = 0;
    rig.ui.cancelAfterPumps(100);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Process Cancelled");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    const int64_t last = rig.ui.lastProgress;
    ASSERT_GT(last, 10);
    ASSERT_LT(last, 200);
    EXPECT_TRUE(sameAsChip(rig, 0, 0, uint32_t(last) + 1));
    EXPECT_EQ(rig.ctx.Buffer[size_t(last) + 1], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, CancelledProgramSaysSoAndSkipsTheVerify) {
    EpromRig rig(k27C64);
    rig.load(RandomImage(8192, 4));
    rig.ui.cancelAfterPumps(20);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_EQ(rig.ui.gauges.back().caption, "programming chip");
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, OffsetReadStoresAtOffsetPlusIndex) {
    EpromRig rig(k27C256);
    const std::vector<uint8_t> image = RandomImage(32768, 5);
    std::copy(image.begin(), image.end(), rig.chip->cells().begin());
    rig.ctx.profile.Offset = 0x100;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.questions.at(0), "Use offset of 0x000100");
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ctx.Buffer[0xFF], 0xFF);  // below the offset: cleared, not read
    EXPECT_TRUE(sameAsChip(rig, 0x100, 0x100, 32768 - 0x100));
    // The run goes on for bufferSize bytes; the chip sees the low 15 address bits only.
    EXPECT_TRUE(sameAsChip(rig, 0x8000, 0, 0x100));
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, OffsetProgramAndVerifyUseIndexIForDeviceAddressOffsetPlusI) {
    EpromRig rig(k27C256);
    const std::vector<uint8_t> image = RandomImage(0x20, 6);
    rig.load(image);
    rig.ctx.profile.Offset = 0x4000;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.questions.size(), 1u);  // the program's verify does not ask again
    for (uint32_t i = 0; i <= 0x20; ++i)
        EXPECT_EQ(rig.chip->cells()[0x4000 + i], rig.ctx.Buffer[i]);
    EXPECT_EQ(rig.chip->cells()[0x3FFF], 0xFF);
    EXPECT_EQ(rig.chip->cells()[0x4021], 0xFF);

    // A wrong byte is reported at its image index with the image's byte.
    rig.chip->cells()[0x4005] &= 0x0F;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), Format(" Error at 0x000005  Chip = 0x%02X  buffer = 0x%02X",
                                        rig.chip->cells()[0x4005], rig.ctx.Buffer[5]));
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, ProgramFailureWithOffsetShowsTheByteBeingWritten) {
    EpromRig rig(k27C256);
    rig.chip->setNeverPrograms(true);
    rig.load({0x12, 0x34});
    rig.ctx.Buffer[0x102] = 0x99;  // what the image holds at index Offset + i
    rig.ctx.profile.Offset = 0x102;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000102  Chip = 0xFF  buffer = 0x12");
}

TEST(UvEprom, OffsetAnsweredNoRunsFromZero) {
    EpromRig rig(k27C64);
    rig.load({0xA5});
    rig.ctx.profile.Offset = 0x100;
    RunCommand(rig.ctx, Command::Program);  // no scripted answer: No
    EXPECT_EQ(rig.ctx.profile.Offset, 0u);
    EXPECT_EQ(rig.chip->cells()[0], 0xA5);
    EXPECT_EQ(rig.chip->cells()[0x100], 0xFF);
}

TEST(UvEprom, OffsetNearTheImageEndNeverLeavesTheBuffer) {
    EpromRig rig(k27C322);  // 4 MB: a read from an offset would run past the image
    for (uint32_t a = 0x3FFF00; a < 0x400000; ++a) rig.chip->cells()[a] = uint8_t(a * 7);
    rig.ctx.profile.Offset = 0x3FFF00;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ctx.Buffer.size(), size_t(kBufferBytes));
    EXPECT_EQ(rig.ui.lastProgress, 0xFF);  // stopped at the last index of the image
    EXPECT_TRUE(sameAsChip(rig, 0x3FFF00, 0x3FFF00, 0x100));
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, OffsetPastTheDeviceProgramsNothing) {
    EpromRig rig(k27C64);
    rig.load({0x00, 0x00});
    rig.ctx.profile.Offset = 0x2000;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.chip->log().pulses, 0u);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 2u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, LoadedExtentIsAnInclusiveLastIndex) {
    EpromRig rig(k27C256);
    const std::vector<uint8_t> image = RandomImage(0x200, 8);
    std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
    rig.ctx.profile.bufferLoaded = 0x100;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->cells()[0x100], image[0x100]);
    EXPECT_EQ(rig.chip->cells()[0x101], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x100u);
    EXPECT_EQ(rig.ui.gauges.back().max, 0x100 - 1);  // the verify's gauge
}

TEST(UvEprom, SkipFFOnAnErasedImageProgramsNothingAndVerifies) {
    EpromRig rig(k27C256);
    rig.load(std::vector<uint8_t>(0x1000, 0xFF));
    rig.ctx.profile.skipFF = 1;
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().pulses + rig.chip->log().ignoredPulses, 0u);
}

TEST(UvEprom, VerifyOf27C64NeverAssertsTheStrobeWhilePowered) {
    EpromRig rig(k27C64);
    rig.load(std::vector<uint8_t>(0x80, 0xFF));
    rig.board.trace().enable(true);
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    bool vcc = false, strobe = false, both = false;
    for (const sim::Trace::Change& c : rig.board.trace().changes()) {
        if (c.signal == sim::Signal::Vcc) vcc = c.value;
        if (c.signal == sim::Signal::Strobe) strobe = c.value;
        both = both || (vcc && strobe);
    }
    EXPECT_FALSE(both);
}

TEST(UvEprom, VerifyReportsTheImageIndexAndTheImageByte) {
    EpromRig rig(k27C256);
    rig.load({0x00, 0x01});
    rig.chip->cells()[0] = 0x00;
    rig.chip->cells()[1] = 0x03;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000001  Chip = 0x03  buffer = 0x01");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, EveryVerifyTheUserAsksForGivesItsVerdict) {
    EpromRig rig(k27C256);
    rig.load({0x11, 0x22});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_FALSE(rig.ui.saw("Device Verify OK"));  // the program's own verify is quiet
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.ui.messages.clear();
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
}

TEST(UvEprom, WrongVppFlagOnAnOeVppPartReadsNothingBack) {
    EpromRig rig(k27C512);
    rig.ctx.profile.keepVpp = 1;  // the combined OE#/VPP pin cannot read with Vpp on
    rig.load({0x3C});
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000000  Chip = 0xFF  buffer = 0x3C");
    EXPECT_EQ(rig.chip->cells()[0], 0x3C);  // programmed all the same
    EXPECT_TRUE(rig.socketOff());
}

TEST(UvEprom, HighAddressStagesReachThe27C080) {
    EpromRig rig(k27C080);
    rig.load({0x5A, 0xA5});
    rig.ctx.profile.Offset = 0xF8000;  // A19..A15 set: stages 19 (jumper, pin 1) and 18 (pin 31)
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->cells()[0xF8000], 0x5A);
    EXPECT_EQ(rig.chip->cells()[0xF8001], 0xA5);
    EXPECT_EQ(rig.chip->cells()[0x78000], 0xFF);
}

TEST(UvEprom, FiftyMicrosecondEntryNeedsASecondPulse) {
    EpromRig rig("AT27C080 (pro 50uS)");
    rig.load(std::vector<uint8_t>(16, 0x00));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    // 55 units (46.1 us) plus the port write fall short of the 50 us a cell takes.
    EXPECT_EQ(rig.ui.peaks.loop, 2);
    EXPECT_EQ(rig.ui.peaks.twp, 55 + rig.ctx.profile.addStep);
    EXPECT_LT(rig.chip->log().shortestPulseUs, rig.chip->type().pulseMinUs);
}

// Called directly, without the command frame's own power-down behind them.
TEST(UvEprom, EveryRoutineLeavesTheSocketUnpoweredOnEveryPath) {
    const Routine routines[] = {&ReadEprom,    &ProgramEprom,   &VerifyEprom,
                                &ReadParallel, &VerifyParallel, &BlankCheck};
    enum Path { Clean, Cancel, Fault };
    for (Routine routine : routines) {
        for (Path path : {Clean, Cancel, Fault}) {
            SCOPED_TRACE(testing::Message() << "path " << path);
            EpromRig rig(k27C256);
            rig.load(RandomImage(0x40, 9));
            if (path == Cancel) rig.ui.cancelAfterPumps(4);
            if (path == Fault) {
                rig.chip->setNeverPrograms(true);
                rig.chip->cells()[2] = 0x00;  // not blank, and differs from the image
            }
            routine(rig.ctx);
            EXPECT_TRUE(rig.socketOff());
            EXPECT_FALSE(rig.board.pins().dataOut && rig.board.vccOn());
        }
    }
}

TEST(UvEprom, AbsentBoardReportsTheHardwareInsteadOfTheMismatch) {
    EpromRig rig(k27C256);
    rig.load({0x5A});
    int pumps = 0;
    rig.ui.onPump = [&] {
        if (++pumps == 1) rig.board.setPowered(false);  // power lost as the gauge opens
    };
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin

namespace tavrin::test {
namespace {

// The part decides the algorithm: an offset run with 2 KB or less left above the offset keeps
// the growing pulse of a 27C256 (the 2716 path would give the same width every time).
TEST(UvEprom, OffsetRunNearTheEndKeepsTheGrowingPulse) {
    EpromRig rig(k27C256);
    const DeviceProfile& p = rig.ctx.profile;
    rig.load(RandomImage(0x400, 21));
    rig.ctx.profile.Offset = 0x8000 - 0x400;  // 1 KB left
    rig.chip->setSlowCell(0x8000 - 0x400 + 0x10, 4);
    rig.ui.answers = {true};  // the offset question
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.peaks.loop, 4);
    EXPECT_EQ(rig.ui.peaks.twp, p.tWP + 3 * p.addStep) << "peaks rise by addStep";
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin::test
