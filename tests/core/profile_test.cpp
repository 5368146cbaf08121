// Profile operations and the offset question.
#include <gtest/gtest.h>

#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "core/RunFrame.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

TEST(Profile, EveryFieldStartsAtZero) {
    Context ctx;
    const DeviceProfile& p = ctx.profile;
    EXPECT_EQ(p.bufferSize, 0);
    EXPECT_EQ(p.eep, 0);
    EXPECT_EQ(p.ShiftAdr, 0);
    EXPECT_EQ(p.tWP, 0);
    EXPECT_EQ(p.bufferLoaded, 0u);
    EXPECT_EQ(ctx.Buffer.size(), 4194304u);
}

TEST(Profile, ResetSavesAndRestorePutsAllFourteenFieldsBack) {
    Context ctx;
    DeviceProfile& p = ctx.profile;
    p.tWC = 20, p.tWP = 140, p.ShiftAdr = 14, p.epr64 = 1, p.eep = 13, p.swap = 1, p.pin28 = 1;
    p.pin30 = 1, p.serial = 1, p.PIC = 1, p.fixedShift = 1, p.keepVpp = 1, p.skipFF = 1, p.fastPro = 1;
    p.Offset = 0x100, p.sequ = 1, p.fujitsuFast = 1;
    ctx.controls.cb5555Visible = true;
    ResetProfile(ctx);
    EXPECT_EQ(p.tWC, 10);
    EXPECT_EQ(p.tWP, 1);
    EXPECT_EQ(p.ShiftAdr, 12);
    EXPECT_EQ(p.eep, 0);
    EXPECT_EQ(p.epr64 + p.swap + p.pin28 + p.pin30 + p.serial + p.PIC + p.fixedShift + p.keepVpp, 0);
    EXPECT_EQ(p.skipFF + p.sequ + p.fastPro + p.fujitsuFast, 0);
    EXPECT_EQ(p.Offset, 0u);
    EXPECT_EQ(ctx.controls.edOffsetText, "0");
    EXPECT_FALSE(ctx.controls.cb5555Visible);
    EXPECT_EQ(ctx.controls.cb5555Caption, "( 5555,2AAA,5555,.. )");
    RestoreProfile(ctx);
    EXPECT_EQ(p.tWC, 20);
    EXPECT_EQ(p.tWP, 140);
    EXPECT_EQ(p.ShiftAdr, 14);
    EXPECT_EQ(p.eep, 13);
    EXPECT_EQ(p.epr64 + p.swap + p.pin28 + p.pin30 + p.serial + p.PIC + p.fixedShift + p.keepVpp, 8);
    EXPECT_EQ(p.skipFF + p.fastPro, 2);
}

TEST(Profile, UpdateShiftCoversPowerOfTwoSizes) {
    Context ctx;
    DeviceProfile& p = ctx.profile;
    SetBufferSize(ctx, 8192);
    UpdateShift(p);
    EXPECT_EQ(p.ShiftAdr, 12);
    EXPECT_EQ(p.PatternAdr, 0x1000u);
    SetBufferSize(ctx, 0x30000);  // not a power of two: only 0x20000 addresses are reached
    UpdateShift(p);
    EXPECT_EQ(p.ShiftAdr, 16);
    p.fixedShift = 1;
    p.ShiftAdr = 18;
    UpdateShift(p);
    EXPECT_EQ(p.ShiftAdr, 18);
    EXPECT_EQ(p.PatternAdr, 0x40000u);
}

TEST(Profile, NoDeviceGivesAHarmlessShift) {
    Context ctx;
    SetBufferSize(ctx, 0);
    UpdateShift(ctx.profile);
    EXPECT_EQ(ctx.profile.ShiftAdr, -2);
    ctx.bus.SetAddress(0x1234);  // clocks nothing, must not hang or crash
    SUCCEED();
}

TEST(Profile, SetBufferSizeKeepsTheSizeCopies) {
    Context ctx;
    SetBufferSize(ctx, 4096);
    EXPECT_EQ(ctx.profile.bufferSize, 4096);
    EXPECT_EQ(ctx.profile.deviceSize, 4096);
    EXPECT_EQ(ctx.profile.picProgWords, 4096);
    EXPECT_EQ(ctx.profile.avrFlashSize, 4096);
}

TEST(ClearBuf, FillsByFamily) {
    Context ctx;
    ctx.controls.caption = "Tavrin Eprom Prog(0.95B)- file.hex";
    ClearBuf(ctx, 2);
    EXPECT_EQ(ctx.Buffer[0], 0x00);
    EXPECT_EQ(ctx.Buffer[kBufferBytes - 1], 0x00);
    EXPECT_EQ(ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");
    ClearBuf(ctx, 1);
    EXPECT_EQ(ctx.Buffer[12345], 0xFF);
    ctx.profile.eep = 17;  // 14-bit PIC: erased words whatever the menu choice
    ClearBuf(ctx, 2);
    EXPECT_EQ(ctx.Buffer[0], 0xFF);
    EXPECT_EQ(ctx.Buffer[1], 0x3F);
    EXPECT_EQ(ctx.Buffer[2 * 8200 + 1], 0x00);
    EXPECT_EQ(ctx.profile.picConfig, 0x3FFF);
}

TEST(ConfirmOffset, NoRunsFromAddressZero) {
    test::SimRig rig;
    rig.selectRawDevice(32768);
    rig.ctx.profile.Offset = 0x100;
    rig.ctx.profile.bufferLoaded = 32768;
    rig.ui.answers = {false};
    EXPECT_FALSE(ConfirmOffset(rig.ctx));
    EXPECT_EQ(rig.ui.questions.back(), "Use offset of 0x000100");
    EXPECT_EQ(rig.ctx.profile.Offset, 0u);
    EXPECT_EQ(rig.ctx.controls.edOffsetText, "0000");
    EXPECT_EQ(rig.ctx.profile.bufferSize, 32768);
}

TEST(ConfirmOffset, YesStopsTheRunAtTheEndOfTheDevice) {
    test::SimRig rig;
    rig.selectRawDevice(32768);
    rig.ctx.profile.Offset = 0x100;
    rig.ctx.profile.bufferLoaded = 32768 - 0x100;
    rig.ui.answers = {true};
    EXPECT_TRUE(ConfirmOffset(rig.ctx));
    EXPECT_EQ(rig.ctx.profile.bufferSize, 32768 - 0x100);
    // Small images that fit are left alone.
    rig.ctx.profile.bufferSize = 32768;
    rig.ctx.profile.bufferLoaded = 16;
    rig.ui.answers = {true};
    ConfirmOffset(rig.ctx);
    EXPECT_EQ(rig.ctx.profile.bufferSize, 32768);
}

TEST(ConfirmOffset, AnOffsetPastTheDeviceLeavesNothingToDo) {
    test::SimRig rig;
    rig.selectRawDevice(8192);
    rig.ctx.profile.Offset = 0x10000;
    rig.ctx.profile.bufferLoaded = 10;
    rig.ui.answers = {true};
    ConfirmOffset(rig.ctx);
    EXPECT_EQ(rig.ctx.profile.bufferSize, 0);
}

}  // namespace
}  // namespace tavrin
