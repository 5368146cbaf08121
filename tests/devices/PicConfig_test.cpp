// The PIC device table and the configuration word: selection, the option controls composing the
// word and the word setting the controls, the identifier edit.
#include "devices/PicConfig.h"

#include <gtest/gtest.h>

#include "core/ImageBuffer.h"
#include "devices/DisplayState.h"
#include "support/CatalogueContext.h"

namespace tavrin {
namespace {

struct PicSelection : test::CatalogueContext {
    DisplayState::PicPanel panel() const { return ComputeDisplayState(ctx).pic; }
    uint16_t configWord() const { return BufferWord(ctx, ctx.profile.picCfgIndex); }
    // Puts `word` into the buffer and refreshes, as a file load does.
    void loadConfig(uint16_t word) {
        SetBufferWord(ctx, ctx.profile.picCfgIndex, word);
        Winstat(ctx);
    }
};

TEST_F(PicSelection, Pic16F84AFillsTheProfile) {
    select("PIC 16F84A  (P 5mS)");
    const DeviceProfile& p = ctx.profile;
    EXPECT_EQ(p.DeviceID, 303);
    EXPECT_EQ(p.eep, 17);
    EXPECT_EQ(p.PIC, 1);
    EXPECT_EQ(p.serial, 1);
    EXPECT_EQ(p.bufferSize, 1024);
    EXPECT_EQ(p.picProgWords, 1024);
    EXPECT_EQ(p.picDataBytes, 64);
    EXPECT_EQ(p.picIdBase, 0x2000);
    EXPECT_EQ(p.picIdCount, 4);
    EXPECT_EQ(p.picCfgIndex, 0x2007);
    EXPECT_EQ(p.picCfgFill, 0x3FFF);
    EXPECT_EQ(p.cfgMask, 0x3FFF);
    EXPECT_EQ(p.bkCode, 0x3BFF);
    EXPECT_EQ(p.blankAdjust, 0);
    EXPECT_EQ(p.tWC, 8000);  // the whole erase-before-write cycle
    EXPECT_EQ(p.tWP, 10);
    EXPECT_EQ(p.package, 16);
    EXPECT_EQ(p.DIP, 0);
    EXPECT_FALSE(ctx.controls.edOffsetEnabled);
    EXPECT_EQ(ctx.controls.edDevice, "PIC 16F84A  (P 5mS)");
    const DisplayState s = ComputeDisplayState(ctx);
    EXPECT_EQ(s.optionGroup, "pPICSettings");
    EXPECT_EQ(s.socketPicture, "imgW16F84");
    EXPECT_EQ(s.pic.cbOSC, (std::vector<std::string>{" LP", " XT", " HS", " RC"}));
    EXPECT_EQ(s.pic.cbCP, (std::vector<std::string>{" CP ALL", " CP OFF"}));
}

TEST_F(PicSelection, TwelveBitPartsKeepIdsAfterTheProgramAndTheWordAt4095) {
    select("PIC 12C508");
    const DeviceProfile& p = ctx.profile;
    EXPECT_EQ(p.eep, 18);
    EXPECT_EQ(p.picIdBase, 512);
    EXPECT_EQ(p.picCfgIndex, 4095);
    EXPECT_EQ(p.picCfgFill, 4095);
    EXPECT_EQ(p.tWC, 200);
    EXPECT_EQ(p.package, 12);
    ClearBuf(ctx, 1);
    EXPECT_EQ(BufferWord(ctx, 511), 0x0FFF);
    EXPECT_EQ(BufferWord(ctx, 512), 0x0000);
    EXPECT_EQ(BufferWord(ctx, 4095), 0x0FFF);
    // 512 program words and four identifier words: the bytes 0x1FFE and 0x1FFF hold the word.
    EXPECT_EQ(ctx.Buffer[0x1FFE], 0xFF);
    EXPECT_EQ(ctx.Buffer[0x1FFF], 0x0F);
    const DisplayState s = ComputeDisplayState(ctx);
    EXPECT_EQ(s.pic.boxes[2].caption, "MCLRE/GP3");
    EXPECT_TRUE(s.pic.boxes[2].visible);
    EXPECT_FALSE(s.pic.boxes[1].visible);
    EXPECT_TRUE(s.pic.cbOSCCAL.visible);
    EXPECT_FALSE(s.pic.cbOSCCAL.checked);
    EXPECT_EQ(s.socketPicture, "imgW12C508");
    EXPECT_EQ(s.pic.cbOSC, (std::vector<std::string>{" LP", " XT", " IntRC", " ExtRC"}));
}

TEST_F(PicSelection, SixteenF87xUseTheIcspPictureAndSixteenC84TheBlankAdjust) {
    select("PIC 16F877");
    EXPECT_EQ(ctx.profile.package, 16877);
    EXPECT_EQ(ctx.profile.bufferSize, 8192);
    EXPECT_EQ(ctx.profile.picDataBytes, 256);
    EXPECT_EQ(ComputeDisplayState(ctx).socketPicture, "imgICSP");
    EXPECT_EQ(panel().cbCP, (std::vector<std::string>{" 0000h-1FFFh", " 1000h-1FFFh",
                                                      " 1F00h-1FFFh", " CP OFF"}));
    // The disabled 16C84 entry still selects: only five configuration bits, and a blank part
    // sums to the same 0x3BFF as a 16F84.
    select("PIC 16C84");
    EXPECT_EQ(ctx.profile.cfgMask, 0x001F);
    EXPECT_EQ(ctx.profile.blankAdjust, 0x3FE0);
    EXPECT_EQ((1024 * 0x3FFF + (0x3FFF & 0x001F) + 0x3FE0) & 0xFFFF, ctx.profile.bkCode);
}

TEST_F(PicSelection, EntriesWithoutATagKeepThePreviousDevice) {
    select("PIC 16F628");
    const DeviceEntry* f88 = FindDevice("PIC 16F88");
    ASSERT_NE(f88, nullptr);
    EXPECT_FALSE(f88->enabled);
    SelectDevice(ctx, *f88);
    EXPECT_EQ(ctx.profile.DeviceID, 402);
}

TEST_F(PicSelection, Word3F62On16F628SetsTheControls) {
    select("PIC 16F628");
    loadConfig(0x3F62);
    const DisplayState::PicPanel s = panel();
    EXPECT_EQ(s.cbCP[size_t(s.cpIndex)], " CP OFF");
    EXPECT_EQ(s.cbOSC[size_t(s.oscIndex)], " HS");
    EXPECT_FALSE(s.boxes[0].checked);  // WDTE: bit 2 is 0
    EXPECT_TRUE(s.boxes[1].checked);   // PWRTE: bit 3 is 0, active low
    EXPECT_FALSE(s.boxes[2].checked);  // MCLRE: bit 5 is 1, active low
    EXPECT_TRUE(s.boxes[3].checked);   // BODEN: bit 6 is 1
    EXPECT_FALSE(s.boxes[4].checked);  // LVP: bit 7 is 0
    // CPD is bit 8, and 1 means the data EEPROM is not protected: "CP  EEPROM" stays clear.
    EXPECT_FALSE(s.boxes[5].checked);
    EXPECT_EQ(s.boxes[5].caption, "CP  EEPROM");
    loadConfig(0x3E62);
    EXPECT_TRUE(panel().boxes[5].checked);
    // Checking the box protects the data memory: bit 8 goes to 0.
    loadConfig(0x3F62);
    cbWDTEClick(ctx, 6, true);
    EXPECT_EQ(configWord() & 0x0100, 0);
    cbWDTEClick(ctx, 6, false);
    EXPECT_EQ(configWord() & 0x0100, 0x0100);
}

TEST_F(PicSelection, DebuggerBoxOn16F877IsActiveLow) {
    select("PIC 16F877");
    loadConfig(0x3FFF);
    EXPECT_FALSE(panel().boxes[7].checked);  // DEBUG = 1: debugger off
    cbWDTEClick(ctx, 8, true);
    EXPECT_EQ(configWord() & 0x0800, 0);
    Winstat(ctx);
    EXPECT_TRUE(panel().boxes[7].checked);
}

TEST_F(PicSelection, PowerUpTimerBoxOf16F84ClearsBitThree) {
    select("PIC 16F84");
    loadConfig(0x3FFF);
    cbWDTEClick(ctx, 2, true);
    EXPECT_EQ(configWord(), 0x3FF7);
    EXPECT_EQ(ctx.profile.picConfig, 0x3FF7);
    cbWDTEClick(ctx, 2, false);
    EXPECT_EQ(configWord(), 0x3FFF);
    cbPICChange(ctx, kPicCpTag, 0);  // " CP ALL"
    EXPECT_EQ(configWord(), 0x000F);
    cbPICChange(ctx, kPicOscTag, 2);  // " HS"
    EXPECT_EQ(configWord(), 0x000E);
}

// Every option record: each list entry and each box state set from the controls comes back
// from the word, and the word composed from the controls set by a word is that word again
// under cfgMask.
TEST_F(PicSelection, EveryRecordRoundTripsBetweenControlsAndBuffer) {
    for (const char* device : {"PIC 12C508", "PIC 16C620", "PIC 16C621", "PIC 16C622", "PIC 16F84",
                               "PIC 16F628", "PIC 16F872", "PIC 16F877", "PIC 16C711"}) {
        SCOPED_TRACE(device);
        select(device);
        const DeviceProfile& p = ctx.profile;
        loadConfig(uint16_t(p.picCfgFill));
        const PicOptionRecord& r = PicRecordOf(p);
        for (int i = 0; i < PicOscEntries(r); ++i) {
            cbPICChange(ctx, kPicOscTag, i);
            Winstat(ctx);
            EXPECT_EQ(panel().oscIndex, i);
        }
        for (int i = 0; i < PicCpEntries(r); ++i) {
            cbPICChange(ctx, kPicCpTag, i);
            Winstat(ctx);
            EXPECT_EQ(panel().cpIndex, i);
        }
        const PicBoxLayout layout = PicBoxesFor(p);
        for (int k = 1; k <= kPicOptionBoxes; ++k) {
            if (!layout.visible[size_t(k - 1)] || r.masks[size_t(k - 1)] == 0) continue;
            for (bool on : {true, false, true}) {
                cbWDTEClick(ctx, k, on);
                Winstat(ctx);
                EXPECT_EQ(panel().boxes[size_t(k - 1)].checked, on) << "box " << k;
            }
        }
        // Controls -> word -> controls -> word: the values SetFuses takes from a word compose
        // that word again, whatever the controls chose.
        for (unsigned seed = 1; seed <= 20; ++seed) {
            cbPICChange(ctx, kPicOscTag, int(seed % unsigned(PicOscEntries(r))));
            cbPICChange(ctx, kPicCpTag, int((seed / 3) % unsigned(PicCpEntries(r))));
            for (int k = 1; k <= kPicOptionBoxes; ++k) cbWDTEClick(ctx, k, (seed >> (k % 5)) & 1);
            const uint16_t composed = configWord();
            Winstat(ctx);
            ComposePicConfig(ctx);
            EXPECT_EQ(configWord(), composed) << "seed " << seed;
        }
    }
}

TEST_F(PicSelection, IdEditWritesNibblesIntoTheIdWords) {
    select("PIC 16F84");
    ASSERT_TRUE(edPIC_IDChange(ctx, "1234"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(BufferWord(ctx, 0x2000 + i), 0x3FF1 + i);
    EXPECT_EQ(ctx.profile.picID, 0x1234);
    EXPECT_EQ(PicIdExitText(ctx.profile), "1234");
    select("PIC 12C508");
    ASSERT_TRUE(edPIC_IDChange(ctx, "1234"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(BufferWord(ctx, 512 + i), 1 + i);
    ASSERT_TRUE(edPIC_IDChange(ctx, "abcd"));
    EXPECT_EQ(BufferWord(ctx, 512), 0xA);
    EXPECT_EQ(PicIdExitText(ctx.profile), "abcd");
    Winstat(ctx);
    EXPECT_EQ(ComputeDisplayState(ctx).edPIC_ID, "ABCD");
    // Not hexadecimal: nothing changes.
    EXPECT_FALSE(edPIC_IDChange(ctx, "12G4"));
    EXPECT_FALSE(edPIC_IDChange(ctx, ""));
    EXPECT_EQ(BufferWord(ctx, 515), 0xD);
}

}  // namespace
}  // namespace tavrin
