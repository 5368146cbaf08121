// The command frame: preconditions, hardware check, dispatch answers and the refresh that always
// follows.
#include <gtest/gtest.h>

#include "core/Commands.h"
#include "core/Dispatch.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

using test::SimRig;

TEST(Commands, ProgramWithoutDataAsksForDataAndNeverTouchesThePort) {
    SimRig rig;
    rig.selectRawDevice(32768);
    rig.board.resetCounters();
    RunCommand(rig.ctx, Command::Program);
    EXPECT_EQ(rig.ui.lastText(), "Please load some information to program");
    EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
    EXPECT_EQ(rig.board.accesses(), 0u);
    EXPECT_EQ(rig.ui.refreshes, 1);
    EXPECT_TRUE(rig.ui.toolbarEnabled);
}

TEST(Commands, PreconditionMessages) {
    struct Case {
        Command command;
        int32_t size;
        uint32_t loaded;
        const char* text;
    };
    for (const Case& c : {Case{Command::Read, 0, 0, "Please select a Device Type"},
                          Case{Command::Program, 0, 10, "Please select a Device Type"},
                          Case{Command::Verify, 0, 10, "Please select a Device Type"},
                          Case{Command::Verify, 8192, 0, "Please load some information to compare against"},
                          Case{Command::Erase, 0, 0, "Please select a Device Type"}}) {
        SimRig rig;
        rig.selectRawDevice(c.size);
        rig.ctx.profile.bufferLoaded = c.loaded;
        rig.board.resetCounters();
        RunCommand(rig.ctx, c.command);
        EXPECT_EQ(rig.ui.lastText(), c.text);
        EXPECT_EQ(rig.board.accesses(), 0u);
    }
}

TEST(Commands, BlankCheckWithoutADeviceDoesNothing) {
    SimRig rig;
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.board.accesses(), 0u);
    EXPECT_EQ(rig.ui.refreshes, 1);
}

TEST(Commands, GetIdWithoutAnIdRoutineOnlyChecksTheHardware) {
    SimRig rig;
    rig.selectRawDevice(32768, 0);  // UV EPROMs have no ID routine
    RunCommand(rig.ctx, Command::GetId);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.lastText(), "Hardware present ");
    EXPECT_EQ(rig.ui.commandsFinished, 0);  // the ID panel stays; only tool bar and refresh
    EXPECT_FALSE(rig.board.socketPowered());
}

TEST(Commands, FamiliesThatCannotBeCheckedOrErasedSaySo) {
    SimRig rig;
    rig.selectRawDevice(32768, 21);  // SRAM
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    RunCommand(rig.ctx, Command::Erase);
    EXPECT_EQ(rig.ui.lastText(), "Cannot Erase this Device");
    rig.ctx.profile.eep = 40;  // out of range: blank check still answers
    RunCommand(rig.ctx, Command::Blank);
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
}

TEST(Commands, AbsentBoardStopsBeforeDispatch) {
    SimRig rig;
    rig.selectRawDevice(32768, 0);
    rig.board.setPresent(false);
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.lastText(), "Hardware Error :  Check Power && connection");
    EXPECT_EQ(rig.ctx.profile.hwError, 1);
    EXPECT_TRUE(rig.ui.gauges.empty());
}

TEST(Commands, SerialDevicesSkipTheHardwareCheck) {
    SimRig rig;
    rig.selectRawDevice(256, 1);
    rig.ctx.profile.serial = 1;
    rig.board.setPresent(false);
    RunCommand(rig.ctx, Command::Blank);  // 24Cxxx cannot be blank-checked
    EXPECT_EQ(rig.ui.lastText(), "Cannot check this Device");
    EXPECT_FALSE(rig.ui.saw("Hardware Error :  Check Power && connection"));
}

TEST(Commands, EveryCommandOnEveryFamilyLeavesTheSocketUnpowered) {
    for (int eep = 0; eep < kFamilyCodes; ++eep) {
        for (Command c : {Command::Read, Command::Program, Command::Verify, Command::Blank,
                          Command::Erase, Command::GetId}) {
            SimRig rig;
            rig.selectRawDevice(4096, eep);
            rig.ctx.profile.bufferLoaded = 4096;
            RunCommand(rig.ctx, c);
            EXPECT_FALSE(rig.board.socketPowered()) << "eep " << eep << " command " << int(c);
            EXPECT_TRUE(rig.ui.toolbarEnabled);
        }
    }
}

TEST(Commands, NoPortMeansNoHardwareAndNoHang) {
    RecordingFrontEnd ui;
    Context ctx(&ui);  // no port opened: writes dropped, reads 0xFF
    ctx.profile.bufferSize = 4096;
    RunCommand(ctx, Command::Read);
    EXPECT_EQ(ui.lastText(), "Hardware Error :  Check Power && connection");
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

TEST(Commands, TheRefreshAfterACommandRestoresASizeShortenedForAnOffset) {
    test::SimRig rig;
    rig.selectRawDevice(32768, 0);
    rig.ctx.profile.bufferLoaded = 32768;
    rig.ctx.profile.Offset = 0x100;
    rig.ui.answers = {true};
    RunCommand(rig.ctx, Command::Read);
    EXPECT_EQ(rig.ui.questions.size(), 1u);
    EXPECT_EQ(rig.ctx.profile.bufferSize, 32768);
}

}  // namespace
}  // namespace tavrin
