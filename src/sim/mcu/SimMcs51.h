#pragma once
// The parallel-programmed 8051 parts in the simulated socket: the 40-pin AT89C5x/AT89S/SST89C5x
// flash parts and 87C5x EPROM parts behind DIP pattern 13, and the 20-pin AT89Cx051 in the
// 20-pin footprint of DIP pattern 14.
//
// 40-pin wiring: address stages 0-14 drive P1, P2.0-P2.5 and P3.4 (A0-A14), stages 15-18 the mode
// pins P2.6, P2.7, P3.6, P3.7; ALE/PROG is the strobe (low while asserted); EA/VPP is Vpp; P0 is
// the socket data bus unpermuted. The adapter ties RST high and PSEN low and runs the crystal.
//
// 20-pin wiring (the AT89Cx051 position of the footprint; the AVR DIP20 parts need pin 7 on the
// /WR steering instead of stage 6, which the board must switch): stage 6 -> P3.3 (pin 7), 7 ->
// P3.5, 8 -> P3.4, 9 -> P3.7; socket data bit k carries P1 bit w(k), w = 2,4,6,7,5,3,1,0. Stages
// 15-18 steer the strobe: 15+16 -> XTAL1 pulses (advance the address counter), 18 alone ->
// P3.2/PROG low, 17 alone -> RST pulled to 0 V; RST/VPP is otherwise Vpp (12 V) or the board's 5 V.
// The rising edge of RST resets the internal address counter; it holds an arbitrary value from
// power-on until then.
//
// Behaviour by the datasheets: flash cells only clear bits (a rewrite of the same value is
// harmless), a write is self-timed and busy-time reads of the address show the complement of bit 7
// (data polling); EPROM cells take charge over their pulses (25 x 100 us quick pulse) and have no
// electrical erase; chip erase (PROG low for at least the part's erase time at 12 V) clears code
// and lock bits; lock bit 1 stops further programming, lock bit 2 also disables verify (reads
// 0xFF), lock bit 3 (40-pin only) disables external execution. The AT89C51RC and AT89C55WD also
// need P3.3 and Vcc 6.5 V for some modes, which nothing on the board drives: the model assumes the
// adapter provides them.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

// A part whose lock bits a test or the command line can preset.
class LockableChip {
  public:
    virtual ~LockableChip() = default;
    // Lock bits 1..mode programmed (mode 0: none).
    virtual void setLockMode(int mode) = 0;
    virtual int lockMode() const = 0;
};

enum class Mcs51Lock : uint8_t {
    PerBitPulse,  // AT89C, 87C, SST: one mode per lock bit, PROG pulse programs it
    DataSelect,   // AT89S8252/S53: one mode, P0.7/P0.6/P0.5 low select bits 1/2/3
};
enum class Mcs51LockRead : uint8_t {
    None,       // lock bits are only seen by their effects
    P0Bits234,  // AT89C51RC/55WD: mode H H H L, bits 1, 2, 3 on P0.2, P0.3, P0.4 (0 = programmed)
    P0Bits210,  // AT89S: mode H H L L, bits 1, 2, 3 on P0.2, P0.1, P0.0 (0 = programmed)
};

struct Mcs51Type {
    std::string name;
    uint32_t size = 4096;
    bool twentyPin = false;
    bool eprom = false;  // UV EPROM cells (87C5x)
    int lockBits = 3;
    Mcs51Lock lock = Mcs51Lock::PerBitPulse;
    Mcs51LockRead lockRead = Mcs51LockRead::None;
    std::map<uint32_t, uint8_t> signature;  // signature-mode address -> byte; others read 0xFF
    double writeUs = 1200;                  // self-timed byte write
    double eraseMinUs = 10000;              // shortest PROG low that erases
    double epromChargeUs = 2250;            // EPROM: PROG-low time a bit needs (25 pulses of 90 us)
};

// The parts of the catalogue by name ("AT89C51", "AT89C2051", "i87C51", ...); an empty name when
// unknown.
Mcs51Type Mcs51Part(const std::string& name);

class SimMcs51 : public SimChip, public ChipFaults, public LockableChip {
  public:
    explicit SimMcs51(Mcs51Type type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override;
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }
    // LockableChip
    void setLockMode(int mode) override;
    int lockMode() const override;

    const Mcs51Type& type() const { return type_; }
    std::vector<uint8_t>& cells() { return cells_; }
    bool lockBit(int n) const { return locks_[size_t(n - 1)]; }
    uint32_t counter() const { return counter_; }
    // Where the counter goes on each XTAL1 pulse (1 normally; 2 = the double-count glitch).
    void setCounterStep(uint32_t step) { counterStep_ = step; }
    // Ignores the RST edge that should reset the counter.
    void setIgnoreReset(bool ignore) { ignoreReset_ = ignore; }

    struct Log {
        uint64_t writes = 0;        // code bytes written (cycles completed)
        uint64_t lockedWrites = 0;  // writes refused by lock bit 1
        uint64_t busyWrites = 0;    // write pulses while a write cycle ran
        uint64_t noVppPulses = 0;   // PROG pulses in a program mode without 12 V
        uint64_t erases = 0;
        uint64_t shortErases = 0;   // erase pulses below the erase time
        uint64_t eraseIgnored = 0;  // erase mode on an EPROM part
        uint64_t lockPulses = 0;
        uint64_t counterResets = 0;
    };
    const Log& log() const { return log_; }

  private:
    enum class Mode { None, WriteCode, ReadCode, Lock1, Lock2, Lock3, Erase, LockRead, Signature };
    Mode mode40(uint32_t stages) const;
    Mode mode20(uint32_t stages) const;
    Mode modeOf(const SocketPins& pins) const;
    uint32_t codeAddress(const SocketPins& pins) const;
    bool progLow(const SocketPins& pins) const;
    uint8_t deviceData(const SocketPins& pins) const;
    int toSocket(int deviceByte) const;
    void settle(int64_t now);
    void startPulse(const SocketPins& pins, int64_t now);
    void endPulse(const SocketPins& pins, int64_t now);
    void powerOn();
    uint8_t readCell(uint32_t address) const;
    int pulsesNeeded(uint32_t address) const;

    Mcs51Type type_;
    std::vector<uint8_t> cells_;
    std::array<bool, 3> locks_{};
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;  // mask, level
    std::map<uint32_t, int> slow_;                           // writes a cell needs
    std::map<uint32_t, int> writesSeen_;
    std::map<uint32_t, std::array<int64_t, 8>> charge_;  // EPROM: ticks per bit
    bool neverPrograms_ = false;

    SocketPins last_{};
    bool powered_ = false;
    uint32_t counter_ = 0;
    uint32_t powerOns_ = 0;
    uint32_t counterStep_ = 1;
    bool ignoreReset_ = false;
    bool rstLow_ = false, xtalHigh_ = false;

    struct {
        bool active = false;
        int64_t start = 0;
        Mode mode = Mode::None;
        uint32_t address = 0;
        uint8_t data = 0xFF;
        bool vpp = false;
    } pulse_;
    struct {
        bool active = false;
        int64_t until = 0;
        uint32_t address = 0;
        uint8_t value = 0xFF;
    } busy_;
    Log log_;
};

}  // namespace tavrin::sim

namespace tavrin {
struct Context;
}
namespace tavrin::sim {
// The MCS-51 part of the selected device (eep 10, 11), nullptr for other families.
std::unique_ptr<SimChip> MakeMcs51Chip(const Context& ctx);
}  // namespace tavrin::sim
