// The Intel HEX and EEP readers and writers, through the file commands as the window runs them.
#include "buffer/IntelHex.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>

#include "buffer/FileCommands.h"
#include "buffer/FileTestSupport.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

constexpr const char* kCaption = "Tavrin Eprom Prog(0.95B)- ";

class HexFileTest : public ::testing::Test {
  protected:
    HexFileTest() {
        rig.selectRawDevice(65536);
        std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0x5A);
        rig.ctx.profile.bufferLoaded = 777;  // a load that fails must leave it
    }
    void load(const std::string& name, const std::string& text) {
        WriteText(dir / name, text);
        mnuLoadClick(rig.ctx, dir / name);
    }
    bool allFF(size_t from, size_t to) const {
        return std::all_of(rig.ctx.Buffer.begin() + from, rig.ctx.Buffer.begin() + to,
                           [](uint8_t b) { return b == 0xFF; });
    }

    SimRig rig;
    ScratchDir dir;
};

TEST_F(HexFileTest, EndRecordAloneLoadsAnEmptyImage) {
    load("only-end.hex", ":00000001FF\n");
    EXPECT_TRUE(allFF(0, kBufferBytes));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0u);
    EXPECT_EQ(rig.ui.lastText(), "Hex File loaded OK");
    EXPECT_EQ(rig.ctx.controls.caption, std::string(kCaption) + "only-end.hex");
    EXPECT_GT(rig.ui.refreshes, 0);
}

TEST_F(HexFileTest, DataRecordsStoreAndSetTheExtent) {
    load("a.HEX", HexRecordLine(0, 0x0100, {1, 2, 3}) + "\r\n" + HexRecordLine(0, 0x0010, {9}) +
                      "\r\n:00000001FF\r\n");
    EXPECT_EQ(rig.ctx.Buffer[0x100], 1);
    EXPECT_EQ(rig.ctx.Buffer[0x102], 3);
    EXPECT_EQ(rig.ctx.Buffer[0x10], 9);
    EXPECT_EQ(rig.ctx.Buffer[0x103], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x103u);
    EXPECT_EQ(rig.ui.lastText(), "Hex File loaded OK");
}

TEST_F(HexFileTest, RecordsAfterTheEndRecordAreStillRead) {
    load("after.hex", ":00000001FF\n" + HexRecordLine(0, 0x20, {0xAB, 0xCD}) + "\n");
    EXPECT_EQ(rig.ctx.Buffer[0x20], 0xAB);
    EXPECT_EQ(rig.ctx.Buffer[0x21], 0xCD);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x22u);
}

