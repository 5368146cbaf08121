// Whole-chip runs of the largest JEDEC parts: every byte programmed, read back, verified, the
// chip erased and found blank.
#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/parallel/JedecRig.h"
#include "core/Commands.h"

namespace tavrin {
namespace {

using test::JedecImage;
using test::JedecRig;

void wholeChip(const char* device, unsigned seed) {
    SCOPED_TRACE(device);
    JedecRig rig(device);
    const uint32_t size = uint32_t(rig.ctx.profile.bufferSize);
    const std::vector<uint8_t> image = JedecImage(size, seed);
    rig.load(image);
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    EXPECT_TRUE(rig.chipHolds(image));
    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
    RunCommand(rig.ctx, Command::Verify);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "erase completed");
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Device is Empty");
    EXPECT_TRUE(rig.socketOff());
}

TEST(Jedec29FSlow, WholeChipOfTheLargestEightBitParts) {
    wholeChip("29F040", 1);
    wholeChip("MX29F040", 2);
    wholeChip("39SF/49F040", 3);
}

TEST(Jedec29FSlow, WholeChipOfTheLargestByteModeParts) {
    wholeChip("Am29F320", 4);
    wholeChip("MBM29F032x", 5);
}

}  // namespace
}  // namespace tavrin
