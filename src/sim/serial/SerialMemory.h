#pragma once
// What the serial EEPROM models share: the cell array with its faults (stuck bits, slow cells,
// a dead write circuit) and the saved state that keeps a chip between command-line runs.

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "sim/ChipFaults.h"
#include "sim/SimChip.h"

namespace tavrin::sim {

class SerialMemory : public SimChip, public ChipFaults {
  public:
    // `kind` names the model in the saved state; `size` is a power of two.
    SerialMemory(std::string kind, uint32_t size);

    int readData(const SocketPins&, int64_t) override { return -1; }  // nothing on D0..D7
    bool wantsAddressEvents() const override { return true; }         // the bus lines are data bits
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    // ChipFaults. A slow cell makes every write cycle that touches it `pulses` times as long.
    void setStuckBit(uint32_t address, int bit, bool level) override;
    void setSlowCell(uint32_t address, int pulses) override { slow_[address & mask()] = pulses; }
    void setNeverPrograms(bool never) override { neverPrograms_ = never; }

    uint32_t size() const { return uint32_t(cells_.size()); }
    // The array as programmed (stuck bits not applied); tests fill it directly.
    std::vector<uint8_t>& cells() { return cells_; }
    const std::vector<uint8_t>& cells() const { return cells_; }
    // What a read of `address` returns (stuck and flaky bits applied).
    uint8_t readCell(uint32_t address) const;

  protected:
    uint32_t mask() const { return size() - 1; }
    // Stores a byte at the end of a write cycle (nothing when the write circuit is dead).
    void storeCell(uint32_t address, uint8_t value);
    // The longest slow-cell factor among `addresses`, 1 when none is slow.
    template <typename Range>
    int slowFactor(const Range& addresses) const {
        int factor = 1;
        for (uint32_t a : addresses)
            if (auto it = slow_.find(a & mask()); it != slow_.end() && it->second > factor)
                factor = it->second;
        return factor;
    }
    // Straps and non-volatile registers of a model, kept with its cells.
    virtual void saveExtra(std::map<std::string, int64_t>& values) const { (void)values; }
    virtual void loadExtra(const std::map<std::string, int64_t>& values) { (void)values; }

  private:
    std::string kind_;
    std::vector<uint8_t> cells_;
    std::map<uint32_t, std::pair<uint8_t, uint8_t>> stuck_;  // mask, level
    std::map<uint32_t, int> slow_;
    bool neverPrograms_ = false;
};

// Virtual-time length of a write cycle of `us` microseconds, `factor` times over.
inline int64_t CycleTicks(double us, int factor) {
    return int64_t(us * 1000.0 * 10.0) * factor;
}

}  // namespace tavrin::sim
