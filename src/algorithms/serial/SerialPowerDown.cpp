#include "algorithms/serial/SerialPowerDown.h"

namespace tavrin {

void SerialPowerDown(Context& ctx) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::VppLine, 1);
    bus.SetLine(Line::ShiftClock, 0);  // D0
    bus.SetLine(Line::ShiftData, 0);   // D1
    bus.WriteData();
    bus.Delay(11932);  // 10 ms
    bus.Drive(Line::VccLine, 0);
}

}  // namespace tavrin
