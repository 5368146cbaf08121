// Cross-checks with srec_cat (Debian srecord): what we write it reads to the same bytes, and what
// it writes we load to the same bytes.
#include <gtest/gtest.h>

#include "buffer/FileCommands.h"
#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

class SrecCatCrossCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveSrecCat()) GTEST_SKIP() << "srec_cat is not installed";
    }
    // Fills the first `size` Buffer bytes with a random image and selects a device of that size.
    std::vector<uint8_t> randomDevice(uint32_t size, uint32_t seed) {
        rig.selectRawDevice(static_cast<int32_t>(size));
        std::vector<uint8_t> image = RandomBytes(size, seed);
        std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
        return image;
    }
    // Loads `file` through the load command and checks that `image` sits at `at`.
    void expectLoaded(const std::string& file, const std::vector<uint8_t>& image, uint32_t at = 0) {
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0);
        mnuLoadClick(rig.ctx, file);
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, at + image.size()) << file;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.ctx.Buffer.begin() + at)) << file;
        EXPECT_TRUE(std::all_of(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + at,
                                [](uint8_t b) { return b == 0xFF; }));
    }

    SimRig rig;
    ScratchDir dir;
};

TEST_F(SrecCatCrossCheck, ReadsOurIntelHex) {
    for (uint32_t size : {1000u, 65536u + 100, 1u << 20}) {
        const std::vector<uint8_t> image = randomDevice(size, size);
        mnuSaveClick(rig.ctx, dir / "ours", 2);
        ASSERT_TRUE(RunSrecCat(dir / "ours.HEX" + " -Intel -o " + dir / "back.bin" + " -Binary"));
        EXPECT_EQ(ReadBytes(dir / "back.bin"), image) << size;
    }
}

TEST_F(SrecCatCrossCheck, ReadsOurSRecords) {
    for (uint32_t size : {40000u, 65535u, 65536u, 300000u}) {
        const std::vector<uint8_t> image = randomDevice(size, size + 1);
        mnuSaveClick(rig.ctx, dir / "ours", 3);
        ASSERT_TRUE(RunSrecCat(dir / "ours.S" + " -Motorola -o " + dir / "back.bin" + " -Binary"));
        EXPECT_EQ(ReadBytes(dir / "back.bin"), image) << size;
    }
}

TEST_F(SrecCatCrossCheck, ReadsOurEep) {
    rig.selectRawDevice(8192, 14);
    rig.ctx.profile.avrEepromBase = 0x40000;
    rig.ctx.profile.avrEepromSize = 4096;
    const std::vector<uint8_t> eeprom = RandomBytes(4096, 9);
    std::copy(eeprom.begin(), eeprom.end(), rig.ctx.Buffer.begin() + 0x40000);
    mnuSaveClick(rig.ctx, dir / "ours", 5);
    ASSERT_TRUE(RunSrecCat(dir / "ours.EEP" + " -Intel -o " + dir / "back.bin" + " -Binary"));
    EXPECT_EQ(ReadBytes(dir / "back.bin"), eeprom);
}

TEST_F(SrecCatCrossCheck, LoadsItsIntelHex) {
    for (uint32_t size : {1u, 4097u, 200000u}) {
        const std::vector<uint8_t> image = RandomBytes(size, size + 2);
        WriteBytes(dir / "in.bin", image);
        ASSERT_TRUE(RunSrecCat(dir / "in.bin" + " -Binary -o " + dir / "theirs.hex" + " -Intel"));
        expectLoaded(dir / "theirs.hex", image);
        EXPECT_EQ(rig.ui.lastText(), "Hex File loaded OK");
    }
}

TEST_F(SrecCatCrossCheck, LoadsItsIntelHexAtAnOffsetWithSegmentRecords) {
    const std::vector<uint8_t> image = RandomBytes(70000, 5);
    WriteBytes(dir / "in.bin", image);
    ASSERT_TRUE(
        RunSrecCat(dir / "in.bin" + " -Binary -offset 0x123456 -o " + dir / "lin.hex" + " -Intel"));
    expectLoaded(dir / "lin.hex", image, 0x123456);
    // Segmented addressing (type 02 records) reaches the first megabyte.
    ASSERT_TRUE(RunSrecCat(dir / "in.bin" + " -Binary -offset 0x23456 -o " + dir / "seg.hex" +
                           " -Intel -address-length=3"));
    ASSERT_NE(ReadText(dir / "seg.hex").find(":020000022000DC"), std::string::npos);
    expectLoaded(dir / "seg.hex", image, 0x23456);
}

TEST_F(SrecCatCrossCheck, LoadsItsMotorolaRecordsOfEveryAddressLength) {
    struct Case {
        int addressLength;
        uint32_t size, at;
    };
    for (const Case& c :
         {Case{2, 30000, 0x100}, Case{3, 300000, 0x20000}, Case{4, 1u << 20, 0x2F0000}}) {
        const std::vector<uint8_t> image = RandomBytes(c.size, c.size);
        WriteBytes(dir / "in.bin", image);
        const std::string out = dir / ("theirs" + std::to_string(c.addressLength) + ".s");
        ASSERT_TRUE(RunSrecCat(dir / "in.bin" + " -Binary -offset " + std::to_string(c.at) +
                               " -o " + out +
                               " -Motorola -address-length=" + std::to_string(c.addressLength)));
        const std::string text = ReadText(out);
        ASSERT_NE(text.find("\nS" + std::to_string(c.addressLength - 1)), std::string::npos);
        expectLoaded(out, image, c.at);
        EXPECT_EQ(rig.ui.lastText(), "S Record File loaded OK");
    }
}

TEST_F(SrecCatCrossCheck, LoadsItsWholeFourMegabytes) {
    const std::vector<uint8_t> image = RandomBytes(kBufferBytes, 77);
    WriteBytes(dir / "in.bin", image);
    ASSERT_TRUE(RunSrecCat(dir / "in.bin" + " -Binary -o " + dir / "all.hex" + " -Intel"));
    expectLoaded(dir / "all.hex", image);
    ASSERT_TRUE(RunSrecCat(dir / "in.bin" + " -Binary -o " + dir / "all.s" + " -Motorola"));
    expectLoaded(dir / "all.s", image);
}

}  // namespace
}  // namespace tavrin::test
