#pragma once
// Which parts of the image a program pass writes. Empty (the normal case) means everything; a
// differential write fills it with the units whose chip contents differ from the image.

#include <cstdint>
#include <vector>

namespace tavrin {

struct WritePlan {
    uint32_t unit = 0;           // bytes per unit: the page, word or byte a write cycle takes
    std::vector<uint8_t> write;  // write[k] = 1: unit k (image bytes k*unit ...) is written

    bool active() const { return unit != 0; }
    // Whether the unit holding image index `index` is written; every index when no plan is set.
    bool writes(int64_t index) const {
        if (!active()) return true;
        if (index < 0) return false;
        const uint64_t k = uint64_t(index) / unit;
        return k < write.size() && write[k] != 0;
    }
    void clear() {
        unit = 0;
        write.clear();
    }
};

}  // namespace tavrin
