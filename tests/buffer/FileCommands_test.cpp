// The load and save commands: format choice, round trips through every format, the PIC and AVR
// adjustments after a load, and whole-or-nothing writes.
#include "buffer/FileCommands.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "buffer/FileTestSupport.h"
#include "buffer/FormatDetect.h"
#include "support/SimRig.h"

namespace tavrin::test {
namespace {

TEST(FileFormatChoice, LoadGoesByTheUpperCasedExtension) {
    EXPECT_EQ(FormatForExtension("a/b.s"), FileFormat::SRecord);
    EXPECT_EQ(FormatForExtension("B.S"), FileFormat::SRecord);
    EXPECT_EQ(FormatForExtension("x.Hex"), FileFormat::IntelHex);
    EXPECT_EQ(FormatForExtension("x.eep"), FileFormat::Eep);
    EXPECT_EQ(FormatForExtension("x.rom"), FileFormat::Binary);
    EXPECT_EQ(FormatForExtension("x.srec"), FileFormat::Binary);
    EXPECT_EQ(FormatForExtension("dir.hex/file"), FileFormat::Binary);
    EXPECT_EQ(FormatForExtension("noext"), FileFormat::Binary);
}

TEST(FileFormatChoice, SaveGoesByTheFilterEntry) {
    EXPECT_EQ(FormatForSaveFilter(1), FileFormat::Binary);
    EXPECT_EQ(FormatForSaveFilter(2), FileFormat::IntelHex);
    EXPECT_EQ(FormatForSaveFilter(3), FileFormat::SRecord);
    EXPECT_EQ(FormatForSaveFilter(4), FileFormat::Rom);
    EXPECT_EQ(FormatForSaveFilter(5), FileFormat::Eep);
    EXPECT_FALSE(FormatForSaveFilter(0));
    EXPECT_FALSE(FormatForSaveFilter(6));
    DeviceProfile p;
    EXPECT_EQ(SaveFilterPreset(p), 1);
    p.PIC = 1;
    EXPECT_EQ(SaveFilterPreset(p), 2);
    EXPECT_EQ(SaveFileName("rom.bin", FileFormat::IntelHex), "rom.bin.HEX");
    EXPECT_EQ(SaveFileName("x.S", FileFormat::SRecord), "x.S");
    EXPECT_EQ(SaveFileName("x.s", FileFormat::SRecord), "x.s");
    EXPECT_EQ(SaveFileName("dir.rom/x", FileFormat::Rom), "dir.rom/x.ROM");
}

TEST(FileFormatChoice, ContentsTellTheFormat) {
    auto detect = [](const std::string& text) {
        return DetectFormat(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(detect(":00000001FF\n"), FileFormat::IntelHex);
    EXPECT_EQ(detect("\xEF\xBB\xBF\r\n  " + HexRecordLine(0, 0, {1}) + "\r\n"),
              FileFormat::IntelHex);
    EXPECT_EQ(detect("S00600004844521B\nS9030000FC\n"), FileFormat::SRecord);
    EXPECT_EQ(detect(SRecordLine('3', 0x100, {1, 2}) + "\n"), FileFormat::SRecord);
    EXPECT_EQ(detect(":00000001FE\n"), FileFormat::Binary);  // bad checksum
    EXPECT_EQ(detect("S1FFFF\n"), FileFormat::Binary);
    EXPECT_EQ(detect(std::string("\x3A\x00\x12\x34", 4)), FileFormat::Binary);
    EXPECT_EQ(detect(""), FileFormat::Binary);
}

struct RoundTrip {
    FileFormat format;
    int filter;
    uint32_t size;
};

class FileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(FileRoundTrip, SavedImageLoadsBackTheSame) {
    const RoundTrip& t = GetParam();
    SimRig rig;
    ScratchDir dir;
    rig.selectRawDevice(static_cast<int32_t>(t.size));
    const std::vector<uint8_t> image = RandomBytes(t.size, t.size * 31 + t.filter);
    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0xFF);
    std::copy(image.begin(), image.end(), rig.ctx.Buffer.begin());
    const std::vector<uint8_t> before = rig.ctx.Buffer;

    mnuSaveClick(rig.ctx, dir / "image", t.filter);
    ASSERT_EQ(dir.names().size(), 1u);
    std::fill(rig.ctx.Buffer.begin(), rig.ctx.Buffer.end(), 0x00);
    rig.ctx.profile.bufferLoaded = 1;
    mnuLoadClick(rig.ctx, dir / dir.names()[0]);

    EXPECT_EQ(rig.ctx.profile.bufferLoaded, t.size);
    EXPECT_TRUE(rig.ctx.Buffer == before);
    EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- " + dir.names()[0]);
}

std::vector<RoundTrip> RoundTrips() {
    std::vector<RoundTrip> out;
    for (auto [format, filter] : {std::pair{FileFormat::Binary, 1},
                                  {FileFormat::IntelHex, 2},
                                  {FileFormat::SRecord, 3},
                                  {FileFormat::Rom, 4}})
        for (uint32_t size :
             {1u, 15u, 16u, 17u, 4095u, 65535u, 65536u, 65537u, 1048579u, kBufferBytes})
            out.push_back({format, filter, size});
    return out;
}

std::string RoundTripName(const ::testing::TestParamInfo<RoundTrip>& info) {
    static const char* names[] = {"Bin", "Rom", "Hex", "Eep", "S", "Auto"};
    return std::string(names[int(info.param.format)]) + "_" + std::to_string(info.param.size);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FileRoundTrip, ::testing::ValuesIn(RoundTrips()),
                         RoundTripName);

TEST(FileRoundTripEep, EepromAreaLoadsBackTheSame) {
    for (uint32_t size : {1u, 33u, 65536u, 70000u, kBufferBytes - 0x40000}) {
        SimRig rig;
        ScratchDir dir;
        rig.selectRawDevice(8192, 14);
        rig.ctx.profile.avrEepromBase = 0x40000;
        rig.ctx.profile.avrEepromSize = static_cast<int32_t>(size);
        const std::vector<uint8_t> data = RandomBytes(size, size);
        std::copy(data.begin(), data.end(), rig.ctx.Buffer.begin() + 0x40000);
        const std::vector<uint8_t> before = rig.ctx.Buffer;
        mnuSaveClick(rig.ctx, dir / "e", 5);
        std::fill(rig.ctx.Buffer.begin() + 0x40000, rig.ctx.Buffer.end(), 0);
        rig.ctx.profile.bufferLoaded = 5;
        mnuLoadClick(rig.ctx, dir / "e.EEP");
        EXPECT_TRUE(std::equal(data.begin(), data.end(), rig.ctx.Buffer.begin() + 0x40000)) << size;
        EXPECT_EQ(rig.ctx.profile.bufferLoaded, 5u);
        EXPECT_EQ(rig.ui.lastText(), "EEPROM (Hex) File loaded OK");
    }
}

TEST(LoadCommand, CancelledDialogDoesNothing) {
    SimRig rig;
    rig.ctx.Buffer[0] = 0x12;
    mnuLoadClick(rig.ctx, "");
    EXPECT_EQ(rig.ctx.Buffer[0], 0x12);
    EXPECT_EQ(rig.ui.refreshes, 0);
    mnuSaveClick(rig.ctx, "", 2);
    EXPECT_EQ(rig.ui.refreshes, 1);  // the save command refreshes either way
}

TEST(LoadCommand, RemembersTheFolderAndProposesTheName) {
    SimRig rig;
    ScratchDir dir;
    WriteBytes(dir / "a.bin", {1, 2, 3});
    FileDialogState dialogs;
    mnuLoadClick(rig.ctx, dir / "a.bin", &dialogs);
    EXPECT_EQ(dialogs.folder, dir.path().string() + "/");
    EXPECT_EQ(dialogs.saveName, dir / "a.bin");
    mnuLoadClick(rig.ctx, dir / "missing.bin", &dialogs);  // a failed load still moves them
    EXPECT_EQ(dialogs.saveName, dir / "missing.bin");
}

class PicLoad : public ::testing::Test {
  protected:
    PicLoad() {
        DeviceProfile& p = rig.ctx.profile;
        p.eep = 17, p.PIC = 1, p.picProgWords = 1024, p.bufferSize = 77;
        p.picIdBase = 0x2000, p.picIdCount = 4, p.picCfgIndex = 0x2007;
    }
    std::string wordRecord(uint32_t word, std::vector<uint16_t> words) {
        std::vector<uint8_t> bytes;
        for (uint16_t w : words) bytes.push_back(uint8_t(w)), bytes.push_back(uint8_t(w >> 8));
        return HexRecordLine(0, static_cast<uint16_t>(2 * word), bytes);
    }

    SimRig rig;
    ScratchDir dir;
};

TEST_F(PicLoad, RestoresSizeConfigurationAndIdentifier) {
    WriteText(dir / "p.hex", wordRecord(0, {0xFFFF, 0x1234}) + "\n" +
                                 wordRecord(0x2000, {0x0001, 0x00F2, 0x3FF3, 0xFFF4}) + "\n" +
                                 wordRecord(0x2007, {0xC3F1}) + "\n:00000001FF\n");
    mnuLoadClick(rig.ctx, dir / "p.hex");
    const DeviceProfile& p = rig.ctx.profile;
    EXPECT_EQ(p.bufferSize, 1024);
    EXPECT_EQ(p.picConfig, 0xC3F1);  // taken before the words are masked
    EXPECT_EQ(p.picID, 0x1234);
    EXPECT_EQ(rig.ctx.Buffer[1], 0x3F);  // 0xFFFF masked to 0x3FFF
    EXPECT_EQ(rig.ctx.Buffer[3], 0x12);
    EXPECT_EQ(rig.ctx.Buffer[2 * 0x2007 + 1], 0x03);
}

TEST_F(PicLoad, AdjustsEvenWhenTheLoadFails) {
    mnuLoadClick(rig.ctx, dir / "missing.hex");
    EXPECT_EQ(rig.ctx.profile.bufferSize, 1024);
    EXPECT_GT(rig.ui.refreshes, 0);
}

TEST_F(PicLoad, AreaFieldsOutsideTheBufferAreHarmless) {
    rig.ctx.profile.picCfgIndex = -5;
    rig.ctx.profile.picIdBase = 0x7FFFFFF0;
    rig.ctx.profile.picIdCount = 0x7FFFFFFF;
    WriteBytes(dir / "p.bin", {1});
    mnuLoadClick(rig.ctx, dir / "p.bin");
    EXPECT_EQ(rig.ctx.profile.picConfig, 0xFFFF);
    EXPECT_EQ(rig.ctx.profile.picID, 0xFFFF);
}

TEST(AvrLoad, FlashFileErasesTheEepromImageButAnEepFileDoesNot) {
    SimRig rig;
    ScratchDir dir;
    rig.selectRawDevice(8192, 14);
    DeviceProfile& p = rig.ctx.profile;
    p.avrEepromBase = 0x40000, p.avrEepromSize = 512, p.bufferSize = 5;
    WriteText(dir / "f.hex",
              HexRecordLine(4, 0, {0, 4}) + "\n" + HexRecordLine(0, 0x10, {1}) + "\n");
    mnuLoadClick(rig.ctx, dir / "f.hex");
    EXPECT_EQ(p.bufferSize, 8192);
    EXPECT_EQ(rig.ctx.Buffer[0x40010], 0xFF);
    EXPECT_EQ(p.bufferLoaded, 0x40011u);

    p.bufferSize = 5;
    WriteText(dir / "e.eep", HexRecordLine(0, 0x10, {1}) + "\n");
    mnuLoadClick(rig.ctx, dir / "e.eep");
    EXPECT_EQ(rig.ctx.Buffer[0x40010], 1);
    EXPECT_EQ(p.bufferSize, 5);
}

TEST(LoadImage, FormatGivenOrDetectedOverridesTheExtension) {
    SimRig rig;
    ScratchDir dir;
    WriteText(dir / "intel.txt", HexRecordLine(0, 2, {0xAA}) + "\n");
    EXPECT_TRUE(LoadImage(rig.ctx, dir / "intel.txt", FileFormat::IntelHex));
    EXPECT_EQ(rig.ctx.Buffer[2], 0xAA);
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 3u);

    WriteText(dir / "moto.bin", SRecordLine('2', 0x10000, {0xBB}) + "\n");
    EXPECT_TRUE(LoadImage(rig.ctx, dir / "moto.bin", FileFormat::Auto));
    EXPECT_EQ(rig.ctx.Buffer[0x10000], 0xBB);

    WriteBytes(dir / "raw.hex", {0x00, 0x3A});
    EXPECT_TRUE(LoadImage(rig.ctx, dir / "raw.hex", FileFormat::Auto));
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 2u);

