#include "buffer/BufferOperations.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "buffer/Checksum.h"
#include "core/ImageBuffer.h"
#include "core/RecordingFrontEnd.h"
#include "support/CatalogueContext.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"
#include "devices/DisplayState.h"

namespace tavrin {
namespace {

struct BufferOps : test::CatalogueContext {
    uint16_t word(uint32_t w) const { return ctx.Buffer[2 * w] | (ctx.Buffer[2 * w + 1] << 8); }
};

TEST_F(BufferOps, ClearTo0xFFOfA32KDeviceSums0x8000) {
    select("27C256");
    ctx.controls.caption = "Tavrin Eprom Prog(0.95B)- some.hex";
    ctx.profile.bufferLoaded = 123;
    Clear1Click(ctx, 1);
    EXPECT_EQ(ChecksumText(ctx), "0x8000");
    EXPECT_EQ(ComputeDisplayState(ctx).edChecksum, "0x8000");
    EXPECT_EQ(ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");
    EXPECT_EQ(ctx.profile.bufferLoaded, 123u);
    EXPECT_EQ(ctx.Buffer.back(), 0xFF);
    EXPECT_EQ(ctx.profile.picConfig, 0x3FFF);
    Clear1Click(ctx, 2);
    EXPECT_EQ(ChecksumText(ctx), "0x0000");
    EXPECT_EQ(ctx.Buffer.back(), 0x00);
    sbClearClick(ctx);
    EXPECT_EQ(ctx.Buffer[12345], 0xFF);
}

TEST_F(BufferOps, PicClearKeepsErasedWordsWhateverTheChoice) {
    ctx.profile.PIC = 1;
    ctx.profile.eep = 17;
    Clear1Click(ctx, 2);
    EXPECT_EQ(word(0), 0x3FFF);
    EXPECT_EQ(word(8199), 0x3FFF);
    EXPECT_EQ(word(8200), 0x0000);
    EXPECT_EQ(word(16383), 0x0000);
}

TEST_F(BufferOps, InvertAndSwapWorkOnTheLoadedExtent) {
    select("27C64");
    Clear1Click(ctx, 2);
    const char* text = "abcde";
    std::memcpy(ctx.Buffer.data(), text, 5);
    ctx.profile.bufferLoaded = 0;
    InvertDATA1Click(ctx);
    Swapbyte1Click(ctx);
    EXPECT_EQ(std::memcmp(ctx.Buffer.data(), text, 5), 0);

    ctx.profile.bufferLoaded = 4;
    Swapbyte1Click(ctx);
    EXPECT_EQ(std::string(ctx.Buffer.begin(), ctx.Buffer.begin() + 5), "badce");
    // An odd extent swaps one byte past it.
    ctx.profile.bufferLoaded = 3;
    Swapbyte1Click(ctx);
    EXPECT_EQ(std::string(ctx.Buffer.begin(), ctx.Buffer.begin() + 5), "abcde");

    ctx.profile.bufferLoaded = 2;
    InvertDATA1Click(ctx);
    EXPECT_EQ(ctx.Buffer[0], uint8_t(~'a'));
    EXPECT_EQ(ctx.Buffer[1], uint8_t(~'b'));
    EXPECT_EQ(ctx.Buffer[2], 'c');
}

TEST_F(BufferOps, ExtentsPastTheBufferStayInside) {
    select("27C64");
    Clear1Click(ctx, 2);
    ctx.profile.bufferLoaded = 0xFFFFFFFFu;  // larger than the buffer: the whole buffer
    InvertDATA1Click(ctx);
    EXPECT_EQ(ctx.Buffer.front(), 0xFF);
    EXPECT_EQ(ctx.Buffer.back(), 0xFF);
    ctx.Buffer[kBufferBytes - 2] = 1;
    ctx.Buffer[kBufferBytes - 1] = 2;
    Swapbyte1Click(ctx);
    EXPECT_EQ(ctx.Buffer[kBufferBytes - 2], 2);
    EXPECT_EQ(ctx.Buffer[kBufferBytes - 1], 1);
    ctx.profile.bufferLoaded = kBufferBytes - 1;  // odd: the last pair ends at the last byte
    Swapbyte1Click(ctx);
    EXPECT_EQ(ctx.Buffer[kBufferBytes - 2], 1);
    EXPECT_EQ(ctx.Buffer[kBufferBytes - 1], 2);
}

TEST_F(BufferOps, ChecksumOfAbcAndCrc) {
    select("27C64");
    std::memcpy(ctx.Buffer.data(), "abc", 3);
    SetBufferSize(ctx, 3);
    EXPECT_EQ(ChecksumText(ctx), "0x0126");
    ctx.profile.checkType = kCheckCrc32;
    EXPECT_EQ(ChecksumText(ctx), " 0x352441C2");
    ctx.profile.checkType = 2;  // the blank item counts as CRC
    EXPECT_EQ(ChecksumText(ctx), " 0x352441C2");

    // A whole device against zlib, with changing contents.
    select("27C512");
    for (size_t i = 0; i < 65536; ++i) ctx.Buffer[i] = uint8_t(i * 7 + (i >> 8));
    const uint32_t want = crc32(0, ctx.Buffer.data(), 65536);
    cbCheckTypeChange(ctx, 1);
    EXPECT_EQ(ChecksumText(ctx), Format(" 0x%08X", want));
    EXPECT_EQ(ChecksumText(ctx).size(), 11u);
    cbCheckTypeChange(ctx, 0);
    uint32_t sum = 0;
    for (size_t i = 0; i < 65536; ++i) sum += ctx.Buffer[i];
    EXPECT_EQ(ChecksumText(ctx), Format("0x%04X", sum & 0xFFFF));
}

TEST_F(BufferOps, PicChecksumCovers20000Bytes) {
    ctx.profile.PIC = 1;
    SetBufferSize(ctx, 1024);
    std::fill(ctx.Buffer.begin(), ctx.Buffer.end(), 0);
    ctx.Buffer[19999] = 5;
    ctx.Buffer[20000] = 7;
    EXPECT_EQ(ChecksumText(ctx), "0x0005");
    EXPECT_EQ(ChecksumLength(ctx, 1024), 20000u);
}

TEST_F(BufferOps, ChecksumOfTheWholeBuffer) {
    SetBufferSize(ctx, kBufferBytes);
    std::fill(ctx.Buffer.begin(), ctx.Buffer.end(), 0xFF);
    // 4 MB of 0xFF: 0x3FC00000 wraps to 0x0000 in 16 bits.
    EXPECT_EQ(ChecksumText(ctx), "0x0000");
    EXPECT_EQ(Crc32(ctx.Buffer.data(), ctx.Buffer.size()),
              crc32(0, ctx.Buffer.data(), static_cast<uInt>(ctx.Buffer.size())));
}

TEST(OffsetBox, ParsesLikeHexScan) {
    EXPECT_EQ(ParseOffsetText("1G"), 1u);
    EXPECT_EQ(ParseOffsetText("1f00"), 0x1F00u);
    EXPECT_EQ(ParseOffsetText("  ABCD"), 0xABCDu);
    EXPECT_EQ(ParseOffsetText("0x100"), 0x100u);
    EXPECT_EQ(ParseOffsetText("0xZ"), 0u);
    EXPECT_EQ(ParseOffsetText("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseOffsetText(""));
    EXPECT_FALSE(ParseOffsetText("G"));
    EXPECT_FALSE(ParseOffsetText("-1"));
}

TEST_F(BufferOps, OffsetChangeAndExit) {
    select("27C512");
    edOffsetChange(ctx, "1G");
    EXPECT_EQ(ctx.profile.Offset, 1u);
    edOffsetExit(ctx);
    EXPECT_EQ(ctx.controls.edOffsetText, "0001");
    edOffsetChange(ctx, "");
    EXPECT_EQ(ctx.profile.Offset, 1u);
    edOffsetChange(ctx, "G");
    EXPECT_EQ(ctx.profile.Offset, 1u);
    edOffsetChange(ctx, "12345");
    edOffsetExit(ctx);
    EXPECT_EQ(ctx.controls.edOffsetText, "12345");
    edOffsetChange(ctx, "abcdef");
    edOffsetExit(ctx);
    EXPECT_EQ(ctx.controls.edOffsetText, "abcdef");
    // At most eight characters reach the parse.
    edOffsetChange(ctx, "123456789");
    EXPECT_EQ(ctx.profile.Offset, 0x12345678u);
    // With the PIC bkCode and cfgMask and the eleven boxes of the MCS-51 group.
    EXPECT_EQ(ComputeDisplayState(ctx).configs.size(), 33u);
}

}  // namespace
}  // namespace tavrin
