// The DIP-switch check before power: which switches differ, the question, and the command that
// does not power the socket without a Yes.
#include "devices/DipCheck.h"

#include <gtest/gtest.h>

#include "core/Commands.h"
#include "devices/Catalogue.h"
#include "devices/DipPatterns.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

struct DipRig : test::SimRig {
    void select(const char* caption) {
        const DeviceEntry* e = FindDevice(caption);
        ASSERT_NE(e, nullptr) << caption;
        SelectDevice(ctx, *e);
    }
};

TEST(DipCheck, ListsExactlyTheSwitchesThatDiffer) {
    // 27C64 (pattern 1) and 27C256 (pattern 3): switches 4, 5 and 8 change, the jumper stays.
    const std::vector<DipChange> c = DipChanges(*DipPatternDigits(1), *DipPatternDigits(3));
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].place, 4);
    EXPECT_EQ(c[1].place, 5);
    EXPECT_EQ(c[2].place, 8);
    EXPECT_EQ(DipChangesText(c),
              "switch 4 OFF (was ON), switch 5 ON (was OFF), switch 8 ON (was OFF)");
    // Pattern 19 moves the jumper from 4 to 5.
    EXPECT_EQ(DipChangesText(DipChanges(*DipPatternDigits(7), *DipPatternDigits(19))),
              "jumper A18/Vpp 5 (was 4)");
    EXPECT_TRUE(DipChanges(*DipPatternDigits(10), *DipPatternDigits(20)).empty());  // one setting
    // Nothing confirmed yet: every place is listed, without a "was".
    const std::vector<DipChange> all = DipChanges("", *DipPatternDigits(1));
    EXPECT_EQ(all.size(), 13u);
    EXPECT_EQ(DipChangesText(all).substr(0, 35), "jumper A18/Vpp 4, switch 1 ON, swit");
}

TEST(DipCheck, BoardEntriesWarnOnTheOtherBoard) {
    EXPECT_EQ(BoardMismatchWarning("2716  (PCB3)", 0),
              "\"2716  (PCB3)\" is an entry for the PCB3 board, the Tavrin board is selected");
    EXPECT_EQ(BoardMismatchWarning("2716  (PCB3)", 1), "");
    EXPECT_EQ(
        BoardMismatchWarning("AT29C256    tavrin", 1),
        "\"AT29C256    tavrin\" is an entry for the Tavrin board, the PCB3 board is selected");
    EXPECT_EQ(BoardMismatchWarning("AT29C256    tavrin", 0), "");
    EXPECT_EQ(BoardMismatchWarning("27C256", 0), "");
}

TEST(DipCheck, ACommandWaitsForTheConfirmationBeforePower) {
    DipRig rig;
    rig.ctx.profile.dipCheck = 1;
    rig.ctx.profile.dipConfirmed = *DipPatternDigits(1);  // the 27C64 setting is on the board
    rig.select("27C256");
    rig.ui.answers = {false};
    RunCommand(rig.ctx, Command::Read);
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_EQ(rig.ui.questions[0],
              "DIP switches for 27C256: switch 4 OFF (was ON), switch 5 ON (was OFF), switch 8 ON "
              "(was OFF). Are the switches and the jumper set so?");
    EXPECT_EQ(rig.ui.lastText(), "DIP switches not confirmed: the socket was not powered");
    EXPECT_EQ(rig.ui.gauges.size(), 0u) << "nothing ran";
    EXPECT_FALSE(rig.board.vccOn());
    EXPECT_EQ(rig.ctx.profile.dipConfirmed, *DipPatternDigits(1));

    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.questions.size(), 2u);
    EXPECT_EQ(rig.ui.lastText(), "Chip read OK");
    EXPECT_EQ(rig.ctx.profile.dipConfirmed, *DipPatternDigits(3));
    // Confirmed once: the next command does not ask.
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.questions.size(), 2u);
    // Off (the simulated board unless asked): no question at all.
    rig.ctx.profile.dipCheck = 0;
    rig.select("27C64");
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.questions.size(), 2u);
}

TEST(DipCheck, TheBoardWarningIsAskedOncePerEntry) {
    DipRig rig;
    rig.ctx.profile.dipCheck = 1;
    rig.select("2716  (PCB3)");
    rig.ctx.profile.tavrin = 0;
    rig.ctx.profile.dipConfirmed = rig.ctx.controls.dipDigits;
    EXPECT_EQ(
        DipQuestion(rig.ctx),
        "DIP switches for 2716  (PCB3): as confirmed before. \"2716  (PCB3)\" is an entry for "
        "the PCB3 board, the Tavrin board is selected. Are the switches and the jumper set "
        "so?");
    EXPECT_TRUE(ConfirmDipSwitches(rig.ctx) == false);  // no answer scripted: No
    rig.ui.answers = {true};
    EXPECT_TRUE(ConfirmDipSwitches(rig.ctx));
    EXPECT_EQ(DipQuestion(rig.ctx), "");
    rig.ctx.profile.tavrin = 1;  // the right board: nothing to warn about
    EXPECT_EQ(DipQuestion(rig.ctx), "");
}

}  // namespace
}  // namespace tavrin
