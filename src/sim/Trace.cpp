#include "sim/Trace.h"

#include <fstream>
#include <ostream>

namespace tavrin::sim {

namespace {

struct SignalInfo {
    const char* name;
    int width;
};
constexpr SignalInfo kSignals[size_t(Signal::Count)] = {
    {"address", 24}, {"data", 8},       {"data_out", 1},   {"vcc", 1},        {"vpp", 1},
    {"strobe", 1},   {"shift_clock", 1}, {"shift_data", 1}, {"read_clock", 1}, {"busy_pin11", 1},
};

void writeValue(std::ostream& out, int width, uint32_t value, char id) {
    if (width == 1) {
        out << (value ? '1' : '0') << id << '\n';
        return;
    }
    out << 'b';
    for (int bit = width - 1; bit >= 0; --bit) out << ((value >> bit) & 1 ? '1' : '0');
    out << ' ' << id << '\n';
}

}  // namespace

void Trace::sample(int64_t ticks, const uint32_t (&values)[size_t(Signal::Count)]) {
    for (size_t i = 0; i < size_t(Signal::Count); ++i) {
        if (initialised_ && values[i] == last_[i]) continue;
        last_[i] = values[i];
        changes_.push_back({ticks, Signal(i), values[i]});
    }
    initialised_ = true;
}

std::vector<uint32_t> Trace::history(Signal signal) const {
    std::vector<uint32_t> values;
    for (const Change& c : changes_)
        if (c.signal == signal) values.push_back(c.value);
    return values;
}

void Trace::writeVcd(std::ostream& out) const {
    out << "$timescale 100ps $end\n$scope module socket $end\n";
    for (size_t i = 0; i < size_t(Signal::Count); ++i)
        out << "$var wire " << kSignals[i].width << ' ' << char('!' + i) << ' ' << kSignals[i].name
            << " $end\n";
    out << "$upscope $end\n$enddefinitions $end\n";
    int64_t time = -1;
    for (const Change& c : changes_) {
        if (c.ticks != time) {
            time = c.ticks;
            out << '#' << time << '\n';
        }
        writeValue(out, kSignals[size_t(c.signal)].width, c.value, char('!' + size_t(c.signal)));
    }
}

bool Trace::writeVcdFile(const std::string& path) const {
    std::ofstream out(path);
    writeVcd(out);
    return bool(out);
}

}  // namespace tavrin::sim
