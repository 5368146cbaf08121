#pragma once
// A serial EEPROM chosen from the device menu (or by its handler and Tag) with its simulated chip
// in the socket.

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
struct SerialRig : SimRig {
    // By menu caption.
    explicit SerialRig(const char* caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error(std::string("no device ") + caption);
        SelectDevice(ctx, *entry);
        insertModel();
    }
    // By handler and Tag, for entries the menu shows disabled.
    SerialRig(const char* handler, int32_t tag) {
        if (!SelectByHandler(ctx, handler, tag)) throw std::logic_error("no handler");
        insertModel();
    }
    void insertModel() {
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<Chip*>(made.get());
        if (!chip) throw std::logic_error("no serial model for the selection");
        board.insert(std::move(made));
    }
    // Loads `image` as a file would: the buffer cleared to 0xFF, the image from index 0,
    // bufferLoaded = its length.
    void load(const std::vector<uint8_t>& image) {
        ClearBuf(ctx, 1);
        std::copy(image.begin(), image.end(), ctx.Buffer.begin());
        ctx.profile.bufferLoaded = uint32_t(image.size());
    }
    bool chipHolds(const std::vector<uint8_t>& image, uint32_t at = 0) const {
        for (size_t i = 0; i < image.size(); ++i)
            if (chip->readCell(at + uint32_t(i)) != image[i]) return false;
        return true;
    }
    bool bufferHolds(const std::vector<uint8_t>& image) const {
        return std::equal(image.begin(), image.end(), ctx.Buffer.begin());
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    Chip* chip = nullptr;
};

}  // namespace tavrin::test
