#pragma once
// A part chosen from the device menu with the simulated chip its entry gets in the socket.

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
struct PartRig : SimRig {
    explicit PartRig(const std::string& caption) {
        select(caption);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<Chip*>(made.get());
        if (!chip) throw std::logic_error("no model of the expected kind for " + caption);
        board.insert(std::move(made));
    }
    // Another menu entry for the chip already in the socket.
    void select(const std::string& caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error("no device " + caption);
        SelectDevice(ctx, *entry);
    }
    // Loads `image` as a file would: the buffer cleared to 0xFF, the image from index 0,
    // bufferLoaded = its length.
    void load(const std::vector<uint8_t>& image) {
        ClearBuf(ctx, 1);
        std::copy(image.begin(), image.end(), ctx.Buffer.begin());
        ctx.profile.bufferLoaded = uint32_t(image.size());
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    // Messages shown since index `from`, texts only.
    std::vector<std::string> textsSince(size_t from) const {
        std::vector<std::string> out;
        for (size_t i = from; i < ui.messages.size(); ++i) out.push_back(ui.messages[i].text);
        return out;
    }
    Chip* chip = nullptr;
};

}  // namespace tavrin::test