    EXPECT_FALSE(LoadImage(rig.ctx, dir / "none", FileFormat::Auto));
}

TEST(SaveImage, AsGivenWritesTheExactName) {
    SimRig rig;
    ScratchDir dir;
    rig.selectRawDevice(16);
    const auto written =
        SaveImage(rig.ctx, dir / "out.img", FileFormat::SRecord, SaveNaming::AsGiven);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, dir / "out.img");
    EXPECT_EQ(Lines(ReadText(dir / "out.img")).back(), "S9030000FC");
    EXPECT_FALSE(SaveImage(rig.ctx, dir / "x", FileFormat::Auto));
}

class SaveFailure : public ::testing::Test {
  protected:
    SaveFailure() {
        rig.selectRawDevice(kBufferBytes);
        WriteText(dir / "old.hex", "previous contents\n");
    }
    SimRig rig;
    ScratchDir dir;
};

TEST_F(SaveFailure, FullDiskKeepsTheOldFile) {
    // A file-size limit makes the writes fail the way a full disk does.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    mnuSaveClick(rig.ctx, dir / "old.hex", 2);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(rig.ui.saw("Error writing file"));
    EXPECT_EQ(ReadText(dir / "old.hex"), "previous contents\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"old.hex"});
    EXPECT_EQ(rig.ctx.controls.caption, "Tavrin Eprom Prog(0.95B)- ");
}

TEST_F(SaveFailure, MissingFolderReportsOpening) {
    mnuSaveClick(rig.ctx, dir / "no/such/folder/x", 3);
    EXPECT_TRUE(rig.ui.saw("Error opening file"));
}

TEST_F(SaveFailure, FolderInTheWayIsNotReplaced) {
    std::filesystem::create_directory(dir / "taken.BIN");
    mnuSaveClick(rig.ctx, dir / "taken", 1);
    EXPECT_TRUE(rig.ui.saw("Error opening file"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.BIN"));
}

TEST_F(SaveFailure, ReplacingKeepsPermissionsAndLeavesNoTemporaryFile) {
    std::filesystem::permissions(dir / "old.hex", std::filesystem::perms(0640));
    rig.selectRawDevice(32);
    mnuSaveClick(rig.ctx, dir / "old.hex", 2);
    EXPECT_EQ(Lines(ReadText(dir / "old.hex")).size(), 3u);
    EXPECT_EQ(std::filesystem::status(dir / "old.hex").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"old.hex"});
}

TEST_F(SaveFailure, LongestNameStillSaves) {
    rig.selectRawDevice(16);
    const std::string name(251, 'n');
    mnuSaveClick(rig.ctx, dir / name, 2);
    EXPECT_FALSE(rig.ui.saw("Error opening file"));
    EXPECT_EQ(Lines(ReadText(dir / (name + ".HEX"))).size(), 2u);
}

TEST_F(SaveFailure, SymbolicLinkUpdatesTheFileItNames) {
    std::filesystem::create_symlink("old.hex", dir / "link.hex");
    rig.selectRawDevice(16);
    mnuSaveClick(rig.ctx, dir / "link.hex", 2);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.hex"));
    EXPECT_EQ(Lines(ReadText(dir / "old.hex")).size(), 2u);
}

}  // namespace
}  // namespace tavrin::test