TEST_F(HexFileTest, EmptyLineEndsTheLoadAfterStoringWhatCameBefore) {
    load("gap.hex", HexRecordLine(0, 0, {7}) + "\n\n" + HexRecordLine(0, 1, {8}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_FALSE(rig.ui.saw("Hex File loaded OK"));
    EXPECT_EQ(rig.ctx.Buffer[0], 7);
    EXPECT_EQ(rig.ctx.Buffer[1], 0xFF);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
    EXPECT_EQ(rig.ctx.controls.caption, kCaption);
}

TEST_F(HexFileTest, BlankLastLineFailsToo) {
    load("tail.hex", HexRecordLine(0, 0, {7}) + "\n:00000001FF\n\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.Buffer[0], 7);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(HexFileTest, RecordOf34BytesFillsOneReadAndItsLineEndFails) {
    const std::vector<uint8_t> data34 = RandomBytes(34, 1);
    const std::string line = HexRecordLine(0, 0, data34);
    ASSERT_EQ(line.size(), 79u);
    load("r34.hex", line + "\n:00000001FF\n");
    EXPECT_TRUE(std::equal(data34.begin(), data34.end(), rig.ctx.Buffer.begin()));
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(HexFileTest, RecordsOfUpTo33BytesAlwaysFitWithCrLf) {
    const std::vector<uint8_t> data33 = RandomBytes(33, 2);
    load("r33.hex", HexRecordLine(0, 0x40, data33) + "\r\n:00000001FF\r\n");
    EXPECT_TRUE(std::equal(data33.begin(), data33.end(), rig.ctx.Buffer.begin() + 0x40));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x40u + 33);
    EXPECT_EQ(rig.ui.lastText(), "Hex File loaded OK");
}

TEST_F(HexFileTest, LongerRecordIsRefusedWithoutReadingPastTheLine) {
    load("r40.hex", HexRecordLine(0, 0, RandomBytes(40, 3)) + "\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_TRUE(allFF(0, 64));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(HexFileTest, LengthFieldLongerThanTheLineIsAChecksumError) {
    load("short.hex", ":FF000000010203\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_TRUE(allFF(0, 16));
}

TEST_F(HexFileTest, BadChecksumEndsTheLoad) {
    std::string bad = HexRecordLine(0, 4, {1, 2});
    bad.back() = bad.back() == '0' ? '1' : '0';
    load("bad.hex", HexRecordLine(0, 0, {5}) + "\n" + bad + "\n" + HexRecordLine(0, 8, {6}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.Buffer[0], 5);
    EXPECT_EQ(rig.ctx.Buffer[4], 0xFF);
    EXPECT_EQ(rig.ctx.Buffer[8], 0xFF);
}

TEST_F(HexFileTest, NonHexDigitsAreABadRecord) {
    load("digits.hex", ":0100000G41B8\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile"));
}

TEST_F(HexFileTest, LowerCaseDigitsAndLeadingTextBeforeTheMarkAreAccepted) {
    std::string line = HexRecordLine(0, 0x1A, {0xAB});
    for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    load("lower.hex", "  " + line + "\n");
    EXPECT_EQ(rig.ctx.Buffer[0x1A], 0xAB);
    EXPECT_EQ(rig.ui.lastText(), "Hex File loaded OK");
}

TEST_F(HexFileTest, ExtendedAddressRecordsMoveTheData) {
    load("ext.hex", HexRecordLine(4, 0, {0x00, 0x03}) + "\n" + HexRecordLine(0, 0x0010, {0x11}) +
                        "\n" + HexRecordLine(2, 0, {0x10, 0x00}) + "\n" +
                        HexRecordLine(0, 0x0002, {0x22}) + "\n:00000001FF\n");
    EXPECT_EQ(rig.ctx.Buffer[0x30010], 0x11);
    EXPECT_EQ(rig.ctx.Buffer[0x10002], 0x22);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x30011u);
}

TEST_F(HexFileTest, DataPastTheBufferIsRefusedWhole) {
    // Page 0x3F holds the last 64 KB; a record that crosses its end is refused.
    load("edge.hex", HexRecordLine(4, 0, {0x00, 0x3F}) + "\n" +
                         HexRecordLine(0, 0xFFF0, RandomBytes(16, 4)) + "\n" +
                         HexRecordLine(0, 0xFFF8, RandomBytes(16, 5)) + "\n");
    const std::vector<uint8_t> first = RandomBytes(16, 4);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), rig.ctx.Buffer.end() - 16));
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
    EXPECT_EQ(rig.ctx.Buffer.size(), kBufferBytes);
}

TEST_F(HexFileTest, PageFarAboveTheBufferIsRefused) {
    load("far.hex",
         HexRecordLine(4, 0, {0xFF, 0xFF}) + "\n" + HexRecordLine(0, 0xFFFF, {1}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
}

TEST_F(HexFileTest, ExtendedAddressRecordWithoutItsBytesIsRefused) {
    load("ext0.hex", HexRecordLine(4, 0, {}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
}

TEST_F(HexFileTest, SRecordsInAHexFileLoadThroughTheFallback) {
    load("motorola.hex",
         "S00600004844521B\n" + SRecordLine('1', 0x10, {1, 2, 3}) + "\nS9030000FC\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ui.lastText(), "S Record File loaded OK");
    EXPECT_EQ(rig.ctx.Buffer[0x12], 3);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 0x13u);
    EXPECT_EQ(rig.ctx.controls.caption, std::string(kCaption) + "motorola.hex");
}

TEST_F(HexFileTest, FailingLineWithoutAnSDoesNotFallBack) {
    load("junk.hex", "hello\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_FALSE(rig.ui.saw("S Record File loaded OK"));
}

TEST_F(HexFileTest, MissingFileLeavesTheBufferUntouched) {
    mnuLoadClick(rig.ctx, dir / "nothing.hex");
    EXPECT_TRUE(rig.ui.saw("Error opening file"));
    EXPECT_EQ(rig.ctx.Buffer[0], 0x5A);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
}

TEST_F(HexFileTest, FolderIsNotAFile) {
    mnuLoadClick(rig.ctx, dir.path().string() + "/.");
    EXPECT_TRUE(rig.ui.saw("Error opening file"));
    EXPECT_EQ(rig.ctx.Buffer[0], 0x5A);
}

TEST_F(HexFileTest, PipeIsRefusedWithoutWaitingForAWriter) {
    ASSERT_EQ(::mkfifo((dir / "pipe.hex").c_str(), 0600), 0);
    mnuLoadClick(rig.ctx, dir / "pipe.hex");
    EXPECT_TRUE(rig.ui.saw("Error opening file"));
}

TEST_F(HexFileTest, ZeroByteEndsTheTextOfItsLine) {
    load("nul.hex",
         HexRecordLine(0, 0, {1}) + "\n" + std::string("\0", 1) + HexRecordLine(0, 1, {2}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_EQ(rig.ctx.Buffer[0], 1);
    EXPECT_EQ(rig.ctx.Buffer[1], 0xFF);
}

TEST_F(HexFileTest, WithoutTheProgrammerTheHardwareErrorIsShownInstead) {
    rig.board.setPresent(false);
    load("gap.hex", "\n");
    EXPECT_TRUE(rig.ui.saw("Hardware Error :  Check Power && connection"));
    EXPECT_FALSE(rig.ui.saw("Error reading Hexfile"));
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST_F(HexFileTest, SavingA128KDeviceWritesPageRecords) {
    rig.selectRawDevice(128 * 1024);
    const std::vector<uint8_t> image = RandomBytes(128 * 1024, 6);
    std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
    mnuSaveClick(rig.ctx, dir / "big", 2);
    const std::vector<std::string> lines = Lines(ReadText(dir / "big.HEX"));
    ASSERT_EQ(lines.size(), 8192u + 1 + 1);
    EXPECT_EQ(lines[4096], ":020000040001F9");
    EXPECT_EQ(lines[4097].substr(0, 9), ":10000000");
    EXPECT_EQ(lines[0],
              HexRecordLine(0, 0, std::vector<uint8_t>(image.begin(), image.begin() + 16)));
    EXPECT_EQ(lines.back(), ":00000001FF");
    EXPECT_EQ(rig.ctx.controls.caption, std::string(kCaption) + (dir / "big.HEX"));
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_GT(rig.ui.refreshes, 0);
}

TEST_F(HexFileTest, SaveNamesFollowTheFilterEntry) {
    mnuSaveClick(rig.ctx, dir / "image", 2);
    mnuSaveClick(rig.ctx, dir / "rom.bin", 2);
    mnuSaveClick(rig.ctx, dir / "keep.hex", 2);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"image.HEX", "keep.hex", "rom.bin.HEX"}));
}

TEST_F(HexFileTest, FourteenBitPicSavesProgramIdentifiersAndData) {
    DeviceProfile& p = rig.ctx.profile;
    p.eep = 17, p.PIC = 1, p.bufferSize = 1024, p.picIdBase = 0x2000, p.picDataBytes = 64;
    mnuSaveClick(rig.ctx, dir / "pic", 2);
    const std::vector<std::string> lines = Lines(ReadText(dir / "pic.HEX"));
    // 2048 program bytes, 16 identifier and configuration bytes, 128 data bytes.
    ASSERT_EQ(lines.size(), 128u + 1 + 8 + 1);
    EXPECT_EQ(lines[128].substr(0, 9), ":10400000");
    EXPECT_EQ(lines[129].substr(0, 9), ":10420000");
    EXPECT_EQ(lines[136].substr(0, 9), ":10427000");
}

TEST_F(HexFileTest, TwelveBitPicSavesProgramIdentifiersAndConfiguration) {
    DeviceProfile& p = rig.ctx.profile;
    p.eep = 18, p.PIC = 1, p.bufferSize = 512, p.picIdBase = 512, p.picCfgIndex = 4095;
    mnuSaveClick(rig.ctx, dir / "pic12", 2);
    const std::vector<std::string> lines = Lines(ReadText(dir / "pic12.HEX"));
    ASSERT_EQ(lines.size(), 64u + 1 + 1 + 1);
    EXPECT_EQ(lines[64].substr(0, 9), ":08040000");
    EXPECT_EQ(lines[65].substr(0, 9), ":021FFE00");
}

TEST_F(HexFileTest, BlockOnALowerPageAfterAHigherOneRestatesItsPage) {
    std::string text;
    HexRecordWriter writer(text);
    writer.beginBlock();
    const std::vector<uint8_t> bytes(32, 0x42);
    writer.write(bytes.data(), 0x10000, 16);
    writer.beginBlock();
    writer.write(bytes.data(), 0x0100, 16);
    writer.end();
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], ":020000040001F9");
    EXPECT_EQ(lines[2], ":020000040000FA");
    EXPECT_EQ(lines[3].substr(0, 9), ":10010000");
}

class EepFileTest : public HexFileTest {
  protected:
    EepFileTest() {
        rig.selectRawDevice(8192, 14);
        rig.ctx.profile.avrEepromBase = 0x40000;
        rig.ctx.profile.avrEepromSize = 512;
    }
};

TEST_F(EepFileTest, SavesTheEepromAreaFromFileAddressZero) {
    const std::vector<uint8_t> eeprom = RandomBytes(512, 7);
    std::copy(eeprom.begin(), eeprom.end(), rig.ctx.Buffer.begin() + 0x40000);
    const std::string captionBefore = rig.ctx.controls.caption;
    mnuSaveClick(rig.ctx, dir / "data", 5);
    const std::vector<std::string> lines = Lines(ReadText(dir / "data.EEP"));
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[0],
              HexRecordLine(0, 0, std::vector<uint8_t>(eeprom.begin(), eeprom.begin() + 16)));
    EXPECT_EQ(rig.ctx.controls.caption, captionBefore);
}

TEST_F(EepFileTest, LoadsIntoTheEepromAreaWithoutClearing) {
    rig.ctx.controls.caption = "kept";
    load("data.eep", HexRecordLine(0, 0x10, {0xC3, 0x3C}) + "\n:00000001FF\n");
    EXPECT_EQ(rig.ctx.Buffer[0x40010], 0xC3);
    EXPECT_EQ(rig.ctx.Buffer[0x40011], 0x3C);
    EXPECT_EQ(rig.ctx.Buffer[0], 0x5A);  // not cleared
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 777u);
    EXPECT_EQ(rig.ctx.controls.caption, "kept");
    EXPECT_EQ(rig.ui.lastText(), "EEPROM (Hex) File loaded OK");
}

TEST_F(EepFileTest, ErrorsNameTheEepFile) {
    load("bad.eep", "S1130000\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile (EEP)"));
    load("bad2.eep", ":0100000000\n");
    EXPECT_TRUE(rig.ui.saw("Checksum Error reading Hexfile (EEP)"));
    EXPECT_FALSE(rig.ui.saw("S Record File loaded OK"));
}

TEST_F(EepFileTest, DataPastTheBufferIsRefused) {
    rig.ctx.profile.avrEepromBase = kBufferBytes - 8;
    load("edge.eep",
         HexRecordLine(0, 0, RandomBytes(8, 8)) + "\n" + HexRecordLine(0, 8, {1}) + "\n");
    EXPECT_TRUE(rig.ui.saw("Error reading Hexfile (EEP)"));
    const std::vector<uint8_t> first = RandomBytes(8, 8);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), rig.ctx.Buffer.end() - 8));
}

}  // namespace
}  // namespace tavrin::test
