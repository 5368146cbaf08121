#include "algorithms/serial/I2cBus.h"

namespace tavrin {

namespace {

// SDA is the address clock bit and SCL the address data bit of the data register.
void sda(Bus& bus, int level) {
    bus.SetLine(Line::ShiftClock, level);
}
void scl(Bus& bus, int level) {
    bus.SetLine(Line::ShiftData, level);
}

}  // namespace

void I2cStart(Bus& bus) {
    sda(bus, 0);
    bus.WriteData();
    bus.Delay(5);
    scl(bus, 0);
    bus.WriteData();
    bus.Delay(5);
}

void I2cStop(Bus& bus) {
    scl(bus, 1);
    bus.WriteData();
    bus.Delay(5);
    sda(bus, 1);
    bus.WriteData();
    bus.Delay(5);
}

void I2cSendBit(Bus& bus, int bit) {
    sda(bus, bit);
    bus.WriteData();
    bus.Delay(2);
    scl(bus, 1);
    bus.WriteData();
    bus.Delay(2);
    scl(bus, 0);
    bus.WriteData();
    bus.Delay(2);
    sda(bus, 0);
    bus.WriteData();
}

int I2cReadBit(Bus& bus) {
    sda(bus, 1);
    scl(bus, 0);
    bus.WriteData();
    bus.Delay(2);
    scl(bus, 1);
    bus.WriteData();
    bus.Delay(2);
    const uint8_t status = bus.ReadStatus();
    bus.Delay(2);
    scl(bus, 0);
    bus.WriteData();
    return (status & Bits::BusyIn) == 0 ? 1 : 0;
}

void I2cSendByte(Bus& bus, uint8_t b) {
    for (int k = 7; k >= 0; --k) I2cSendBit(bus, (b >> k) & 1);
}

uint8_t I2cReceiveByte(Bus& bus) {
    uint8_t b = 0;
    for (int k = 7; k >= 0; --k) b = uint8_t(b | (I2cReadBit(bus) << k));
    return b;
}

bool I2cSendByteAck(Bus& bus, uint8_t b) {
    I2cSendByte(bus, b);
    return I2cReadBit(bus) == 0;
}

bool I2cWriteCommand(Bus& bus) {
    I2cStart(bus);
    return I2cSendByteAck(bus, 0xA0);
}

bool I2cReadCommand(Bus& bus) {
    I2cStart(bus);
    return I2cSendByteAck(bus, 0xA1);
}

void I2cLateNack(Bus& bus) {
    scl(bus, 1);
    bus.WriteData();
    bus.Delay(1);
    sda(bus, 1);
    bus.WriteData();
    bus.Delay(1);
    sda(bus, 0);
    bus.WriteData();
    bus.Delay(1);
    scl(bus, 0);
    bus.WriteData();
}

void I2cReleaseStop(Bus& bus) {
    sda(bus, 0);
    bus.WriteData();
    I2cStop(bus);
}

void I2cRestart(Bus& bus) {
    I2cStart(bus);
    I2cStop(bus);
}

}  // namespace tavrin
