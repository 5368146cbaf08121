#pragma once
// A 24Cxxx two-wire serial EEPROM in the simulated socket, driven bit by bit.
//
// Wiring: SCL is D1 and the host's SDA is D0 of the data register (1 = released); SDA is open
// drain, so the line is low when either side pulls it, and pin 11 shows the line. WP (pin 7) is
// high while the strobe line is released. A2..A0 are strapped low.
//
// Bus behaviour by the data sheets: START (SDA falling while SCL is high) and STOP (SDA rising
// while SCL is high) are seen in every state; bits are taken on the rising SCL edge and the part
// changes SDA only while SCL is low. The device address selects by 1010, the straps and, on the
// 24C04/08/16, the block bits (the word address's bits 10..8); the 24C01 without device code takes
// A6..A0 and R/W in its first byte. Written bytes go into the page buffer at the low address bits,
// which wrap inside the page; the STOP after at least one data byte starts the write cycle, during
// which the part acknowledges nothing (acknowledge polling). A word address followed by STOP or a
// new START is a dummy write: it sets the address counter and writes nothing. Reads go on across
// the whole array while the host acknowledges and roll over from the last byte to 0.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/serial/SerialMemory.h"

namespace tavrin::sim {

struct Eeprom24CType {
    std::string name;
    uint32_t size = 0;     // bytes
    uint32_t page = 8;     // page buffer, bytes
    int addressBytes = 1;  // word-address bytes after the device address: 0, 1 or 2
    int blockBits = 0;     // device-address bits taken by the word address (24C04: 1 ... 24C16: 3)
    double writeCycleUs = 5000;  // tWR; the data-sheet maximum is 10 ms
};

// The parts of the catalogue by name ("24C01", "24C01A", "24C02" ... "24C512").
Eeprom24CType Eeprom24CByName(const std::string& name);

class SimEeprom24C : public SerialMemory {
  public:
    // What a part does with writes while WP is high: ST-type parts refuse the data bytes (no
    // acknowledge), others acknowledge them and start no write cycle.
    enum class WriteProtect { NackData, AckNoWrite };

    explicit SimEeprom24C(Eeprom24CType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    bool busyPin(const SocketPins& pins, int64_t now, bool loopback) override;

    // Faults besides those of the cells.
    void setWriteCycleUs(double us) { type_.writeCycleUs = us; }
    void setWriteProtectBehaviour(WriteProtect w) { wp_ = w; }
    void setDeaf(bool deaf) { deaf_ = deaf; }                // never acknowledges anything
    void setBusyForever(bool busy) { busyForever_ = busy; }  // the write cycle never ends

    const Eeprom24CType& type() const { return type_; }
    bool busy(int64_t now);

    struct Log {
        uint64_t writeCycles = 0;      // write cycles started
        uint64_t bytesWritten = 0;     // bytes stored by finished cycles
        uint64_t nackedWhileBusy = 0;  // device addresses left unanswered during a write cycle
        uint64_t refusedByWp = 0;      // data bytes refused while WP was high
        uint64_t rolledOver = 0;       // data bytes that overwrote an earlier one of the same page
        uint64_t lostToPowerOff = 0;   // write cycles cut short by Vcc going off
        uint64_t dummyWrites = 0;      // word addresses set without data
    };
    const Log& log() const { return log_; }

  private:
    enum class Phase { Idle, Receive, AckOut, Transmit, AckIn, Ignore };
    enum class Target { DeviceAddress, AddressHigh, AddressLow, Data };

    void reset();
    void finishCycle(int64_t now);
    bool takeByte(uint8_t b, int64_t now);  // true = acknowledge
    void startTransmit();
    void onStart();
    void onStop(int64_t now);
    void onClockRise(bool sda);
    void onClockFall(int64_t now);
    bool pullingLow() const { return driving_ && !driveLevel_; }
    void drive(bool level) { driving_ = true, driveLevel_ = level; }
    void release() { driving_ = false; }

    Eeprom24CType type_;
    bool deaf_ = false, busyForever_ = false;
    WriteProtect wp_ = WriteProtect::NackData;

    bool powered_ = false, scl_ = true, sda_ = true, wpHigh_ = false;
    Phase phase_ = Phase::Idle;
    Target target_ = Target::DeviceAddress;
    int bits_ = 0;
    uint8_t shift_ = 0;
    bool masterAcked_ = false;
    bool driving_ = false, driveLevel_ = true;
    uint8_t outByte_ = 0;
    uint32_t counter_ = 0;  // address counter
    uint32_t block_ = 0;    // address bits from the device address
    uint8_t high_ = 0;      // first word-address byte of the two-byte parts
    bool reading_ = false;

    std::map<uint32_t, uint8_t> pageBuffer_;  // the write in progress: address -> byte
    uint32_t pageCursor_ = 0;
    int64_t busyUntil_ = -1;  // end of the write cycle, ticks; -1 none
    std::map<uint32_t, uint8_t> cycleData_;
    Log log_;
};

// The model for a 24Cxxx entry of the catalogue (eep 1 and 2), by its Tag; nullptr for another.
std::unique_ptr<SimChip> MakeSimEeprom24C(int32_t eep, int32_t deviceId);

}  // namespace tavrin::sim
