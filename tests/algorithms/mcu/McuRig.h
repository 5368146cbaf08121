#pragma once
// A microcontroller chosen from the device menu with its simulated chip in the socket.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "support/SimRig.h"

namespace tavrin::test {

template <typename Chip>
struct McuRig : SimRig {
    explicit McuRig(const std::string& caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error("no device " + caption);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<Chip*>(made.get());
        if (!chip) throw std::logic_error("no model for " + caption);
        board.insert(std::move(made));
    }
    // As a file load would leave it: buffer cleared to `fill`, image from 0, bufferLoaded = length.
    void load(const std::vector<uint8_t>& image, int fill = 1) {
        ClearBuf(ctx, fill);
        std::copy(image.begin(), image.end(), ctx.Buffer.begin());
        ctx.profile.bufferLoaded = uint32_t(image.size());
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    Chip* chip = nullptr;
};

}  // namespace tavrin::test
