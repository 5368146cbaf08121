#pragma once
// A device chosen from the device menu with its own simulated chip in the socket, for the flash
// families' end-to-end tests.

#include <algorithm>
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
struct ChipRig : SimRig {
    explicit ChipRig(const char* caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error(std::string("no device ") + caption);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<Chip*>(made.get());
        if (!chip) throw std::logic_error(std::string("no model of its own for ") + caption);
        board.insert(std::move(made));
    }
    // Loads `image` as a file would: the buffer cleared to 0xFF, the image from index 0,
    // bufferLoaded = its length.
    void load(const std::vector<uint8_t>& image) {
        ClearBuf(ctx, 1);
        std::copy(image.begin(), image.end(), ctx.Buffer.begin());
        ctx.profile.bufferLoaded = uint32_t(image.size());
    }
    // Puts another model of the same kind into the socket.
    void replace(std::unique_ptr<Chip> other) {
        chip = other.get();
        board.insert(std::move(other));
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    bool chipHolds(const std::vector<uint8_t>& image, uint32_t at = 0) const {
        for (size_t i = 0; i < image.size(); ++i)
            if (chip->readCell(at + uint32_t(i)) != image[i]) return false;
        return true;
    }
    bool chipBlank() const {
        const std::vector<uint8_t>& c = chip->cells().cells();
        return std::all_of(c.begin(), c.end(), [](uint8_t b) { return b == 0xFF; });
    }
    Chip* chip = nullptr;
};

}  // namespace tavrin::test
