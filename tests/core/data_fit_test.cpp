// Data that does not fit the device: asked once, refused without touching the chip, clipped
// when accepted; an offset past the end refused.
#include <gtest/gtest.h>

#include "algorithms/EpromSelection.h"
#include "core/Commands.h"
#include "core/DataFit.h"

namespace tavrin::test {
namespace {

TEST(DataFit, AFileLargerThanTheDeviceIsAskedAboutAndRefusedWithTheChipUntouched) {
    EpromRig rig("27C256");
    rig.load(RandomImage(65536, 1));
    RunCommand(rig.ctx, Command::Program);  // no scripted answer: No
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_NE(rig.ui.questions[0].find("32768 bytes"), std::string::npos) << rig.ui.questions[0];
    EXPECT_NE(rig.ui.questions[0].find("Program only the part that fits"), std::string::npos);
    EXPECT_EQ(rig.ui.lastText(), "Nothing to program: the data does not fit the device");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.chip->log().pulses, 0u);
    EXPECT_FALSE(rig.ui.saw("Device Programed OK"));
    EXPECT_TRUE(rig.socketOff());
}

TEST(DataFit, AcceptedTruncationProgramsThePartThatFitsAndAsksOnce) {
    EpromRig rig("27C64");
    const auto image = RandomImage(8192 + 100, 2);
    rig.load(image);
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.questions.size(), 1u) << "the quiet verify does not ask again";
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
    for (uint32_t a = 0; a < 8192; ++a) ASSERT_EQ(rig.chip->cells()[a], image[a]) << a;
    EXPECT_EQ(rig.ctx.profile.bufferLoaded, 8192u + 100) << "the loaded extent is kept";

    rig.ui.questions.clear();
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Verify);
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_NE(rig.ui.questions[0].find("Verify only"), std::string::npos);
    EXPECT_EQ(rig.ui.lastText(), "Device Verify OK");
}

TEST(DataFit, AnOffsetRunWhoseTailFallsPastTheEndIsAsked) {
    EpromRig rig("27C64");
    rig.load(RandomImage(0x200, 3));
    rig.ctx.profile.Offset = 0x1F00;
    RunCommand(rig.ctx, Command::Program);
    ASSERT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_NE(rig.ui.questions[0].find("256 bytes"), std::string::npos) << rig.ui.questions[0];
    EXPECT_NE(rig.ui.questions[0].find("from offset 0x001F00"), std::string::npos);
    EXPECT_EQ(rig.chip->log().pulses, 0u);
}

TEST(DataFit, AnOffsetAtOrPastTheEndIsRefusedForEveryCommand) {
    EpromRig rig("27C64");
    rig.load({0x00, 0x00});
    rig.ctx.profile.Offset = 0x2000;
    for (Command c : {Command::Program, Command::Verify, Command::Read, Command::Blank}) {
        rig.ui.messages.clear();
        RunCommand(rig.ctx, c);
        EXPECT_EQ(rig.ui.lastText(),
                  "Offset 0x002000 is past the end of the device (0x002000 bytes)");
    }
    EXPECT_TRUE(rig.ui.questions.empty()) << "nothing to ask";
    EXPECT_EQ(rig.chip->log().pulses, 0u);
    EXPECT_TRUE(rig.socketOff());
}

TEST(DataFit, DataThatFitsRunsWithoutAQuestion) {
    EpromRig rig("27C64");
    rig.load(RandomImage(8192, 4));
    RunCommand(rig.ctx, Command::Program);
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_EQ(rig.ui.lastText(), "Device Programed OK");
}

// Blank check runs the hardware check once a device is selected: an absent board is reported
// as such, not as a chip that is not empty.
TEST(CommandFrame, BlankCheckOfAnAbsentBoardShowsTheHardwareError) {
    EpromRig rig("27C64");
    rig.board.setPresent(false);
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    EXPECT_FALSE(rig.ui.saw("Device is NOT Empty ($000000)"));
}

}  // namespace
}  // namespace tavrin::test
