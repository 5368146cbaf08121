#pragma once
// A 93Cxx three-wire (Microwire) serial EEPROM in the simulated socket, driven bit by bit.
//
// Wiring: CS is high while the strobe line is released, SK is D1, DI is the inverse of D0, DO
// reaches pin 11 while the part drives it (otherwise the board's own D0 loop-back shows). The
// organisation is the ORG strap of the part (x16 when high), not something the host can set.
//
// By the data sheets: CS low aborts any instruction and floats DO. With CS high, DI is taken on
// rising SK edges; leading zeros are ignored and the first 1 is the start bit, followed by the
// two-bit opcode and the address (and for WRITE the data word). READ drives a dummy 0 after the
// last address bit and then one data bit per rising edge, most significant first, going on to
// the following words while CS stays high. WRITE, ERASE, ERAL and WRAL need the EWEN state (the
// part powers up in EWDS) and start their self-timed cycle on the falling CS edge that follows;
// CS taken high again shows READY/BUSY on DO (0 busy, 1 ready). Instructions while busy are
// ignored. WRITE includes the erase of the word. Erased cells read all ones.

#include <cstdint>
#include <memory>
#include <string>

#include "sim/serial/SerialMemory.h"

namespace tavrin::sim {

struct Eeprom93CType {
    std::string name;
    uint32_t size = 0;           // bytes
    int addressBitsX8 = 7;       // address field in 8-bit organisation
    int addressBitsX16 = 6;      // and in 16-bit organisation
    double writeCycleUs = 6000;  // tWP (WRITE, ERASE); the data-sheet maximum is 10 ms
    double eraseAllUs = 8000;    // ERAL, WRAL; up to 15 ms
};

Eeprom93CType Eeprom93CByName(const std::string& name);  // "93C06" ... "93C86", "93LC46"

class SimEeprom93C : public SerialMemory {
  public:
    SimEeprom93C(Eeprom93CType type, bool org16);

    std::string name() const override { return type_.name + (org16_ ? " x16" : " x8"); }
    void onPins(const SocketPins& pins, int64_t now) override;
    bool busyPin(const SocketPins& pins, int64_t now, bool loopback) override;

    bool org16() const { return org16_; }
    void setOrg16(bool org16) { org16_ = org16; }  // the strap
    void setWriteCycleUs(double us) { type_.writeCycleUs = us; }
    void setEwenIgnored(bool ignored) { ewenIgnored_ = ignored; }  // stays write-protected
    void setBusyForever(bool busy) { busyForever_ = busy; }
    bool writeEnabled() const { return ewen_; }
    uint32_t word(uint32_t w) const { return wordAt(w); }
    bool busy(int64_t now);

    struct Log {
        uint64_t writes = 0, erases = 0, eraseAlls = 0, writeAlls = 0;  // cycles started
        uint64_t refusedDisabled = 0;  // programming instructions in the EWDS state
        uint64_t ignoredBusy = 0;      // start bits while a cycle ran
        uint64_t reads = 0;
    };
    const Log& log() const { return log_; }

  protected:
    void saveExtra(std::map<std::string, int64_t>& values) const override {
        values["org16"] = org16_;
    }
    void loadExtra(const std::map<std::string, int64_t>& values) override;

  private:
    enum class Phase { Standby, Opcode, Address, Data, Reading, Done };
    enum class Pending { None, Write, Erase, EraseAll, WriteAll };

    int addressBits() const { return org16_ ? type_.addressBitsX16 : type_.addressBitsX8; }
    int wordBits() const { return org16_ ? 16 : 8; }
    uint32_t words() const { return size() / (org16_ ? 2 : 1); }
    uint32_t wordAt(uint32_t w) const;
    void storeWord(uint32_t w, uint32_t value);
    void onClockRise(bool di, int64_t now);
    void instructionComplete();
    void startCycle(int64_t now);
    void finishCycle(int64_t now);

    Eeprom93CType type_;
    bool org16_;
    bool ewenIgnored_ = false, busyForever_ = false;

    bool powered_ = false, cs_ = false, sk_ = false, ewen_ = false;
    Phase phase_ = Phase::Standby;
    int bits_ = 0;
    uint32_t opcode_ = 0, address_ = 0, data_ = 0;
    Pending pending_ = Pending::None;  // armed, starts on the falling CS edge
    bool showStatus_ = false;          // DO shows READY/BUSY
    bool statusPending_ = false;       // a cycle started since the last start bit
    // READ output: the bit on DO, or none.
    bool driving_ = false, level_ = true;
    uint32_t readWord_ = 0;
    int readBit_ = 0;

    Pending running_ = Pending::None;
    int64_t busyUntil_ = -1;
    uint32_t cycleAddress_ = 0, cycleData_ = 0;
    Log log_;
};

// The model for a 93Cxx entry of the catalogue (eep 8), by its Tag, with ORG strapped to match
// the entry's organisation; nullptr for another.
std::unique_ptr<SimChip> MakeSimEeprom93C(int32_t eep, int32_t deviceId);

}  // namespace tavrin::sim
