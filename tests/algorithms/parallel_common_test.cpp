// The read, verify and blank check every parallel family shares, on a plain memory chip, and the
// dispatch rows that use them.
#include <gtest/gtest.h>

#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/parallel/UvEprom.h"
#include "core/Commands.h"
#include "core/Dispatch.h"
#include "sim/SimMemoryChip.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

using test::SimRig;

struct FlashRig : SimRig {
    explicit FlashRig(int32_t size, int32_t eep = 4) {
        selectRawDevice(size, eep);
        ctx.profile.epr64 = 1;
        memory =
            &insert(std::make_unique<sim::SimMemoryChip>(uint32_t(size), false, 0xFF)).memory();
    }
    std::vector<uint8_t>* memory;
};

TEST(ParallelCommon, ReadParallelStoresOffsetPlusIAtIndexIAndRestoresTheSize) {
    FlashRig rig(65536);
    for (uint32_t a = 0; a < 65536; ++a) (*rig.memory)[a] = uint8_t(a ^ (a >> 8));
    rig.ctx.profile.Offset = 0x100;
    rig.ctx.profile.bufferLoaded = 65536;  // the run stops at the end of the device
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ui.gauges.back().max, 65536 - 0x100);
    for (uint32_t i : {0u, 1u, 0x1234u, 0xFEFFu})
        EXPECT_EQ(rig.ctx.Buffer[i], (*rig.memory)[0x100 + i]);
    EXPECT_EQ(rig.ctx.Buffer[0xFF00], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferSize, 65536);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 65536u);
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST(ParallelCommon, VerifyParallelPassesAndReportsTheFirstDifference) {
    FlashRig rig(8192, 12);
    for (uint32_t a = 0; a < 64; ++a) rig.ctx.Buffer[a] = (*rig.memory)[a] = uint8_t(a * 3);
    rig.ctx.profile.bufferLoaded = 63;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    (*rig.memory)[3] = 0x77;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), " Error at 0x000003  Chip = 0x77  buffer = 0x09");
    EXPECT_EQ(rig.ctx.profile.verifyError, 1);
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST(ParallelCommon, BlankCheckSwapsAddressesButReportsTheDeviceAddress) {
    FlashRig rig(0x80000, 20);
    rig.ctx.profile.swap = 1;
    (*rig.memory)[Bus::SwapAddress(0x8000)] = 0x00;  // bit 15 moves to bit 18
    ASSERT_EQ(Bus::SwapAddress(0x8000), 0x40000u);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is NOT Empty ($008000)");
}

TEST(ParallelCommon, CancelledBlankCheckSaysSo) {
    FlashRig rig(65536);
    rig.ui.cancelAfterPumps(10);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device Check was Cancelled");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST(ParallelCommon, StrobeRuleHoldsTheCeLineForPartsWithoutAPgmPin) {
    FlashRig rig(4096);
    rig.ctx.profile.epr64 = 0;
    rig.ctx.profile.bufferLoaded = 4;
    int checked = 0, asserted = 0;
    rig.ui.onPump = [&] {
        if (!rig.board.vccOn()) return;
        ++checked;
        asserted += rig.board.pins().strobe;
    };
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(checked, 4096);
    EXPECT_EQ(asserted, checked);
}

TEST(Dispatch, ParallelFamiliesReadVerifyAndBlankCheckTheCommonWay) {
    for (int eep : {0, 13, 24}) {
        const FamilyRow& row = FamilyFor(eep);
        EXPECT_EQ(row.read.routine, &ReadEprom);
        EXPECT_EQ(row.program.routine, &ProgramEprom);
        EXPECT_EQ(row.verify.routine, &VerifyEprom);
        EXPECT_EQ(row.blank.routine, &BlankCheck);
    }
    EXPECT_EQ(FamilyFor(0).erase.kind, Action::Kind::CannotErase);
    EXPECT_EQ(FamilyFor(13).erase.kind, Action::Kind::CannotErase);
    EXPECT_EQ(FamilyFor(30).read.routine, &ReadEprom);
    EXPECT_EQ(FamilyFor(30).verify.routine, &VerifyParallel);
    EXPECT_EQ(FamilyFor(30).blank.routine, &BlankCheck);
    for (int eep : {3, 4, 27, 12, 23, 15, 5, 7, 9, 22, 19, 20, 25, 26, 31}) {
        SCOPED_TRACE(eep);
        const FamilyRow& row = FamilyFor(eep);
        EXPECT_EQ(row.read.routine, &ReadParallel);
        EXPECT_EQ(row.verify.routine, &VerifyParallel);
        EXPECT_EQ(row.blank.routine, &BlankCheck);
    }
    EXPECT_EQ(FamilyFor(21).blank.kind, Action::Kind::CannotCheck);
    EXPECT_EQ(FamilyFor(21).read.kind, Action::Kind::Nothing);
}

}  // namespace
}  // namespace tavrin
