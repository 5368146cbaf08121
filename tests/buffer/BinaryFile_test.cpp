// Raw binary files through the file commands.
#include "buffer/BinaryFile.h"

#include <gtest/gtest.h>

#include "buffer/FileCommands.h"
#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

class BinaryFileTest : public ::testing::Test {
  protected:
    BinaryFileTest() {
        rig.selectRawDevice(4096);
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0x5A);
        rig.ctx.profile.bufferLoaded = 777;
    }

    SimRig rig;
    ScratchDir dir;
};

TEST_F(BinaryFileTest, FiveMegabytesLoadTheirFirstFour) {
    const std::vector<uint8_t> image = RandomBytes(5 * 1024 * 1024, 11);
    WriteBytes(dir / "huge.bin", image);
    mnuLoadClick(rig.ctx, dir / "huge.bin");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, kBufferBytes);
    EXPECT_TRUE(std::equal(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), image.begin()));
    EXPECT_EQ(rig.ui.lastText(), "Binary File loaded OK");
    EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- huge.bin");
}

TEST_F(BinaryFileTest, EmptyFileClearsAndSaysNothing) {
    rig.ctx.controls.caption = "Tavrin Eprom Prog(0.95B)- old.bin";
    WriteBytes(dir / "empty.rom", {});
    mnuLoadClick(rig.ctx, dir / "empty.rom");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0u);
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
    EXPECT_EQ(rig.ctx.Buffer[kBufferBytes - 1], 0xFF);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");
}

TEST_F(BinaryFileTest, AnyOtherExtensionLoadsAsBinary) {
    WriteText(dir / "notes.txt", ":00000001FF\n");
    mnuLoadClick(rig.ctx, dir / "notes.txt");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 12u);
    EXPECT_EQ(rig.ctx.Buffer[0], ':');
    EXPECT_EQ(rig.ctx.Buffer[12], 0xFF);
}

TEST_F(BinaryFileTest, SavesTheDeviceSizeWithTheFilterExtension) {
    mnuSaveClick(rig.ctx, dir / "dump", 1);
    mnuSaveClick(rig.ctx, dir / "dump", 4);
    mnuSaveClick(rig.ctx, dir / "image.hex", 1);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"dump.BIN", "dump.ROM", "image.hex.BIN"}));
    EXPECT_EQ(ReadBytes(dir / "dump.ROM"), std::vector<uint8_t>(4096, 0x5A));
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_TRUE(rig.ui.results.empty());  // no notice without PIC
}

TEST_F(BinaryFileTest, PicSaveWarnsAndWritesTheProgramWords) {
    rig.ctx.profile.PIC = 1;
    rig.ctx.profile.eep = 17;
    rig.ctx.profile.bufferSize = 1024;
    mnuSaveClick(rig.ctx, dir / "pic.bin", 1);
    EXPECT_EQ(rig.ui.results,
              std::vector<std::string>{
                  "Information: This format will not preserve any Fuse and Data information"});
    EXPECT_EQ(ReadBytes(dir / "pic.bin").size(), 2048u);
}

TEST_F(BinaryFileTest, OversizedDeviceSavesNoMoreThanTheBuffer) {
    rig.ctx.profile.PIC = 1;
    rig.ctx.profile.bufferSize = kBufferBytes;  // 8 MB of words
    mnuSaveClick(rig.ctx, dir / "all.bin", 1);
    EXPECT_EQ(ReadBytes(dir / "all.bin").size(), kBufferBytes);
}

}  // namespace
}  // namespace tavrin::test
