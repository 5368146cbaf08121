#pragma once
// A 25Cxxx SPI serial EEPROM in the simulated socket, driven bit by bit (mode 0).
//
// Wiring: /CS is low while the strobe line is asserted, SCK is D1, SI is the inverse of D0, SO
// reaches pin 11 while the part drives it (otherwise the board's D0 loop-back shows). /HOLD is
// strapped high; /WP is strapped high unless a fault pulls it low.
//
// By the data sheets: every instruction starts with a falling /CS edge (a part that powers up
// selected ignores the bus until it is deselected and selected again), and /CS high ends it and
// floats SO. SI is taken on rising SCK edges, SO changes on falling ones. During a write cycle
// (WIP) only RDSR is executed. WRITE and WRSR need the write-enable latch (WREN), which is reset
// at power-up, by WRDI and when a write cycle ends. A WRITE starts its cycle only when /CS rises
// on a byte boundary after at least one data byte; bytes past the page end wrap to the page
// start, and bytes in the blocks that BP1..BP0 protect are not written. WRSR sets BP1, BP0 and
// (8 Kbit and larger) WPEN; with WPEN set and /WP low it is refused. The 4 Kbit part takes A8 in
// bit 3 of the instruction. READ goes on across the whole array and wraps to 0.

#include <cstdint>
#include <memory>
#include <string>

#include "sim/serial/SerialMemory.h"

namespace tavrin::sim {

struct Eeprom25CType {
    std::string name;
    uint32_t size = 0;           // bytes
    uint32_t page = 32;          // page buffer, bytes
    int addressBytes = 2;        // 1 (A8 in the instruction at 512 bytes), 2 or 3
    bool hasWpen = true;         // the status register has WPEN (8 Kbit and larger)
    double writeCycleUs = 4000;  // tWC; the data-sheet maximum is 5 ms
};

// "25x010" ... "AT25HP1024"; "25x080A" and "25x160A" are the 16-byte-page variants.
Eeprom25CType Eeprom25CByName(const std::string& name);

class SimEeprom25C : public SerialMemory {
  public:
    explicit SimEeprom25C(Eeprom25CType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    bool busyPin(const SocketPins& pins, int64_t now, bool loopback) override;

    // Faults and straps.
    void setWriteCycleUs(double us) { type_.writeCycleUs = us; }
    void setWpLow(bool low) { wpLow_ = low; }
    // Some parts answer RDSR with all ones during a write cycle.
    void setOnesWhileBusy(bool ones) { onesWhileBusy_ = ones; }
    // The non-volatile protection bits, as a part may come from a previous owner.
    void setProtection(int bp, bool wpen) { bp_ = bp & 3, wpen_ = wpen && type_.hasWpen; }

    const Eeprom25CType& type() const { return type_; }
    int blockProtect() const { return bp_; }
    bool wpen() const { return wpen_; }
    bool writeEnabled() const { return wel_; }
    bool busy(int64_t now);
    bool isProtected(uint32_t address) const;

    struct Log {
        uint64_t writeCycles = 0, statusWrites = 0;
        uint64_t refusedNoWel = 0;      // WRITE or WRSR without the write-enable latch
        uint64_t refusedProtected = 0;  // bytes not written because their block is protected
        uint64_t refusedWrsr = 0;       // WRSR refused by WPEN and /WP low
        uint64_t ignoredBusy = 0;       // instructions other than RDSR during a write cycle
        uint64_t ignoredNoCsEdge = 0;   // clocks of a part that never saw /CS fall
        uint64_t aborted = 0;           // WRITE or WRSR ended off a byte boundary
        uint64_t rolledOver = 0;        // data bytes that overwrote an earlier one of the page
    };
    const Log& log() const { return log_; }

  protected:
    void saveExtra(std::map<std::string, int64_t>& values) const override;
    void loadExtra(const std::map<std::string, int64_t>& values) override;

  private:
    enum class Phase {
        Idle,
        Instruction,
        Address,
        WriteData,
        StatusData,
        ReadOut,
        StatusOut,
        Ignore
    };

    uint8_t statusByte(int64_t now);
    void onSelect();
    void onDeselect(int64_t now);
    void onClockRise(bool si, int64_t now);
    void onClockFall(int64_t now);
    void decode(uint8_t instruction, int64_t now);
    void finishCycle(int64_t now);

    Eeprom25CType type_;
    bool wpLow_ = false, onesWhileBusy_ = false;

    // Non-volatile.
    int bp_ = 0;
    bool wpen_ = false;
    // Volatile.
    bool powered_ = false, selected_ = false, sck_ = false, wel_ = false;
    Phase phase_ = Phase::Idle;
    int bits_ = 0, addressBytesLeft_ = 0;
    uint8_t shift_ = 0, instruction_ = 0;
    uint32_t address_ = 0;
    bool driving_ = false, level_ = true;
    uint8_t outByte_ = 0;
    int outBit_ = 0;

    std::map<uint32_t, uint8_t> pageBuffer_;
    uint32_t cursor_ = 0;
    uint8_t newStatus_ = 0;
    bool statusReceived_ = false;

    enum class Cycle { None, Write, Status } cycle_ = Cycle::None;
    int64_t busyUntil_ = -1;
    std::map<uint32_t, uint8_t> cycleData_;
    Log log_;
};

// The model for a 25Cxxx entry of the catalogue (eep 6), by its Tag; nullptr for another.
std::unique_ptr<SimChip> MakeSimEeprom25C(int32_t eep, int32_t deviceId);

}  // namespace tavrin::sim
