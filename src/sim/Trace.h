#pragma once
// A record of socket pin changes with their virtual times, exportable as a VCD file for a
// waveform viewer.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace tavrin::sim {

enum class Signal : uint8_t { Address, Data, DataOut, Vcc, Vpp, Strobe, ShiftClock, ShiftData, ReadClock, Busy, Count };

class Trace {
public:
    struct Change {
        int64_t ticks;  // tenths of a nanosecond
        Signal signal;
        uint32_t value;
    };

    void enable(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }
    void clear() { changes_.clear(); initialised_ = false; }
    // Records the signals that differ from their last recorded values.
    void sample(int64_t ticks, const uint32_t (&values)[size_t(Signal::Count)]);
    const std::vector<Change>& changes() const { return changes_; }
    // Values of one signal in order, for tests.
    std::vector<uint32_t> history(Signal signal) const;

    void writeVcd(std::ostream& out) const;
    bool writeVcdFile(const std::string& path) const;

private:
    bool enabled_ = false;
    bool initialised_ = false;
    uint32_t last_[size_t(Signal::Count)] = {};
    std::vector<Change> changes_;
};

}  // namespace tavrin::sim
