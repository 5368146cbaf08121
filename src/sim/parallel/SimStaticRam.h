#pragma once
// Static RAMs (6116 ... 628128) and DS12xx non-volatile SRAM modules in the simulated socket.
//
// Bus cycles (6116/6264/62256/628128, DS1220..DS1249 data sheets): /CE is tied low on the board,
// CE2 (6264, 628128) must be high, /OE is low in serial mode, /WE is the strobe. A write takes
// place whenever /CE and /WE are low, whatever /OE is; the data is latched at /WE rising. /WE low
// disables the outputs. No write cycle, no busy state, no erased state.
//
// Power: a plain SRAM loses its contents when Vcc is off and powers up with random bytes
// (seeded). A DS12xx keeps them on its lithium cell and locks writes out for tREC after Vcc
// returns (a few ms; the program's 75 ms power-up wait covers it).
//
// Wiring: chip address bit k comes from the address stage the part's pinout puts on that pin
// (the 28-pin 32 KB parts take A14 from stage 15, the 32-pin ones A15 from stage 18 through the
// DIP switch, which is why their entries swap addresses), see StaticRamType::stages.

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

struct StaticRamType {
    std::string name;
    uint32_t size = 0;
    std::vector<int> stages;   // address stage of chip A0, A1, ...
    int ce2Stage = -1;         // stage that drives CE2, which must be high; -1 none
    bool nonVolatile = false;  // DS12xx
    double recoveryUs = 0;     // tREC: writes locked out this long after power-up
};

// The part of a catalogue entry: eep 21 (SRAM) or 20 (DS12xx) and its Tag; nullptr otherwise.
std::unique_ptr<SimChip> MakeStaticRamChip(int32_t eep, int32_t tag);

class SimStaticRam : public SimChip, public ChipFaults {
  public:
    explicit SimStaticRam(StaticRamType type, uint32_t seed = 12);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults: a stuck bit is a dead cell; a RAM has no program pulses to be slow about.
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t, int) override {}
    void setNeverPrograms(bool never) override { neverWrites_ = never; }
    // battery-dead: a DS12xx loses its contents at power-off like a plain SRAM.
    bool applyFamilyFault(const std::string& fault, std::string& error) override;

    const StaticRamType& type() const { return type_; }
    std::vector<uint8_t>& memory() { return memory_; }
    uint8_t readCell(uint32_t address) const;
    uint32_t chipAddress(uint32_t stages) const;
    bool selected(uint32_t stages) const;
    uint64_t writes() const { return writes_; }
    uint64_t powerLosses() const { return powerLosses_; }

  private:
    StaticRamType type_;
    std::vector<uint8_t> memory_;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;  // mask, level
    std::mt19937 random_;
    bool neverWrites_ = false;
    bool batteryDead_ = false;
    bool vcc_ = false, weLow_ = false;
    int64_t powerOnAt_ = 0;
    uint64_t writes_ = 0, powerLosses_ = 0;
};

}  // namespace tavrin::sim
