// Whole-chip runs of the largest byte-wide EPROM.
#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/EpromSelection.h"
#include "core/Commands.h"
#include "core/RunFrame.h"

namespace tavrin {
namespace {

using test::EpromRig;

TEST(UvEpromWholeChip, Program27C080ReadItBackAndVerify) {
    EpromRig rig("27C080/801   (PCB3)");
    const std::vector<uint8_t> image = test::RandomImage(1024 * 1024, 80);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.chip->cells().begin()));
    EXPECT_EQ(rig.ui.peaks.loop, 1);
    EXPECT_TRUE(rig.socketOff());

    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));

    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    rig.chip->cells()[0xFFFFF] ^= 0x01;
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), Format(" Error at 0x0FFFFF  Chip = 0x%02X  buffer = 0x%02X",
                                        rig.chip->cells()[0xFFFFF], image[0xFFFFF]));
    EXPECT_TRUE(rig.socketOff());
}

}  // namespace
}  // namespace tavrin
