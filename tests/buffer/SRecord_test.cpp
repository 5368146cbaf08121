// The Motorola S-record reader and writer, through the file commands.
#include "buffer/SRecord.h"

#include <gtest/gtest.h>

#include "buffer/FileCommands.h"
#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

constexpr const char* kCaption = "Tavrin Eprom Prog(0.95B)- ";

class SRecordFileTest : public ::testing::Test {
  protected:
    SRecordFileTest() {
        rig.selectRawDevice(65536);
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0x5A);
        rig.ctx.profile.bufferLoaded = 777;
    }
    void load(const std::string& name, const std::string& text) {
        WriteText(dir / name, text);
        mnuLoadClick(rig.ctx, dir / name);
    }

    SimRig rig;
    ScratchDir dir;
};

TEST_F(SRecordFileTest, FirstRecordOfCountingBytes) {
    rig.selectRawDevice(65535);  // the largest size that still gives S1
    for (int i = 0; i < 16; ++i) rig.ctx.Buffer[i] = static_cast<uint8_t>(i);
    mnuSaveClick(rig.ctx, dir / "count", 3);
    const std::vector<std::string> lines = Lines(ReadText(dir / "count.S"));
    ASSERT_EQ(lines.size(), 4096u + 1);
    EXPECT_EQ(lines[0], "S1130000000102030405060708090A0B0C0D0E0F74");
    EXPECT_EQ(lines[4095].substr(0, 8), "S112FFF0");
    EXPECT_EQ(lines.back(), "S9030000FC");
    EXPECT_EQ(rig.ctx.controls.caption, std::string(kCaption) + (dir / "count.S"));
}

TEST_F(SRecordFileTest, SizesAbove65535GetS3Records) {
    rig.selectRawDevice(65536);
    mnuSaveClick(rig.ctx, dir / "k64", 3);
    EXPECT_EQ(ReadText(dir / "k64.S").substr(0, 12), "S31500000000");
    rig.selectRawDevice(128 * 1024);
    mnuSaveClick(rig.ctx, dir / "wide.bin", 3);
    const std::vector<std::string> lines = Lines(ReadText(dir / "wide.bin.S"));
    ASSERT_EQ(lines.size(), 8192u + 1);
    EXPECT_EQ(lines[0].substr(0, 12), "S31500000000");
    EXPECT_EQ(lines[8191].substr(0, 12), "S3150001FFF0");
    EXPECT_EQ(lines.back(), "S9030000FC");
    for (const std::string& line : lines) ASSERT_NE(line.substr(0, 2), "S0");
}

TEST_F(SRecordFileTest, HeaderAndEndRecordsAreSkipped) {
    load("plain.s", "S00600004844521B\n" + SRecordLine('1', 0x20, {1, 2}) + "\n" +
                        SRecordLine('2', 0x012345, {3}) + "\n" + SRecordLine('3', 0x00300000, {4}) +
                        "\nS5030003F9\nS9030000FC\n");
    EXPECT_EQ(rig.ctx.Buffer[0x21], 2);
    EXPECT_EQ(rig.ctx.Buffer[0x12345], 3);
    EXPECT_EQ(rig.ctx.Buffer[0x300000], 4);
    EXPECT_EQ(rig.ctx.Buffer[0x22], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x300001u);
    EXPECT_EQ(rig.ui.lastText(), "S Record File loaded OK");
    EXPECT_EQ(rig.ctx.controls.caption, std::string(kCaption) + "plain.s");
}

TEST_F(SRecordFileTest, IntelHexInAnSFileLoadsAsAnEmptyImage) {
    load("intel.S", HexRecordLine(0, 0, {1, 2, 3}) + "\n:00000001FF\n");
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0u);
    EXPECT_EQ(rig.ui.lastText(), "S Record File loaded OK");
}

TEST_F(SRecordFileTest, RecordWithoutDataIsSkippedUnchecked) {
    load("nodata.s", "S1030000XX\n" + SRecordLine('1', 4, {9}) + "\n");
    EXPECT_EQ(rig.ctx.Buffer[4], 9);
    EXPECT_EQ(rig.ui.lastText(), "S Record File loaded OK");
}

