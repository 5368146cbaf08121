#include "algorithms/serial/MicrowireBus.h"

namespace tavrin {

namespace {

// D0 drives DI through an inverter: the register bit is the complement of the line.
void di(Bus& bus, int level) {
    bus.SetLine(Line::ShiftClock, level ? 0 : 1);
}
void sk(Bus& bus, int level) {
    bus.SetLine(Line::ShiftData, level);
}

}  // namespace

void Mw93SendBit(Bus& bus, int bit) {
    di(bus, bit);
    bus.WriteData();
    bus.Delay(2);
    sk(bus, 1);
    bus.WriteData();
    bus.Delay(2);
    di(bus, 0);
    bus.WriteData();
    bus.Delay(2);
    sk(bus, 0);
    bus.WriteData();
}

int Mw93ReadBit(Bus& bus) {
    bus.Delay(2);
    sk(bus, 1);
    bus.WriteData();
    bus.Delay(2);
    const uint8_t status = bus.ReadStatus();
    bus.Delay(2);
    sk(bus, 0);
    bus.WriteData();
    return (status & Bits::BusyIn) == 0 ? 1 : 0;
}

void Mw93SendCommand(Bus& bus, const Cmd93C& cmd, uint32_t value) {
    for (int k = cmd.commandBits - 1; k >= 0; --k) Mw93SendBit(bus, (value >> k) & 1);
}

void Mw93SendByte(Bus& bus, uint8_t b) {
    for (int k = 7; k >= 0; --k) Mw93SendBit(bus, (b >> k) & 1);
}

uint8_t Mw93ReadByte(Bus& bus) {
    sk(bus, 0);
    bus.WriteData();
    uint8_t b = 0;
    for (int k = 7; k >= 0; --k) b = uint8_t(b | (Mw93ReadBit(bus) << k));
    sk(bus, 0);
    bus.WriteData();
    return b;
}

void Mw93PowerUp(Bus& bus) {
    di(bus, 0);
    sk(bus, 0);
    bus.WriteData();
    Mw93Deselect(bus);
    bus.Drive(Line::VccLine, 1);
}

void Mw93Select(Bus& bus) {
    bus.Drive(Line::StrobeLine, 0);
}
void Mw93Deselect(Bus& bus) {
    bus.Drive(Line::StrobeLine, 1);
}

bool Mw93DataOutHigh(Bus& bus) {
    return (bus.ReadStatus() & Bits::BusyIn) == 0;
}

}  // namespace tavrin
