#pragma once
// The two-wire bus of the 24Cxxx EEPROMs, clocked bit by bit on the data register: SDA on D0
// (1 = released, the line is open drain), SCL on D1, SDA read back on status bit 7 (inverted).
// Bytes go most significant bit first. Each primitive writes the port at once; the waits are in
// delay units (0.8381 us).

#include <cstdint>

#include "hardware/Bus.h"

namespace tavrin {

// SDA falls, then SCL: a START when both lines were high.
void I2cStart(Bus& bus);
// SCL rises, then SDA: a STOP when SDA was low.
void I2cStop(Bus& bus);
// Ends with SCL low and SDA pulled low.
void I2cSendBit(Bus& bus, int bit);
// Releases SDA and clocks one bit in: 1 when the line is high.
int I2cReadBit(Bus& bus);
void I2cSendByte(Bus& bus, uint8_t b);
uint8_t I2cReceiveByte(Bus& bus);
// Sends a byte and clocks the ninth bit: true when the slave acknowledged (pulled SDA low).
bool I2cSendByteAck(Bus& bus, uint8_t b);
// START and the device address of a write (0xA0) or a read (0xA1).
bool I2cWriteCommand(Bus& bus);
bool I2cReadCommand(Bus& bus);
// A no-acknowledge clock with SDA high, then SDA pulled low while SCL is high.
void I2cLateNack(Bus& bus);
// SDA low, then a STOP: after a data byte this starts the EEPROM's write cycle.
void I2cReleaseStop(Bus& bus);
// After an acknowledged byte (SCL low): a STOP, so that the next I2cStart is a fresh START.
void I2cRestart(Bus& bus);

}  // namespace tavrin
