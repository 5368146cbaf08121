#include "algorithms/parallel/JedecCommand.h"

namespace tavrin::jedec {

void WriteCommand16(Context& ctx, const Command3& bytes) {
    Bus& bus = ctx.bus;
    const CommandAddresses& table = CommandSet16(ctx.profile);
    for (int k = 0; k < 3; ++k) {
        bus.Drive(Line::DataOutLine, 0);
        bus.SetAddress(table[k]);
        bus.Drive(Line::DataOutLine, 1);
        bus.PortOut(bus.DataPort, bytes[k]);
        bus.Drive(Line::StrobeLine, 1);
        bus.Delay(2);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(4);
    }
}

void WriteCommand16Fast(Context& ctx, const Command3& bytes) {
    Bus& bus = ctx.bus;
    bus.Drive(Line::DataOutLine, 0);
    bus.SetAddress(CommandSet16(ctx.profile)[0]);
    constexpr int kNextBit[3] = {1, 0, 0};
    for (int k = 0; k < 3; ++k) {
        bus.Drive(Line::DataOutLine, 1);
        bus.PortOut(bus.DataPort, bytes[k]);
        bus.Drive(Line::StrobeLine, 1);
        bus.Delay(2);
        bus.Drive(Line::StrobeLine, 0);
        bus.Delay(4);
        bus.PortOut(bus.DataPort, 0);
        bus.Drive(Line::DataOutLine, 0);
        bus.Drive(Line::ShiftData, kNextBit[k]);
        bus.Drive(Line::ShiftClock, 1);
        bus.Drive(Line::ShiftClock, 0);
    }
}

}  // namespace tavrin::jedec
