// The read-consistency check on the simulated board: a flaky bit found at its address and bit in
// every family that reads, the majority image equal to what the chip holds, a clean chip with
// nothing unstable, cancel, and the socket unpowered after every run.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/Commands.h"
#include "core/Dispatch.h"
#include "core/ImageBuffer.h"
#include "core/ReadConsistency.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"
#include "devices/DisplayState.h"
#include "sim/ChipFactory.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

using test::SimRig;

TEST(CombineReads, KeepsTheMajorityOfEachBitAndListsTheBytesThatFlipped) {
    const std::vector<uint8_t> a{0x10, 0xFF, 0x00, 0x55}, b{0x10, 0xFB, 0x01, 0x55},
        c{0x10, 0xFF, 0x03, 0x54};
    std::vector<uint8_t> out(4, 0xEE);
    const ConsistencyReport r =
        CombineReads({a.data(), b.data(), c.data()}, {{0, 4, false}}, out.data(), 16);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x10, 0xFF, 0x01, 0x55}));
    EXPECT_EQ(r.passes, 3);
    EXPECT_EQ(r.compared, 4u);
    EXPECT_EQ(r.unstable, 3u);
    EXPECT_EQ(r.unstableBits, 4u);  // bit 2 of 1, bits 0 and 1 of 2, bit 0 of 3
    ASSERT_EQ(r.first.size(), 3u);
    EXPECT_EQ(r.first[0].address, 1u);
    EXPECT_EQ(r.first[0].flipped, 0x04);
    EXPECT_EQ(r.first[0].seen, (std::vector<uint8_t>{0xFF, 0xFB, 0xFF}));
    EXPECT_EQ(r.first[1].flipped, 0x03);
    EXPECT_EQ(r.first[1].majority, 0x01);
}

TEST(CombineReads, ATieKeepsTheFirstReadAndOnlyTheBlocksAreTouched) {
    const std::vector<uint8_t> a{0xAA, 0x0F, 0x77}, b{0xAB, 0xF0, 0x66};
    std::vector<uint8_t> out(3, 0xEE);
    const ConsistencyReport r = CombineReads({a.data(), b.data()}, {{0, 2, false}}, out.data(), 1);
    EXPECT_EQ(out, (std::vector<uint8_t>{0xAA, 0x0F, 0xEE}));
    EXPECT_EQ(r.unstable, 2u);
    EXPECT_EQ(r.compared, 2u);
    EXPECT_EQ(r.first.size(), 1u);  // the list limit
}

// The smallest catalogue part of each family whose row reads.
std::vector<const DeviceEntry*> ReadableFamilies() {
    std::map<int, const DeviceEntry*> byFamily;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!e.selectable || !e.enabled || e.handler.empty() || FindDevice(e.caption) != &e)
            continue;
        if (FamilyFor(e.eep).read.kind != Action::Kind::Run) continue;
        auto [it, fresh] = byFamily.try_emplace(e.eep, &e);
        if (!fresh && e.size < it->second->size) it->second = &e;
    }
    std::vector<const DeviceEntry*> out;
    for (auto& [eep, e] : byFamily) out.push_back(e);
    return out;
}

