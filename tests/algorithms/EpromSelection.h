#pragma once
// An EPROM chosen from the device menu with its simulated chip in the socket.

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimEprom.h"
#include "support/SimRig.h"

namespace tavrin::test {

// A rig with the selected EPROM's model in the socket.
struct EpromRig : SimRig {
    explicit EpromRig(const char* caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error(std::string("no device ") + caption);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimEprom*>(made.get());
        if (!chip) throw std::logic_error("no EPROM model");
        board.insert(std::move(made));
    }
    // Loads `image` as a file would: the buffer cleared to 0xFF, the image from index 0,
    // bufferLoaded = its length.
    void load(const std::vector<uint8_t>& image) {
        ClearBuf(ctx, 1);
        std::copy(image.begin(), image.end(), ctx.Buffer.begin());
        ctx.profile.bufferLoaded = uint32_t(image.size());
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    sim::SimEprom* chip = nullptr;
};

inline std::vector<uint8_t> RandomImage(size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(size);
    for (uint8_t& b : v) b = uint8_t(gen() & 0xFF);
    return v;
}

}  // namespace tavrin::test
