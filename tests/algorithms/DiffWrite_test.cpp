// Differential writes end to end through the command frame on the simulated EEPROMs: the chip is
// read first and only the units that differ from the image are written.
#include "algorithms/DiffWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "algorithms/EpromSelection.h"
#include "algorithms/parallel/PartRig.h"
#include "core/Commands.h"
#include "core/RunFrame.h"
#include "sim/parallel/SimEeprom.h"
#include "sim/parallel/SimStaticRam.h"
#include "sim/serial/SimEeprom24C.h"
#include "sim/serial/SimEeprom25C.h"
#include "sim/serial/SimEeprom93C.h"

namespace tavrin {
namespace {

using test::PartRig;
using test::RandomImage;

constexpr const char *kAT28C256 = "AT28C256  (64)", *k28C256 = "28C256",
                     *k24C256 = "24C256    (64)", *k24C16 = "24C16", *k25x256 = "25x256  (64)",
                     *k25x040 = "25x040", *k93C46A = "93C46A (16bit)", *kDS1230 = "DS1230  32KB";

// A rig whose chip already holds `image`, with the image loaded and one byte of it changed at
// `changed`: the situation of a production line that patches one page of a programmed part.
template <typename Chip>
struct Patched : PartRig<Chip> {
    Patched(const char* caption, uint32_t changed, unsigned seed = 7) : PartRig<Chip>(caption) {
        const uint32_t size = uint32_t(this->ctx.profile.bufferSize);
        image = RandomImage(size, seed);
        std::copy(image.begin(), image.end(), cells().begin());
        image[changed] ^= 0x5A;
        this->load(image);
        this->ctx.profile.diffWrite = 1;
    }
    std::vector<uint8_t>& cells() {
        if constexpr (std::is_same_v<Chip, sim::SimStaticRam>)
            return this->chip->memory();
        else
            return this->chip->cells();
    }
    bool chipHoldsImage() { return std::equal(image.begin(), image.end(), cells().begin()); }
    double runUs(Command c) {
        const double start = this->board.nowUs();
        RunCommand(this->ctx, c);
        return this->board.nowUs() - start;
    }
    std::vector<uint8_t> image;
};

TEST(DiffWrite, PlanMarksTheAlignedUnitsThatDiffer) {
    std::vector<uint8_t> chip(300, 0x11), image = chip;
    image[0] = 0;
    image[130] = 0;
    image[191] = 0;
    image[299] = 0;  // in the short last unit
    const WritePlan plan = PlanWrites(chip.data(), image.data(), 300, 64);
    EXPECT_EQ(plan.write, (std::vector<uint8_t>{1, 0, 1, 0, 1}));
    EXPECT_TRUE(plan.writes(63));
    EXPECT_FALSE(plan.writes(64));
    EXPECT_TRUE(plan.writes(191));
    EXPECT_TRUE(plan.writes(300));   // the rest of a unit that is written goes with it
    EXPECT_FALSE(plan.writes(320));  // past the image: nothing of it to write
    const PlanSummary s = Summarise(plan, 300);
    EXPECT_EQ(s.units, 5u);
    EXPECT_EQ(s.unitsToWrite, 3u);
    EXPECT_EQ(s.bytesToWrite, 64u + 64u + 44u);
    EXPECT_TRUE(WritePlan{}.writes(123456));  // no plan: everything is written
}

TEST(DiffWrite, OfferedForTheEepromFamiliesOnly) {
    test::SimRig rig;
    for (const char* part : {kAT28C256, k28C256, k24C256, k24C16, k25x256, k93C46A, kDS1230}) {
        SelectDevice(rig.ctx, *FindDevice(part));
        EXPECT_TRUE(DiffWriteOffered(rig.ctx.profile)) << part;
    }
    EXPECT_EQ(DiffWriteUnit(rig.ctx.profile), 1u);  // DS1230
    SelectDevice(rig.ctx, *FindDevice(kAT28C256));
    EXPECT_EQ(DiffWriteUnit(rig.ctx.profile), 64u);
    SelectDevice(rig.ctx, *FindDevice(k93C46A));
    EXPECT_EQ(DiffWriteUnit(rig.ctx.profile), 2u);
    for (const char* part : {"27C256", "AT29C256    tavrin", "29F040"}) {
        SelectDevice(rig.ctx, *FindDevice(part));
        EXPECT_FALSE(DiffWriteOffered(rig.ctx.profile)) << part;
    }
}

// The measure of the feature: one changed page of a 32 KB AT28C256, plain and differential.
TEST(DiffWrite, At28C256WritesOnlyTheChangedPage) {
    Patched<sim::SimEeprom> plain(kAT28C256, 0x1234);
    plain.ctx.profile.diffWrite = 0;
    const double plainUs = plain.runUs(Command::Program);
    EXPECT_EQ(plain.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(plain.chip->log().writeCycles, 512u);

    Patched<sim::SimEeprom> rig(kAT28C256, 0x1234);
    const double diffUs = rig.runUs(Command::Program);
    EXPECT_TRUE(rig.ui.saw("Differential write: 1 of 512 pages differ, 64 bytes to write"));
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
    EXPECT_FALSE(rig.ui.saw("Chip read OK"));    // the read before the write keeps its text back
    EXPECT_EQ(rig.chip->log().writeCycles, 1u);  // one page write cycle
    ASSERT_EQ(rig.chip->log().commandAddresses.size(), 1u);
    EXPECT_TRUE(rig.chipHoldsImage());
    EXPECT_TRUE(rig.socketOff());
    EXPECT_FALSE(rig.ctx.writePlan.active());
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x7FFFu);
    EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");  // not the chip image's
    EXPECT_LT(diffUs * 3, plainUs);
    std::printf("AT28C256 one page: plain %.0f ms (32768 bytes), differential %.0f ms (64 bytes)\n",
                plainUs / 1000, diffUs / 1000);
}

TEST(DiffWrite, Eeprom24C256WritesOnlyTheChangedPage) {
    Patched<sim::SimEeprom24C> plain(k24C256, 0x4321);
    plain.ctx.profile.diffWrite = 0;
    const double plainUs = plain.runUs(Command::Program);
    EXPECT_EQ(plain.chip->log().bytesWritten, 32768u);

    Patched<sim::SimEeprom24C> rig(k24C256, 0x4321);
    const double diffUs = rig.runUs(Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 1u);
    EXPECT_EQ(rig.chip->log().bytesWritten, 64u);
    EXPECT_TRUE(rig.chipHoldsImage());
    EXPECT_TRUE(rig.socketOff());
    // The read before and the verify after cost two sequential reads of the chip.
    EXPECT_LT(diffUs, plainUs);
    std::printf("24C256 one page: plain %.0f ms (32768 bytes), differential %.0f ms (64 bytes)\n",
                plainUs / 1000, diffUs / 1000);
}

TEST(DiffWrite, ByteWritePartsWriteOnlyTheChangedByte) {
    {
        Patched<sim::SimEeprom> rig(k28C256, 0x7FFF);  // the last byte
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_TRUE(rig.ui.saw("Differential write: 1 of 32768 bytes differ, 1 bytes to write"));
        EXPECT_EQ(rig.chip->log().writeCycles, 1u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Patched<sim::SimEeprom24C> rig(k24C16, 0x3FF);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
        EXPECT_EQ(rig.chip->log().bytesWritten, 1u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Patched<sim::SimEeprom25C> rig(k25x040, 0x100);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->log().writeCycles, 1u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
    {
        Patched<sim::SimStaticRam> rig(kDS1230, 0x2000);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->writes(), 1u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(DiffWrite, PagedSpiAndWordWideMicrowireKeepTheirUnits) {
    {
        Patched<sim::SimEeprom25C> rig(k25x256, 0x1001);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
        EXPECT_EQ(rig.chip->log().writeCycles, 1u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
    {
        // Word 0 is in place: the erase of word 0 the program starts with would lose it.
        Patched<sim::SimEeprom93C> rig(k93C46A, 0x41);
        RunCommand(rig.ctx, Command::Program);
        EXPECT_EQ(rig.ui.lastText(), "Device Programmed OK");
        EXPECT_TRUE(rig.ui.saw("Differential write: 1 of 64 words differ, 2 bytes to write"));
        EXPECT_EQ(rig.chip->log().writes, 1u);
        EXPECT_EQ(rig.chip->log().erases, 0u);
        EXPECT_TRUE(rig.chipHoldsImage());
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(DiffWrite, AChipThatAlreadyHoldsTheImageIsOnlyVerified) {
    Patched<sim::SimEeprom> rig(kAT28C256, 0);
    std::copy(rig.image.begin(), rig.image.end(), rig.chip->cells().begin());
    RunCommand(rig.ctx, Command::Program);
    EXPECT_TRUE(rig.ui.saw("Differential write: 0 of 512 pages differ, 0 bytes to write"));
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_EQ(rig.chip->log().writeCycles, 0u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(DiffWrite, ACancelledReadWritesNothing) {
    Patched<sim::SimEeprom> rig(kAT28C256, 0x1234);
    const std::vector<uint8_t> before = rig.chip->cells();
    rig.ui.cancelAfterPumps(100);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Process Cancelled");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_EQ(rig.chip->log().writeCycles, 0u);
    EXPECT_EQ(rig.chip->cells(), before);
    EXPECT_TRUE(std::equal(rig.image.begin(), rig.image.end(), rig.ctx.Buffer.begin()));
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.ctx.writePlan.active());
    EXPECT_TRUE(rig.socketOff());
}

TEST(DiffWrite, ACancelDuringTheWritesStopsThem) {
    Patched<sim::SimEeprom24C> rig(k24C256, 0);
    for (size_t i = 0; i < rig.image.size(); i += 64) rig.image[i] ^= 1;  // every page differs
    rig.load(rig.image);
    rig.ui.onPump = [&] {
        if (rig.ui.gauges.back().caption == "programming chip" && rig.chip->log().writeCycles >= 3)
            rig.ctx.profile.cancelRequested = 1;
    };
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "program interrupted!");
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_LT(rig.chip->log().writeCycles, 10u);
    EXPECT_FALSE(rig.ctx.writePlan.active());
    EXPECT_TRUE(rig.socketOff());
}

TEST(DiffWrite, AnEmptySocketStopsAtTheReadWithItsError) {
    test::SimRig rig;
    SelectDevice(rig.ctx, *FindDevice(k24C256));
    rig.ctx.profile.diffWrite = 1;
    rig.ctx.profile.bufferLoaded = 100;
    RunCommand(rig.ctx, Command::Program);
    ASSERT_NE(rig.ui.last(), nullptr);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.ui.lastText(), "No ACK write Command1");
    EXPECT_FALSE(rig.ui.saw("Device Programmed OK"));
    EXPECT_FALSE(rig.board.vccOn());
}

TEST(DiffWrite, TheOffsetQuestionIsAskedOnce) {
    Patched<sim::SimEeprom> rig(k28C256, 0x100);
    rig.ctx.profile.Offset = 0x10;
    rig.load(std::vector<uint8_t>(rig.image.begin(), rig.image.begin() + 0x1000));
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.questions, (std::vector<std::string>{"Use offset of 0x000010"}));
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    for (uint32_t i = 0; i < 0x1000; ++i) ASSERT_EQ(rig.chip->cells()[0x10 + i], rig.image[i]);
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin
