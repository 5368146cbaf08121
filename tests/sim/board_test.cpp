// The simulated board itself: trace export, chip persistence, the read-back path.
#include <gtest/gtest.h>

#include <sstream>

#include "sim/SimMemoryChip.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

TEST(Trace, VcdHoldsTheDeclaredSignalsAndTimedChanges) {
    test::SimRig rig;
    rig.selectRawDevice(8192);
    rig.board.trace().enable(true);
    rig.ctx.bus.PowerUp();
    rig.ctx.bus.SetAddress(0x1555);
    rig.ctx.bus.PowerDown();
    std::ostringstream vcd;
    rig.board.trace().writeVcd(vcd);
    const std::string text = vcd.str();
    EXPECT_NE(text.find("$var wire 24 ! address $end"), std::string::npos);
    EXPECT_NE(text.find("$var wire 1 $ vcc $end"), std::string::npos);
    EXPECT_NE(text.find("b000000000001010101010101 !"), std::string::npos);  // 0x1555
    const auto vcc = rig.board.trace().history(sim::Signal::Vcc);
    ASSERT_GE(vcc.size(), 3u);
    EXPECT_EQ(vcc.back(), 0u);
    // Vcc came on after the power-up waits: 1000 + 3 x 30000 units after the shadows were set.
    int64_t on = -1, off = -1;
    for (const auto& c : rig.board.trace().changes())
        if (c.signal == sim::Signal::Vcc) (c.value ? on : off) = c.ticks;
    EXPECT_GT(off - on, 90000 * kTicksPerDelayUnit);
}

TEST(MemoryChip, StateSurvivesSaveAndLoad) {
    sim::SimMemoryChip a(1024, true, 0), b(1024, true, 0xFF);
    for (int i = 0; i < 1024; ++i) a.memory()[i] = uint8_t(i * 3);
    std::stringstream state;
    a.saveState(state);
    ASSERT_TRUE(b.loadState(state));
    EXPECT_EQ(a.memory(), b.memory());
    std::stringstream truncated("abc");
    EXPECT_FALSE(b.loadState(truncated));
}

TEST(Board, DataWrittenInDataOutModeNeverShiftsTheAddress) {
    test::SimRig rig;
    rig.selectRawDevice(8192);
    rig.ctx.bus.PowerUp();
    rig.ctx.bus.SetAddress(0x0AAA);
    const uint32_t before = rig.board.addressRegister();
    for (uint8_t v : {0x55, 0xAA, 0x55, 0xAA}) rig.ctx.bus.PutData(v, 0);
    EXPECT_EQ(rig.board.addressRegister(), before);
    rig.ctx.bus.PowerDown();
}

TEST(Board, ReadBackShowsTheLatchedByteNotTheLaterPins) {
    test::SimRig rig;
    rig.selectRawDevice(8192);
    auto& ram = rig.insert(std::make_unique<sim::SimMemoryChip>(8192, true, 0));
    ram.memory()[5] = 0xC3;
    rig.ctx.bus.PowerUp();
    rig.ctx.bus.SetAddress(5);
    EXPECT_EQ(rig.ctx.bus.ReadDataByte(), 0xC3);
    EXPECT_EQ(rig.board.socketData(), 0xC3);
    rig.ctx.bus.PowerDown();
    EXPECT_EQ(rig.board.socketData(), 0xFF);  // unpowered chip: pull-ups
}

}  // namespace
}  // namespace tavrin
