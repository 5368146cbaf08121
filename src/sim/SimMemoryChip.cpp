#include "sim/SimMemoryChip.h"

#include <istream>
#include <ostream>

namespace tavrin::sim {

SimMemoryChip::SimMemoryChip(uint32_t size, bool writable, uint8_t fill)
    : memory_(size, fill), size_(size), writable_(writable) {}

void SimMemoryChip::onPins(const SocketPins& pins, int64_t) {
    const bool rising = pins.strobe && !lastStrobe_;
    lastStrobe_ = pins.strobe;
    if (writable_ && rising && pins.vcc && pins.dataOut) {
        memory_[addressOf(pins)] = pins.drivenData();
        ++writes_;
    }
}

int SimMemoryChip::readData(const SocketPins& pins, int64_t) {
    if (!pins.vcc || !pins.outputEnabled()) return -1;
    return memory_[addressOf(pins)];
}

void SimMemoryChip::saveState(std::ostream& out) const {
    out.write(reinterpret_cast<const char*>(memory_.data()), std::streamsize(memory_.size()));
}

bool SimMemoryChip::loadState(std::istream& in) {
    in.read(reinterpret_cast<char*>(memory_.data()), std::streamsize(memory_.size()));
    return bool(in);
}

}  // namespace tavrin::sim
