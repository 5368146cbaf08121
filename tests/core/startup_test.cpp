// Both front ends start through StartUp: the same image and checksum after the same load.
#include "core/StartUp.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "buffer/Checksum.h"
#include "devices/Catalogue.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

TEST(StartUp, TheImageStartsErasedForTheChosenDevice) {
    SimRig rig;
    StartUp(rig.ctx, [](Context& ctx) { SelectDevice(ctx, *FindDevice("27C64")); });
    EXPECT_EQ(rig.ctx.profile.deviceSize, 8192);
    EXPECT_TRUE(std::all_of(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(),
                            [](uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(rig.board.vccOn());
    EXPECT_EQ(ChecksumText(rig.ctx.Buffer.data(), 8192, kCheckSum16), "0xE000");
}

}  // namespace
}  // namespace tavrin::test