struct Rig : SimRig {
    explicit Rig(const DeviceEntry& entry) {
        SelectDevice(ctx, entry);
        board.insert(MakeSimChip(ctx));
    }
    bool fault(const std::string& text) {
        std::string error;
        const bool ok = ApplySimFault(board, text, error);
        EXPECT_TRUE(ok) << text << ": " << error;
        return ok;
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
};

// Where chip address `a` lands in the buffer: PIC program words are two bytes each.
uint32_t BufferAddress(const DeviceProfile& p, uint32_t a) {
    return p.PIC ? 2 * a : a;
}

TEST(ReadConsistency, EveryFamilyThatReadsFindsAFlakyBitAndKeepsTheTrueContents) {
    const auto parts = ReadableFamilies();
    ASSERT_GE(parts.size(), 20u);
    size_t checked = 0;
    for (const DeviceEntry* entry : parts) {
        SCOPED_TRACE(entry->caption);
        Rig rig(*entry);
        ASSERT_NE(rig.board.chip(), nullptr);
        // What the chip holds, read once before any fault.
        RunCommand(rig.ctx, Command::Read);
        ASSERT_EQ(rig.ui.last()->kind == MessageKind::Error, false) << rig.ui.lastText();
        const std::vector<uint8_t> truth = rig.ctx.Buffer;
        if (!rig.fault("flaky:0x11:3")) continue;
        ++checked;
        ClearBuf(rig.ctx, 2);
        ConsistencyReport report;
        ASSERT_TRUE(ReadConsistently(rig.ctx, 3, report)) << rig.ui.lastText();
        EXPECT_EQ(report.passes, 3);
        ASSERT_EQ(report.unstable, 1u);
        ASSERT_EQ(report.first.size(), 1u);
        const UnstableByte& u = report.first[0];
        EXPECT_EQ(u.address, BufferAddress(rig.ctx.profile, 0x11));
        EXPECT_EQ(u.flipped, 0x08);
        const uint8_t t = truth[u.address];
        EXPECT_EQ(u.seen, (std::vector<uint8_t>{t, uint8_t(t ^ 0x08), t}));
        EXPECT_EQ(u.majority, t);
        for (const CompareBlock& b : ReadBlocks(rig.ctx.profile))
            for (uint32_t a = b.first; a < b.first + b.count; ++a)
                ASSERT_EQ(rig.ctx.Buffer[a], truth[a]) << "address " << a;
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_EQ(rig.ui.lastText(), ConsistencySummary(report));
        EXPECT_TRUE(rig.socketOff());
    }
    EXPECT_EQ(checked, parts.size());
}

TEST(ReadConsistency, AProgrammedEpromWithAFlakyBitGivesBackItsImage) {
    Rig rig(*FindDevice("27C256"));
    std::mt19937 gen(7);
    for (int i = 0; i < 32768; ++i) rig.ctx.Buffer[size_t(i)] = uint8_t(gen());
    rig.ctx.profile.bufferLoaded = 32768;
    const std::vector<uint8_t> image(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + 32768);
    rig.ui.answers.assign(4, true);
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.last()->kind, MessageKind::Success) << rig.ui.lastText();
    rig.fault("flaky:0x1234:0");
    rig.fault("flaky:0x7FFF:7");
    rig.fault("flaky:0x7FFF:6");
    ClearBuf(rig.ctx, 1);
    ConsistencyReport report;
    ASSERT_TRUE(ReadConsistently(rig.ctx, 5, report, 1));
    EXPECT_EQ(report.unstable, 2u);
    EXPECT_EQ(report.unstableBits, 3u);
    ASSERT_EQ(report.first.size(), 1u);
    EXPECT_EQ(report.first[0].address, 0x1234u);
    EXPECT_EQ(report.first[0].seen.size(), 5u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 32768u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(ReadConsistency, ACleanChipReportsNothingUnstable) {
    for (const char* caption : {"27C64", "24C16", "AT89C2051"}) {
        SCOPED_TRACE(caption);
        Rig rig(*FindDevice(caption));
        ConsistencyReport report;
        ASSERT_TRUE(ReadConsistently(rig.ctx, 3, report)) << rig.ui.lastText();
        EXPECT_EQ(report.unstable, 0u);
        EXPECT_TRUE(report.first.empty());
        EXPECT_EQ(report.compared, uint64_t(rig.ctx.profile.bufferSize));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Success);
        EXPECT_EQ(rig.ui.lastText(),
                  Format("3 reads agree in all %d bytes", rig.ctx.profile.bufferSize));
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(ReadConsistency, EachPassShowsItsNumberAndNoReadSuccessInBetween) {
    Rig rig(*FindDevice("27C64"));
    ConsistencyReport report;
    ASSERT_TRUE(ReadConsistently(rig.ctx, 2, report));
    ASSERT_EQ(rig.ui.gauges.size(), 2u);
    EXPECT_NE(rig.ui.gauges[0].caption.find("(pass 1 of 2)"), std::string::npos);
    EXPECT_NE(rig.ui.gauges[1].caption.find("(pass 2 of 2)"), std::string::npos);
    int successes = 0;
    for (const auto& m : rig.ui.messages) successes += m.kind == MessageKind::Success;
    EXPECT_EQ(successes, 1);  // the summary only
}

TEST(ReadConsistency, CancelInTheSecondPassKeepsTheBufferAsItWas) {
    Rig rig(*FindDevice("27C64"));
    for (int i = 0; i < 8192; ++i) rig.ctx.Buffer[size_t(i)] = uint8_t(i * 7);
    rig.ctx.profile.bufferLoaded = 100;
    const std::vector<uint8_t> before = rig.ctx.Buffer;
    long pumpsPerPass = 0;
    {
        Rig probe(*FindDevice("27C64"));
        RunCommand(probe.ctx, Command::Read);
        pumpsPerPass = probe.ui.pumps;
    }
    ASSERT_GT(pumpsPerPass, 10);
    rig.ui.cancelAfterPumps(pumpsPerPass + pumpsPerPass / 2);
    ConsistencyReport report;
    EXPECT_FALSE(ReadConsistently(rig.ctx, 3, report));
    EXPECT_EQ(rig.ui.gauges.size(), 2u);
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(report.unstable, 0u);
    EXPECT_EQ(report.passes, 0);
    EXPECT_EQ(rig.ctx.Buffer, before);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 100u);
    EXPECT_EQ(rig.ctx.profile.cancelRequested, 1);
    EXPECT_TRUE(rig.socketOff());
}

TEST(ReadConsistency, TooFewOrTooManyPassesAreRefusedBeforeThePortIsTouched) {
    Rig rig(*FindDevice("27C64"));
    rig.board.resetCounters();
    ConsistencyReport report;
    EXPECT_FALSE(ReadConsistently(rig.ctx, 1, report));
    EXPECT_FALSE(ReadConsistently(rig.ctx, kMaxReadPasses + 1, report));
    EXPECT_EQ(rig.ui.lastText(), "Read 2 to 31 times to compare the reads");
    EXPECT_EQ(rig.board.accesses(), 0u);
}

TEST(ReadConsistency, AnEmptySocketClaimsNothingUnstable) {
    Rig rig(*FindDevice("24C16"));
    rig.fault("no-chip");
    ConsistencyReport report;
    // An empty socket reads the same every time: nothing unstable is claimed.
    ReadConsistently(rig.ctx, 3, report);
    EXPECT_EQ(report.unstable, 0u);
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin
