#pragma once
// A PIC microcontroller in its serial programming mode, bit by bit as the programming
// specifications describe it (16F8X DS30262, 16F62X DS30034, 16F87X DS39025, 16C6XX/7XX DS30228,
// 12C5XX DS30557).
//
// Pins: RB6 (clock) is D1 and RB7 (data) is D0 of the data register; RB7 is open-drain towards
// the board, so printer-port pin 11 reads the board's D0 AND the chip's output. MCLR is the Vpp
// line, Vdd the Vcc line.
//
// - Entry: MCLR rising to Vpp with Vdd on and RB6, RB7 low. The address starts at 0 (14-bit) or
//   on the configuration word 0xFFF (12-bit, the first Increment goes to 0). MCLR low leaves the
//   mode; the next entry starts afresh.
// - Commands are six clocks, data frames sixteen (start bit, 14 data bits, stop bit), both
//   sampled on the falling clock edge, LSB first. A read frame drives bit k on rising edge k + 2.
// - 14-bit address space: 0x0000-0x1FFF program (aliased to the part's size), 0x2000-0x2003
//   identifiers, 0x2006 device ID, 0x2007 configuration word; Load Configuration jumps to 0x2000.
// - Flash parts: Begin Programming starts an internally timed erase-before-write cycle of the
//   word at the address (program, identifier, configuration or, after Load Data for Data Memory,
//   the data EEPROM byte). While the cycle runs the chip ignores the bus (reads give 0x3FFF).
//   Commands 1 and 7 arm a bulk erase that the next Begin Programming runs: on the configuration
//   word it clears everything including code protection, else the program or the data memory.
// - EPROM parts: Begin Programming ... End Programming is one program pulse; a cell takes the
//   loaded 0 bits once it has had its number of pulses, and is only 1 -> 0 (no erase). Pulses
//   beyond that are the over-programming the cell needs for its retention (3 x N for the 14-bit,
//   11 x N for the 12-bit parts); cells with fewer are counted as marginal.
// - Code protection: program memory reads 0 and ignores writes; the data EEPROM too where the
//   part has a separate protection bit cleared.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin {
struct Context;
}

namespace tavrin::sim {

struct PicType {
    std::string name;
    bool twelveBit = false;
    bool flash = true;
    uint32_t progWords = 1024;
    uint32_t dataBytes = 0;
    uint16_t deviceId = 0;         // word at 0x2006 with its revision; 0 where the part has none
    uint16_t configBits = 0x3FFF;  // implemented configuration bits; the others read 1
    uint16_t cpBits = 0;           // code-protection bits: protected when any of them is 0
    uint16_t cpdBit = 0;           // data EEPROM protection (0 = protected); 0 when none
    double writeUs = 8000;         // erase-before-write cycle of a program, ID or config word
    double dataWriteUs = 8000;     // data EEPROM byte
    double eraseUs = 10000;        // bulk erase
    uint16_t osccal = 0;           // 12-bit: factory calibration word (MOVLW k) at the last word
};

// The model for a catalogue part, by name ("16F84A", "16F877", "12C508", ...); nullptr when
// unknown.
std::unique_ptr<class SimPic> MakeSimPicPart(const std::string& part);
// The model for the PIC selected in the profile (caption and DeviceID), nullptr for non-PICs.
std::unique_ptr<SimChip> MakeSimPic(const Context& ctx);

class SimPic : public SimChip, public ChipFaults {
  public:
    explicit SimPic(PicType type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins&, int64_t) override { return -1; }
    bool busyPin(const SocketPins& pins, int64_t now, bool loopback) override;
    bool wantsAddressEvents() const override { return true; }
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults: addresses are program word indexes; a slow flash cell takes `pulses` times
    // as long to write, a slow EPROM cell needs `pulses` pulses.
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override;
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }
    // "code-protected" (see setCodeProtected) and "data-stuck:BYTE:BIT=V".
    bool applyFamilyFault(const std::string& fault, std::string& error) override;
    // Bit `bit` of data EEPROM byte `address` reads `level`.
    void setDataStuckBit(uint32_t address, int bit, bool level);
    // Code protection on, and data protection where the part has it (recovered by bulk erase).
    void setCodeProtected() { config_ = uint16_t(config_ & ~type_.cpBits & ~type_.cpdBit); }
    // The chip does not enter programming mode (MCLRE off with the internal oscillator, LVP).
    void setRefusesEntry(bool refuse) { refusesEntry_ = refuse; }

    const PicType& type() const { return type_; }
    // Contents as programmed (stuck bits not applied); tests set and inspect them directly.
    std::vector<uint16_t>& program() { return program_; }
    std::vector<uint8_t>& data() { return data_; }
    std::array<uint16_t, 4>& ids() { return ids_; }
    uint16_t& config() { return config_; }
    uint16_t configRead() const;
    bool codeProtected() const;
    bool dataProtected() const;
    bool inProgrammingMode() const { return mode_; }

    struct Log {
        uint64_t entries = 0;          // programming-mode entries
        uint64_t refusedEntries = 0;   // MCLR at Vpp without Vdd or with RB6/RB7 high
        uint64_t clocksWhileBusy = 0;  // clock edges during a write or erase cycle
        uint64_t unknownCommands = 0;
        uint64_t writes = 0;      // completed flash write cycles
        uint64_t lostWrites = 0;  // cycles cut off by Vdd going off
        uint64_t bulkErases = 0;
        uint64_t pulses = 0;       // EPROM program pulses that counted
        uint64_t shortPulses = 0;  // below 50 us: no charge
    };
    const Log& log() const { return log_; }
    // EPROM cells that were programmed with fewer pulses than their retention needs.
    int marginalCells() const;
    // Program pulses a program word has had (EPROM parts).
    int pulsesAt(uint32_t word) const;

  private:
    enum class Area { Program, Id, Config, DeviceId, None };
    struct Location {
        Area area;
        uint32_t index;
    };
    enum class Frame { Command, Load, Read };
    enum class Pending { None, Program, Data, Erase };
    enum class EraseKind { All, ProgramOnly, DataOnly };
    struct Charge {
        uint16_t target = 0x3FFF;  // AND of the words pulsed
        int pulses = 0;
    };

    uint16_t erased() const { return type_.twelveBit ? 0x0FFF : 0x3FFF; }
    Location locate() const;
    uint32_t dataAddress() const { return type_.dataBytes ? pc_ & (type_.dataBytes - 1) : 0; }
    uint16_t readWord() const;
    uint8_t readDataByte(uint32_t address) const;
    void risingEdge();
    void fallingEdge(bool data);
    void command(uint8_t code, int64_t now);
    void load(uint16_t value);
    void beginProgramming(int64_t now);
    void endPulse(int64_t now, bool counts);
    void settle(int64_t now);
    void finishCycle();
    void leaveMode(int64_t now);
    void store(Location at, uint16_t value);
    int slowFactor(uint32_t word) const;
    Charge* chargeOf(Location at);
    int overFactor() const { return type_.twelveBit ? 11 : 3; }

    PicType type_;
    std::vector<uint16_t> program_;
    std::vector<uint8_t> data_;
    std::array<uint16_t, 4> ids_{};
    uint16_t config_;
    std::map<uint32_t, Charge> programCharge_;
    std::array<Charge, 4> idCharge_{};
    Charge configCharge_;
    std::map<uint32_t, std::pair<uint16_t, uint16_t>> stuck_;  // mask, level
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> dataStuck_;
    std::map<uint32_t, int> slow_;
    bool neverPrograms_ = false;
    bool refusesEntry_ = false;

    // Bus state.
    bool powered_ = false, lastVpp_ = false, lastClock_ = false;
    bool mode_ = false;
    uint32_t pc_ = 0;
    uint16_t latch_ = 0;
    bool latchIsData_ = false;
    Frame frame_ = Frame::Command;
    int edges_ = 0;
    uint32_t shift_ = 0;
    uint16_t readValue_ = 0;
    int output_ = -1;    // what the chip drives on RB7: -1 released
    int eraseStep_ = 0;  // 1 after command 1, 2 (armed) after 1 then 7

    // The write or erase cycle in progress (flash) and the program pulse (EPROM).
    Pending pending_ = Pending::None;
    int64_t busyUntil_ = -1;
    Location pendingAt_{Area::None, 0};
    uint16_t pendingValue_ = 0;
    EraseKind pendingErase_ = EraseKind::All;
    bool pulseOn_ = false;
    int64_t pulseStart_ = 0;
    Location pulseAt_{Area::None, 0};
    uint16_t pulseValue_ = 0;

    Log log_;
};

}  // namespace tavrin::sim