TEST_F(SRecordFileTest, BadChecksumEndsTheLoad) {
    std::string bad = SRecordLine('1', 8, {1});
    bad.back() = bad.back() == '0' ? '1' : '0';
    load("bad.s", SRecordLine('1', 0, {5}) + "\n" + bad + "\n" + SRecordLine('1', 9, {6}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_FALSE(rig.ui.saw("S Record File loaded OK"));
    EXPECT_EQ(rig.ctx.Buffer[0], 5);
    EXPECT_EQ(rig.ctx.Buffer[9], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(SRecordFileTest, CountLongerThanTheLineIsRefused) {
    load("short.s", "S1FF0000010203\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
}

TEST_F(SRecordFileTest, LongRecordArrivesInPiecesAndFails) {
    // 40 data bytes make an 92-character line: its first 79 characters lack the rest.
    load("long.s", SRecordLine('1', 0, RandomBytes(40, 1)) + "\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.Buffer[0], 0xFF);
}

TEST_F(SRecordFileTest, DataPastTheBufferIsRefusedWhole) {
    load("edge.s", SRecordLine('3', kBufferBytes - 4, {1, 2, 3, 4}) + "\n" +
                       SRecordLine('3', kBufferBytes - 2, {5, 6, 7}) + "\n");
    EXPECT_EQ(rig.ctx.Buffer[kBufferBytes - 1], 4);
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
    load("far.s", SRecordLine('3', 0xFFFFFFF0, {1}) + "\n");
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(SRecordFileTest, HexRecordsFailingInAnSFileFallBackToTheHexLoader) {
    // A line with an S3 tag inside an otherwise Intel file fails as an S-record, and holds ':'.
    load("mixed.s", HexRecordLine(0, 0x30, {0x77}) + "\n:S3\n");
    const long errors =
        std::count_if(rig.ui.messages.begin(), rig.ui.messages.end(),
                      [](const auto& m) { return m.text == "Checksum Error reading Hexfile"; });
    EXPECT_EQ(errors, 2);  // once as S-records, once as Intel HEX
    EXPECT_EQ(rig.ctx.Buffer[0x30], 0x77);
    EXPECT_FALSE(rig.ui.saw("Hex File loaded OK"));  // the HEX reading fails on ":S3" as well
}

TEST_F(SRecordFileTest, PicSaveKeepsTheWholeConfigurationWord) {
    DeviceProfile& p = rig.ctx.profile;
    p.eep = 17, p.PIC = 1, p.bufferSize = 64, p.picCfgIndex = 0x2007, p.picDataBytes = 64;
    rig.ctx.Buffer[0x400E] = 0x72;
    rig.ctx.Buffer[0x400F] = 0x3F;
    mnuSaveClick(rig.ctx, dir / "pic", 3);
    const std::vector<std::string> lines = Lines(ReadText(dir / "pic.S"));
    ASSERT_EQ(lines.size(), 8u + 1 + 8 + 1);
    EXPECT_EQ(lines[8], SRecordLine('1', 0x400E, {0x72, 0x3F}));
    EXPECT_EQ(lines[9].substr(0, 8), "S1134200");
}

TEST_F(SRecordFileTest, PicSaveKeepsEveryDataByteAndTheTwelveBitWords) {
    DeviceProfile& p = rig.ctx.profile;
    p.eep = 17, p.PIC = 1, p.bufferSize = 16, p.picCfgIndex = 0x2007, p.picDataBytes = 256;
    rig.ctx.Buffer[0x4200 + 2 * 255] = 0x5A;  // the last data byte of a 16F877
    mnuSaveClick(rig.ctx, dir / "f877", 3);
    std::vector<std::string> lines = Lines(ReadText(dir / "f877.S"));
    ASSERT_EQ(lines.size(), 2u + 1 + 32 + 1);
    EXPECT_EQ(lines[34].substr(0, 8), "S11343F0");
    EXPECT_EQ(lines[34].substr(8 + 2 * 14, 2), "5A");
    p.eep = 18, p.bufferSize = 512, p.picIdBase = 512, p.picCfgIndex = 4095, p.picDataBytes = 0;
    rig.ctx.Buffer[2 * 512] = 0x07;
    rig.ctx.Buffer[0x1FFE] = 0x1A;
    mnuSaveClick(rig.ctx, dir / "c508", 3);
    lines = Lines(ReadText(dir / "c508.S"));
    ASSERT_EQ(lines.size(), 64u + 1 + 1 + 1);
    EXPECT_EQ(lines[64].substr(0, 10), "S10B040007");
    EXPECT_EQ(lines[65].substr(0, 10), "S1051FFE1A");
}

}  // namespace
}  // namespace tavrin::test
