#pragma once
// A JEDEC flash chosen from the device menu with its simulated chip in the socket.

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/parallel/SimJedec29F.h"
#include "support/SimRig.h"

namespace tavrin::test {

struct JedecRig : SimRig {
    explicit JedecRig(const char* caption) {
        const DeviceEntry* entry = FindDevice(caption);
        if (!entry) throw std::logic_error(std::string("no device ") + caption);
        SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimJedec29F*>(made.get());
        if (!chip) throw std::logic_error(std::string("no JEDEC model for ") + caption);
        board.insert(std::move(made));
    }
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
    bool fault(const std::string& text) {
        std::string error;
        return ApplySimFault(board, text, error);
    }
    bool socketOff() const { return !board.vccOn() && !board.vppOn(); }
    sim::SimJedec29F* chip = nullptr;
};

inline std::vector<uint8_t> JedecImage(size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(size);
    for (uint8_t& b : v) b = uint8_t(gen() & 0xFF);
    return v;
}

}  // namespace tavrin::test
