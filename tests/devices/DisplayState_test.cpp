#include "devices/DisplayState.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/ImageBuffer.h"
#include "core/RecordingFrontEnd.h"
#include "support/CatalogueContext.h"
#include "devices/Catalogue.h"

namespace tavrin {
namespace {

struct Display : test::CatalogueContext {
    DisplayState state() const { return ComputeDisplayState(ctx); }
};

// Places whose image is the "on" lever for the board in use.
std::vector<int> switchesOn(const DisplayState& s) {
    std::vector<int> on;
    const int onImage = s.pcb3 ? DipImage::LeverUp : DipImage::LeverDown;
    for (int place = 1; place <= 12; ++place)
        if (s.placeImages[place - 1] == onImage) on.push_back(s.pcb3 ? place : 13 - place);
    std::sort(on.begin(), on.end());
    return on;
}

TEST_F(Display, Eprom27C64OnBothBoards) {
    ctx.profile.tavrin = 1;
    select("27C64");
    DisplayState s = state();
    EXPECT_EQ(s.edShiftAdr, " A0 --> A12");
    EXPECT_EQ(s.edPatternAdr, " 0x001000");
    EXPECT_EQ(s.edBuffer, " 0x1FFF");
    EXPECT_EQ(s.jumperImage, 4);
    EXPECT_EQ(s.jumperDigit, '4');
    EXPECT_EQ(s.sbTavrinCaption, "PCB3");
    EXPECT_TRUE(s.pPCB3Visible);
    EXPECT_FALSE(s.pTavrinVisible);
    EXPECT_EQ(s.lbONTop, 150);
    EXPECT_EQ(switchesOn(s), (std::vector<int>{1, 2, 4, 6, 9}));
    // Switch 1 is the leftmost place, on.
    EXPECT_EQ(s.placeImages[0], DipImage::LeverUp);
    EXPECT_EQ(s.placeImages[2], DipImage::LeverDown);
    EXPECT_EQ(s.socketPicture, "imgZIF28");

    const DisplayState pcb3 = s;
    sbTavrin_Click(ctx);
    EXPECT_EQ(ctx.profile.tavrin, 0);
    s = state();
    EXPECT_EQ(s.sbTavrinCaption, "Tavrin");
    EXPECT_TRUE(s.pTavrinVisible);
    EXPECT_FALSE(s.pPCB3Visible);
    EXPECT_EQ(s.lbONTop, 175);
    EXPECT_EQ(s.jumperImage, 4);
    EXPECT_EQ(switchesOn(s), (std::vector<int>{1, 2, 4, 6, 9}));
    // Mirrored, with the lever images exchanged: switch 1 is now the rightmost place.
    for (int place = 0; place < 12; ++place)
        EXPECT_EQ(s.placeImages[11 - place], 3 - pcb3.placeImages[place]) << place;
    EXPECT_EQ(s.placeImages[11], DipImage::LeverDown);
    EXPECT_EQ(s.dip, 1);
    sbTavrin_Click(ctx);
    EXPECT_EQ(state().placeImages, pcb3.placeImages);
}

TEST_F(Display, PatternWithoutEntryKeepsThePicture) {
    ctx.profile.tavrin = 1;
    select("27C64");
    const DisplayState before = state();
    ShowDipPattern(ctx, 15);
    const DisplayState after = state();
    EXPECT_EQ(ctx.profile.DIP, 15);
    EXPECT_EQ(after.dip, 15);
    EXPECT_EQ(after.placeImages, before.placeImages);
    EXPECT_EQ(after.jumperImage, before.jumperImage);
    ShowDipPattern(ctx, 19);
    EXPECT_EQ(state().jumperImage, 5);
    ShowDipPattern(ctx, 21);
    EXPECT_EQ(state().jumperImage, 3);
}

TEST_F(Display, BlankBeforeTheFirstPattern) {
    const DisplayState s = state();
    EXPECT_EQ(s.jumperImage, DipImage::Empty);
    for (int image : s.placeImages) EXPECT_EQ(image, DipImage::Empty);
    // No device: the last address of size 0.
    EXPECT_EQ(s.edBuffer, " 0xFFFFFFFF");
    EXPECT_EQ(s.socketPicture, "");
}

TEST_F(Display, DipPatternTable) {
    EXPECT_EQ(DipPatternText(1), " |4|1|1|0|1|0|1|0|0|1|0|0|0|");
    EXPECT_EQ(DipPatternText(1)->size(), 28u);
    EXPECT_EQ(DipPatternDigits(2), DipPatternDigits(1));
    EXPECT_EQ(DipPatternDigits(14), DipPatternDigits(10));
    EXPECT_EQ(DipPatternDigits(20), DipPatternDigits(10));
    EXPECT_EQ(DipPatternDigits(31), DipPatternDigits(13));
    EXPECT_EQ(DipPatternDigits(25), DipPatternDigits(18));
    EXPECT_EQ(DipPatternDigits(29), DipPatternDigits(28));
    EXPECT_EQ(DipPatternDigits(19), "5001011000110");
    EXPECT_EQ(DipPatternDigits(21), "3001010110101");
    EXPECT_EQ(DipPatternDigits(33), "4001010110101");
    int defined = 0;
    for (int n = -1; n <= 40; ++n) defined += DipPatternDigits(n).has_value();
    EXPECT_EQ(defined, 30);
    for (int n : {15, 17, 22, 23, 34, -1}) EXPECT_FALSE(DipPatternDigits(n)) << n;
}

TEST_F(Display, TimingTextsAndTrackBars) {
    EXPECT_EQ(TimingText(25000), " 25.0 mS");
    EXPECT_EQ(TimingText(140), " 140.0 uS");
    EXPECT_EQ(TimingText(999), " 999.0 uS");
    EXPECT_EQ(TimingText(1000), " 1.0 mS");
    select("2716  (PCB3)");
    DisplayState s = state();
    EXPECT_EQ(s.edTWP, " 29.8 mS");
    EXPECT_EQ(s.edTWC, " 50.0 uS");
    EXPECT_EQ(s.tbTWP.maximum, 60000);
    EXPECT_EQ(s.tbTWP.position, 29830);
    EXPECT_EQ(s.tbTWC.maximum, 750);
    EXPECT_EQ(s.tbTWC.frequency, 37);
    ctx.profile.tWP = 4000;
    ctx.profile.tWC = 4000;
    s = state();
    EXPECT_EQ(s.tbTWP.maximum, 60000);
    EXPECT_EQ(s.tbTWC.maximum, 50000);
    EXPECT_EQ(s.tbTWC.frequency, 2500);
    ctx.profile.tWP = 3000;  // 15 x 3000 = 45000 stays
    EXPECT_EQ(state().tbTWP.maximum, 45000);
    tbTWCChange(ctx, 1, 77);
    tbTWCChange(ctx, 2, 88);
    EXPECT_EQ(ctx.profile.tWC, 77);
    EXPECT_EQ(ctx.profile.tWP, 88);
}

TEST_F(Display, CommandsAndOptionGroupsPerFamily) {
    select("27C256");
    DisplayState s = state();
    EXPECT_FALSE(s.commands.sbErase);
    EXPECT_FALSE(s.commands.mnuGetID);
    EXPECT_TRUE(s.commands.sbProg);
    EXPECT_FALSE(s.commands.sbLockBit);
    EXPECT_EQ(s.optionGroup, "p27CSettings");
    EXPECT_TRUE(s.cbSkip_0xFF.enabled);
    EXPECT_FALSE(s.cbFastPro.enabled);

    select("29F040");
    s = state();
    EXPECT_TRUE(s.commands.sbErase);
    EXPECT_TRUE(s.commands.sbGetID);
    EXPECT_EQ(s.optionGroup, "");
    EXPECT_TRUE(s.cbSkip_0xFF.enabled);
    EXPECT_TRUE(s.cbSkip_0xFF.checked);
    EXPECT_TRUE(s.cbFastPro.enabled);
    EXPECT_TRUE(s.cb5555.visible);
    EXPECT_TRUE(s.cb5555.checked);

    select("AT49F002");
    s = state();
    EXPECT_EQ(s.optionGroup, "p49F00xsetting");
    EXPECT_EQ(s.p49F00xCaption, " 49F00x   [ pin #RESET/Vpp (12V) ]");
    EXPECT_TRUE(s.cbProtect.enabled);
    EXPECT_FALSE(s.cbProtect.checked);
    ctx.profile.AT49F00x = 1;  // the user checks the box
    EXPECT_TRUE(state().cbProtect.checked);
    select("AT49F002");
    EXPECT_EQ(ctx.profile.AT49F00x, 0);
    EXPECT_FALSE(state().cbProtect.checked);

    select("Am29F800");
    s = state();
    EXPECT_EQ(s.p49F00xCaption, " 29Fx00 [ pin #RESET/Vpp (12V) ]");
    EXPECT_EQ(s.socketPicture, "imgTSOP48");

    select("AT28C010  (128)");
    s = state();
    EXPECT_EQ(s.optionGroup, "p29CxxxSetting");
    EXPECT_EQ(s.cbSsizeItem, 1);
    EXPECT_FALSE(s.commands.sbGetID);
    EXPECT_TRUE(s.commands.sbErase);

    select("AT29C040      (512)");
    s = state();
    EXPECT_EQ(s.cbSsizeItem, 3);
    EXPECT_TRUE(s.commands.sbGetID);
    EXPECT_FALSE(s.offsetEnabled);
    EXPECT_TRUE(s.offsetVisible);
    EXPECT_EQ(s.ssizeWarning, "");
    ctx.profile.Ssize = 256;  // cbSsize overrides the part's sector size
    s = state();
    EXPECT_EQ(s.cbSsizeItem, 2);
    EXPECT_EQ(s.ssizeWarning, "Not the part's 512 bytes: data will be lost");

    select("MX29F040");
    EXPECT_EQ(state().optionGroup, "pMXICF29040");
    select("28F010");
    EXPECT_EQ(state().optionGroup, "pF28Settings");
    select("W27x512  (Vpe 14V)");
    s = state();
    EXPECT_EQ(s.optionGroup, "p27CSettings");
    EXPECT_TRUE(s.commands.sbErase);
    EXPECT_FALSE(s.commands.sbGetID);

    // Families of the microcontroller and serial parts.
    ctx.profile.eep = 10;
    s = state();
    EXPECT_FALSE(s.offsetVisible);
    EXPECT_TRUE(s.commands.sbLockBit);
    EXPECT_TRUE(s.commands.sbRdLB);
    ctx.profile.eep = 29;
    s = state();
    EXPECT_FALSE(s.commands.sbProg);
    EXPECT_FALSE(s.commands.mnuErase);
    ctx.profile.eep = 6;
    s = state();
    EXPECT_FALSE(s.commands.sbErase);
    EXPECT_TRUE(s.commands.mnuErase);
}

TEST_F(Display, SocketPictures) {
    EXPECT_EQ(SocketPicture(28, true), "imgZIF28");
    EXPECT_EQ(SocketPicture(32, false), "imgZIF32");
    EXPECT_EQ(SocketPicture(93, true), "img93C46");
    EXPECT_EQ(SocketPicture(93, false), "imgW93C46");
    EXPECT_EQ(SocketPicture(240, false), "imgW24C16");
    EXPECT_EQ(SocketPicture(29256, true), "img29C256");
    EXPECT_EQ(SocketPicture(7, true), "");
    select("27C4096, 27C240");
    const DisplayState s = state();
    EXPECT_EQ(s.socketPicture, "pAdapter");
    EXPECT_EQ(s.adapterText, "EPROM 16bit (DIP40)");
}

TEST_F(Display, WinstatPutsBackAShortenedSize) {
    select("27C512");
    ctx.profile.bufferSize = 100;  // as after an offset run
    EXPECT_EQ(state().edBuffer, " 0xFFFF");
    Winstat(ctx);
    EXPECT_EQ(ctx.profile.bufferSize, 65536);
}

TEST_F(Display, ChecksumAndConfigsPage) {
    select("27C256");
    ClearBuf(ctx, 1);
    DisplayState s = state();
    EXPECT_EQ(s.edChecksum, "0x8000");
    EXPECT_EQ(s.configs.front(), (std::pair<std::string, std::string>{"tWC", "20"}));
    bool sawOffset = false;
    for (const auto& [label, text] : s.configs)
        if (label == "Offset") {
            sawOffset = true;
            EXPECT_EQ(text, " 0x000000");
        }
    EXPECT_TRUE(sawOffset);
}

TEST_F(Display, PicReadOuts) {
    ctx.profile.PIC = 1;
    ctx.profile.picIdBase = 0x2000;
    ctx.profile.picIdCount = 4;
    ctx.profile.picCfgIndex = 0x2007;
    SetBufferWord(ctx, 0x2007, 0x3FF1);  // the refresh takes picConfig from the buffer
    const uint8_t nibbles[] = {0x1, 0xA, 0x3, 0xC};
    for (int i = 0; i < 4; ++i) {
        ctx.Buffer[2 * (0x2000 + i)] = 0xF0 | nibbles[i];
        ctx.Buffer[2 * (0x2000 + i) + 1] = 0x3F;
    }
    Winstat(ctx);
    EXPECT_EQ(ctx.profile.picID, 0x1A3C);
    const DisplayState s = state();
    EXPECT_TRUE(s.picShown);
    EXPECT_EQ(s.edPIC_ID, "1A3C");
    EXPECT_EQ(s.edPIC_cfg, " 0x3FF1");
    EXPECT_EQ(s.edPIC_IDMaxLength, 4);
}

TEST_F(Display, TextArtMirrorsWithTheBoard) {
    ctx.profile.tavrin = 1;
    select("27C64");
    const std::string pcb3 = RenderDipSwitchesText(state());
    EXPECT_NE(pcb3.find("PCB3"), std::string::npos);
    EXPECT_NE(pcb3.find("Jumper A18/Vpp: position 4"), std::string::npos);
    EXPECT_NE(pcb3.find("Switches on: 1 2 4 6 9\n"), std::string::npos);
    EXPECT_NE(pcb3.find("  ON  [#][#][ ][#][ ][#][ ][ ][#][ ][ ][ ]\n"), std::string::npos);
    EXPECT_NE(pcb3.find("       1  2  3  4  5  6  7  8  9 10 11 12\n"), std::string::npos);
    sbTavrin_Click(ctx);
    const std::string tavrin = RenderDipSwitchesText(state());
    EXPECT_NE(tavrin.find("Tavrin"), std::string::npos);
    EXPECT_NE(tavrin.find("  ON  [ ][ ][ ][#][ ][ ][#][ ][#][ ][#][#]\n"), std::string::npos);
    EXPECT_NE(tavrin.find("      12 11 10  9  8  7  6  5  4  3  2  1\n"), std::string::npos);
    // The ON row is the lower one on the older board.
    EXPECT_LT(tavrin.find("[#][#][#][ ]"), tavrin.find("  ON  "));
}

}  // namespace
}  // namespace tavrin
