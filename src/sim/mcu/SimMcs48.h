#pragma once
// An MCS-48/41 part (8748H/8749H EPROM, 8741/8742 UPI, 8048/8049/8050 mask ROM) behind the
// "DIP32 to MCS-48" adapter.
//
// Adapter wiring as the routines need it: address stages 0-3 drive P2.0-P2.3 (A8-A11), stage 4
// drives T0 (low = program, high = verify), stages 5-8 are unused; BUS is the socket data bus; EA
// is Vpp; PROG follows the strobe line (high while the strobe is released) and the adapter raises
// VDD to 21 V with it. No register bit is left for RESET, so the adapter derives it from the
// data-out line through an RC: RESET rises a delay after the board starts driving the bus and falls
// the same delay after it lets go. The address (A0-A7 from BUS, A8-A11 from P2) is latched as
// RESET rises.
//
// Behaviour (Intel 8748H/8749H programming sequence): with T0 low, EA high and RESET high, PROG
// time accumulates on the latched address; after 50 ms the bus byte is in (bits go from the erased
// 0 to 1 and never back but by UV light). With T0 high and RESET high the chip drives the cell
// onto BUS; while the board still drives BUS too, the contention is counted. Mask-ROM parts ignore
// PROG.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

struct Mcs48Type {
    std::string name;
    uint32_t size = 1024;
    bool rom = false;
};

class SimMcs48 : public SimChip, public ChipFaults {
  public:
    explicit SimMcs48(Mcs48Type type);

    std::string name() const override { return type_.name; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override;
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }

    // RESET delay of the adapter's RC (default 200 us; the routines need 20 us to 1.4 ms).
    void setResetDelayUs(double us);
    const Mcs48Type& type() const { return type_; }
    std::vector<uint8_t>& cells() { return cells_; }
    void uvErase();

    struct Log {
        uint64_t programPulses = 0;  // PROG pulses in program mode
        uint64_t romPulses = 0;      // PROG pulses a mask-ROM part ignored
        uint64_t contention = 0;     // the board drove BUS while the chip did
        uint64_t latches = 0;        // addresses latched by RESET
        uint32_t lastLatched = 0;
    };
    const Log& log() const { return log_; }

  private:
    void settle(int64_t now);
    bool t0(const SocketPins& pins) const { return (pins.address & 0x10) != 0; }
    uint8_t readCell(uint32_t address) const;

    Mcs48Type type_;
    std::vector<uint8_t> cells_;
    std::map<uint32_t, int64_t> charge_;  // PROG ticks per address since its last full program
    std::map<uint32_t, int> slow_;        // pulses of 50 ms an address needs
    std::map<uint32_t, int> pulsesSeen_;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;
    bool neverPrograms_ = false;
    int64_t resetDelay_;

    SocketPins last_{};
    bool powered_ = false;
    bool reset_ = false;     // RESET high
    int64_t driveEdge_ = 0;  // time DataOutLine last changed
    uint32_t latched_ = 0;
    bool progHigh_ = false;
    int64_t progStart_ = 0;
    uint8_t progData_ = 0;
    uint32_t progAddress_ = 0;
    bool progValid_ = false;
    Log log_;
};

}  // namespace tavrin::sim

namespace tavrin {
struct Context;
}
namespace tavrin::sim {
// The MCS-48 part of the selected device (eep 28 EPROM, 29 mask ROM), nullptr for other families.
std::unique_ptr<SimChip> MakeMcs48Chip(const Context& ctx);
}  // namespace tavrin::sim
