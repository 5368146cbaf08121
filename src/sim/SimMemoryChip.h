#pragma once
// A plain byte-wide ROM or static RAM: reads whenever powered with outputs enabled, and (as a RAM)
// stores the driven byte on each strobe assertion. Enough to exercise the bus read and write paths.

#include <vector>

#include "sim/SimChip.h"

namespace tavrin::sim {

class SimMemoryChip : public SimChip {
public:
    SimMemoryChip(uint32_t size, bool writable, uint8_t fill = 0xFF);
    std::string name() const override { return writable_ ? "RAM" : "ROM"; }
    void onPins(const SocketPins& pins, int64_t now) override;
    int readData(const SocketPins& pins, int64_t now) override;
    void saveState(std::ostream& out) const override;
    bool loadState(std::istream& in) override;

    std::vector<uint8_t>& memory() { return memory_; }
    uint32_t addressOf(const SocketPins& pins) const { return pins.address & (size_ - 1); }
    int writes() const { return writes_; }

private:
    std::vector<uint8_t> memory_;
    uint32_t size_;
    bool writable_;
    bool lastStrobe_ = false;
    int writes_ = 0;
};

}  // namespace tavrin::sim
