// Odd/even halves of 16-bit images against hand-made byte pairs, and round trips through files.
#include "buffer/SplitInterleave.h"

#include <gtest/gtest.h>

#include "buffer/FileCommands.h"
#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

class SplitInterleave : public ::testing::Test {
  protected:
    SimRig rig;
    ScratchDir dir;
};

TEST_F(SplitInterleave, HandMadePairMergesAndSplitsByteForByte) {
    rig.selectRawDevice(6);
    WriteBytes(dir / "even.bin", {0x11, 0x22, 0x33});
    WriteBytes(dir / "odd.bin", {0xAA, 0xBB, 0xCC});
    std::string error;
    ASSERT_TRUE(
        LoadInterleaved(rig.ctx, dir / "even.bin", dir / "odd.bin", FileFormat::Auto, error))
        << error;
    const std::vector<uint8_t> merged(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + 8);
    EXPECT_EQ(merged, (std::vector<uint8_t>{0x11, 0xAA, 0x22, 0xBB, 0x33, 0xCC, 0xFF, 0xFF}));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 6u);
    EXPECT_EQ(HalfOf(rig.ctx, Half::Even), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    EXPECT_EQ(HalfOf(rig.ctx, Half::Odd), (std::vector<uint8_t>{0xAA, 0xBB, 0xCC}));
}

TEST_F(SplitInterleave, UnequalHalvesKeepTheirOwnExtent) {
    rig.selectRawDevice(16);
    Interleave(rig.ctx, {1, 2, 3}, {9});
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 5u);
    const std::vector<uint8_t> merged(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + 6);
    EXPECT_EQ(merged, (std::vector<uint8_t>{1, 9, 2, 0xFF, 3, 0xFF}));
    // An odd device size gives the even half the extra byte.
    rig.selectRawDevice(5);
    EXPECT_EQ(HalfOf(rig.ctx, Half::Even).size(), 3u);
    EXPECT_EQ(HalfOf(rig.ctx, Half::Odd).size(), 2u);
}

TEST_F(SplitInterleave, SavedHalvesRoundTripInEveryFormatAndLeaveTheBufferAlone) {
    const uint32_t size = 131072;  // a 27C1024 image
    for (FileFormat format : {FileFormat::Binary, FileFormat::IntelHex, FileFormat::SRecord}) {
        rig.selectRawDevice(int32_t(size));
        const std::vector<uint8_t> image = RandomBytes(size, 5);
        std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
        ASSERT_TRUE(SaveHalf(rig.ctx, dir / "even", format, Half::Even, SaveNaming::AsGiven));
        ASSERT_TRUE(SaveHalf(rig.ctx, dir / "odd", format, Half::Odd, SaveNaming::AsGiven));
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin()));
        EXPECT_EQ(rig.ctx.profile.bufferSize, int32_t(size));

        std::vector<uint8_t> evenBytes, oddBytes;
        for (uint32_t i = 0; i < size; ++i) (i % 2 ? oddBytes : evenBytes).push_back(image[i]);
        if (format == FileFormat::Binary) {
            EXPECT_EQ(ReadBytes(dir / "even"), evenBytes);
            EXPECT_EQ(ReadBytes(dir / "odd"), oddBytes);
        }
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
        std::string error;
        ASSERT_TRUE(LoadInterleaved(rig.ctx, dir / "even", dir / "odd", format, error)) << error;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin())) << int(format);
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, size);
    }
}

TEST_F(SplitInterleave, AFileThatDoesNotLoadLeavesAnErasedBuffer) {
    rig.selectRawDevice(64);
    WriteBytes(dir / "even.bin", {1, 2, 3});
    std::string error;
    EXPECT_FALSE(
        LoadInterleaved(rig.ctx, dir / "even.bin", dir / "odd.bin", FileFormat::Auto, error));
    EXPECT_NE(error.find("odd.bin"), std::string::npos) << error;
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0u);
    EXPECT_FALSE(
        LoadInterleaved(rig.ctx, dir / "missing.bin", dir / "even.bin", FileFormat::Binary, error));
    EXPECT_NE(error.find("missing.bin"), std::string::npos) << error;
}

}  // namespace
}  // namespace tavrin::test
