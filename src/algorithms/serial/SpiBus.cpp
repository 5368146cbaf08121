#include "algorithms/serial/SpiBus.h"

namespace tavrin {

namespace {

// D0 drives SI through an inverter: the register bit is the complement of the line.
void si(Bus& bus, int level) {
    bus.SetLine(Line::ShiftClock, level ? 0 : 1);
}
void sck(Bus& bus, int level) {
    bus.SetLine(Line::ShiftData, level);
}

// `bits` low bits of `frame`, most significant first.
void sendFrame(Bus& bus, uint32_t frame, int bits) {
    sck(bus, 0);
    bus.WriteData();
    for (int k = bits - 1; k >= 0; --k) SpiSendBit(bus, (frame >> k) & 1);
}

}  // namespace

void SpiSendBit(Bus& bus, int bit) {
    si(bus, bit);
    bus.WriteData();
    bus.Delay(3);
    sck(bus, 1);
    bus.WriteData();
    bus.Delay(3);
    sck(bus, 0);
    bus.WriteData();
    bus.Delay(2);
}

int SpiReadBit(Bus& bus) {
    bus.Delay(3);
    sck(bus, 1);
    bus.WriteData();
    bus.Delay(3);
    const uint8_t status = bus.ReadStatus();
    bus.Delay(3);
    sck(bus, 0);
    bus.WriteData();
    return (status & Bits::BusyIn) == 0 ? 1 : 0;
}

void SpiSendByte(Bus& bus, uint8_t b) {
    sendFrame(bus, b, 8);
}

uint8_t SpiReadByte(Bus& bus) {
    uint8_t b = 0;
    for (int k = 7; k >= 0; --k) b = uint8_t(b | (SpiReadBit(bus) << k));
    return b;
}

uint8_t SpiReadAt(Bus& bus, const Cmd25C& cmd, int32_t size, uint32_t a) {
    const uint32_t op = cmd.readFrame >> 16;  // 0x03
    if (size <= 512)
        sendFrame(bus, (op | ((a & 0x100) >> 5)) << 8 | (a & 0xFF), 16);
    else if (size <= 65536)
        sendFrame(bus, cmd.readFrame | a, 24);
    else
        sendFrame(bus, cmd.readFrame << 8 | a, 32);
    return SpiReadByte(bus);
}

void SpiWriteByteAt(Bus& bus, const Cmd25C& cmd, uint32_t a, uint8_t d) {
    const uint32_t op = cmd.writeFrame >> 24;  // 0x02
    sendFrame(bus, (op | ((a & 0x100) >> 5)) << 16 | (a & 0xFF) << 8 | d, 24);
}

void SpiSelect(Bus& bus, int32_t wait) {
    bus.Drive(Line::StrobeLine, 1);
    if (wait != 0) bus.Delay(wait);
}

void SpiDeselect(Bus& bus) {
    bus.Drive(Line::StrobeLine, 0);
}

}  // namespace tavrin
