// The per-line test of the board with a static RAM in the socket: every line good, each kind of
// stuck line named, and the precondition.
#include "algorithms/parallel/SocketLineTest.h"

#include <gtest/gtest.h>

#include "algorithms/parallel/PartRig.h"
#include "sim/parallel/SimStaticRam.h"

namespace tavrin {
namespace {

using Rig = test::PartRig<sim::SimStaticRam>;
constexpr const char* k62256 = "62256    32KB";

TEST(SocketLineTest, GoodBoardPassesEveryLineAndEndsUnpowered) {
    Rig rig(k62256);
    const SocketLineResult r = TestSocketLines(rig.ctx);
    EXPECT_TRUE(r.ran);
    EXPECT_TRUE(r.faults.empty());
    EXPECT_EQ(r.addressLines, 15);
    EXPECT_EQ(rig.ui.lastText(), "Socket lines OK");
    EXPECT_TRUE(rig.socketOff());
}

TEST(SocketLineTest, NamesAStuckDataLineWithItsLevel) {
    for (int level : {0, 1}) {
        Rig rig(k62256);
        rig.board.setSocketLineStuck(true, 3, level == 1);
        const SocketLineResult r = TestSocketLines(rig.ctx);
        ASSERT_EQ(r.faults.size(), 1u) << level;
        EXPECT_EQ(r.faults[0], "D3 stuck at " + std::to_string(level));
        EXPECT_EQ(rig.ui.lastText(), "Stuck line: D3 stuck at " + std::to_string(level));
        EXPECT_EQ(rig.ui.last()->kind, MessageKind::Error);
        EXPECT_TRUE(rig.socketOff());
    }
}

TEST(SocketLineTest, NamesAStuckAddressLineOnly) {
    for (int line : {0, 5, 13})  // board stages that reach the RAM's address bit of that number
        for (bool level : {false, true}) {
            Rig rig(k62256);
            rig.board.setSocketLineStuck(false, line, level);
            const SocketLineResult r = TestSocketLines(rig.ctx);
            ASSERT_EQ(r.faults.size(), 1u) << line << level;
            EXPECT_EQ(r.faults[0].rfind("A" + std::to_string(line) + " stuck or open", 0), 0u)
                << r.faults[0];
        }
}

TEST(SocketLineTest, NeedsARamAndABoard) {
    Rig rig(k62256);
    rig.select("27C256");
    EXPECT_FALSE(TestSocketLines(rig.ctx).ran);
    EXPECT_NE(rig.ui.lastText().find("needs a static RAM"), std::string::npos);
    Rig absent(k62256);
    absent.board.setPresent(false);
    EXPECT_FALSE(TestSocketLines(absent.ctx).ran);
    EXPECT_EQ(absent.ui.lastText(), "Hardware Error :  Check Power && connection");
    EXPECT_TRUE(absent.socketOff());
}

}  // namespace
}  // namespace tavrin
