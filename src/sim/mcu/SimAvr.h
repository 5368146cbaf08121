#pragma once
// An AT90S AVR microcontroller in high-voltage parallel programming mode, as the AT90S data sheets
// describe it, behind the board's wiring:
// - RESET is the programming voltage; the part enters programming mode when 12 V arrives while
//   Vcc is on and BS is low, and leaves it (latches cleared) when either goes away.
// - XA0 is address-register stage 7, BS stage 8, XA1 stage 9. Stages 15..18 steer the strobe:
//   15+16 give the XTAL1 pulse that latches a byte, 18 alone /OE, 17+18 /WR.
// - The data pins hang on the data port through a fixed permutation (port bit k = chip bit
//   2, 4, 6, 7, 5, 3, 1, 0 for k = 0..7).
// - XTAL1 rising latches the bus as command (XA 10), address low or high (XA 00, BS picks) or data
//   (XA 01). The latches keep their values across commands until programming mode ends.
// - /WR falling starts a write of the latched command: flash byte (BS picks the half of the word),
//   EEPROM byte, lock bits; the part is busy for tWLRH and ignores a write while busy. Flash bits
//   only go 1 -> 0; EEPROM bytes are erased and written. Fuse bits and chip erase act on the /WR
//   rising edge and only if /WR was low long enough (tWLWH_PFB, tWLWH_CE).
// - /OE low drives the bus with what the latched command reads: flash, EEPROM, signature, or the
//   fuse and lock bits in the part's layout. In lock mode 3 flash and EEPROM read 0xFF; with LB1
//   programmed flash and EEPROM writes are ignored. The signature stays readable in every mode.
// - Chip erase clears flash, EEPROM and lock bits, not fuses.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Context.h"
#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

struct AvrType {
    std::string name;
    uint32_t flashBytes = 0;
    uint32_t eepromBytes = 0;
    uint8_t signature[3] = {0x1E, 0, 0};
    uint8_t fuseMask = 0x21;     // the fuse bits the part has (bit n as written)
    bool splitFuseRead = false;  // fuses with BS low, lock bits (LB1 bit 1, LB2 bit 2) with BS high
    uint8_t defaultFuses = 0xFF;  // as shipped, in write layout
};

// The AT90S parts by name ("AT90S8515"); false when unknown.
bool FindAvrType(const std::string& name, AvrType& type);

class SimAvr : public SimChip, public ChipFaults {
  public:
    explicit SimAvr(AvrType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults. Addresses as in the programmer's image: flash bytes from 0, EEPROM from 0x40000.
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override;
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }

    // Further faults: lock bits programmed as shipped; a RDY/BSY that never returns after the
    // first write; fuse cells that need a longer /WR pulse than the data sheet's.
    void setLockMode(int mode);
    void setBusyStuck(bool stuck) { busyStuck_ = stuck; }
    void setFusePulseMinUs(double us) { fusePulseMinUs_ = us; }
    // Parses "avr-locked:1..3", "avr-busy-stuck", "avr-fuse-pulse:US"; false (error empty) when the
    // text is none of them.
    bool applyFamilyFault(const std::string& fault, std::string& error) override;

    const AvrType& type() const { return type_; }
    std::vector<uint8_t>& flash() { return flash_; }
    std::vector<uint8_t>& eeprom() { return eeprom_; }
    uint8_t fuses() const { return fuses_; }
    void setFuses(uint8_t value) { fuses_ = uint8_t(value | ~type_.fuseMask); }
    int lockMode() const;
    bool inProgrammingMode() const { return programming_; }

    struct Log {
        uint64_t loads = 0, writes = 0;
        uint64_t writesWhileBusy = 0;    // ignored
        uint64_t writesWhileLocked = 0;  // ignored
        uint64_t shortFusePulses = 0;    // fuse write with /WR below the fuse's need
        uint64_t chipErases = 0, shortErases = 0, longErases = 0;
        uint64_t entriesRefused = 0;  // 12 V with BS high
        uint64_t undrivenLoads = 0;   // XTAL1 with the board not driving the bus
    };
    const Log& log() const { return log_; }

  private:
    struct Lines {
        bool xtal1, oeLow, wrLow;
        bool xa1, xa0, bs;
    };
    Lines lines(const SocketPins& pins) const;
    void leaveProgramming();
    void latch(const Lines& l, const SocketPins& pins);
    void startWrite(const Lines& l, int64_t now);
    void endWrite(int64_t now);
    uint8_t readLatched(bool bs, int64_t now) const;
    bool busy(int64_t now) const;
    uint32_t eepromAddress() const;
    uint8_t applyStuck(uint32_t imageAddress, uint8_t value) const;
    void programFlash(uint32_t byteAddress, uint8_t value);

    AvrType type_;
    std::vector<uint8_t> flash_, eeprom_;
    uint8_t fuses_;
    uint8_t lockBits_ = 0xFF;  // write layout: LB1 bit 1, LB2 bit 2, 0 = programmed

    bool powered_ = false, reset12V_ = false, programming_ = false;
    uint8_t command_ = 0, addrLow_ = 0, addrHigh_ = 0, data_ = 0xFF;
    Lines last_{};
    int64_t busyUntil_ = 0;
    int64_t wrStart_ = 0;
    uint8_t wrCommand_ = 0;
    bool wrActive_ = false;

    std::vector<uint8_t> stuckMask_, stuckLevel_;  // per image byte (flash then EEPROM)
    std::vector<int> slow_;                        // writes a flash byte needs before it takes
    std::vector<int> slowDone_;
    bool neverPrograms_ = false, busyStuck_ = false;
    double fusePulseMinUs_ = 1000.0;  // tWLWH_PFB minimum
    Log log_;
};

// The model for the AVR selected in the profile (by DeviceID), nullptr when it is not one.
std::unique_ptr<SimChip> MakeAvrChip(const Context& ctx);

}  // namespace tavrin::sim
