// The serial power-down: Vpp first, the bus lines low, then Vcc after 10 ms.
#include "algorithms/serial/SerialPowerDown.h"

#include <gtest/gtest.h>

#include "sim/Trace.h"
#include "support/SimRig.h"

namespace tavrin {
namespace {

TEST(SerialPowerDown, RemovesVppDropsTheLinesAndSwitchesVccOffTenMillisecondsLater) {
    test::SimRig rig;
    Bus& bus = rig.ctx.bus;
    bus.SetLine(Line::ShiftClock, 1);
    bus.SetLine(Line::ShiftData, 1);
    bus.WriteData();
    bus.Drive(Line::DataOutLine, 1);
    bus.Drive(Line::VppLine, 0);
    bus.Drive(Line::VccLine, 1);
    ASSERT_TRUE(rig.board.vccOn());
    ASSERT_TRUE(rig.board.vppOn());

    rig.board.trace().enable(true);
    SerialPowerDown(rig.ctx);
    EXPECT_FALSE(rig.board.socketPowered());
    EXPECT_EQ(rig.board.dataRegister() & 0x03, 0);
    EXPECT_TRUE(rig.board.controlRegister() & Bits::DataOut);  // mode left as it was

    int64_t vppOff = -1, vccOff = -1;
    for (const sim::Trace::Change& c : rig.board.trace().changes()) {
        if (c.signal == sim::Signal::Vpp && !c.value) vppOff = c.ticks;
        if (c.signal == sim::Signal::Vcc && !c.value) vccOff = c.ticks;
    }
    ASSERT_GE(vppOff, 0);
    ASSERT_GT(vccOff, vppOff);
    EXPECT_GE(double(vccOff - vppOff) / kTicksPerNs, 10.0e6);
}

}  // namespace
}  // namespace tavrin
