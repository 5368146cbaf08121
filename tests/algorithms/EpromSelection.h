#pragma once
// EPROM selections made the way the 27Cxxx and 27xxx menu handlers make them, and the matching
// simulated chip in the socket.

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "sim/ChipFactory.h"
#include "sim/SimEprom.h"
#include "support/SimRig.h"

namespace tavrin::test {

struct EpromEntryForTest {
    int32_t eep, tag;
    const char* caption;
    int32_t size, package, dip;
    bool vpp, pgm;
    int32_t tWP;  // 0 = the handler's default
};

inline const EpromEntryForTest kTestEproms[] = {
    {13, 101, "2716  (PCB3)", 2048, 2716, 27, false, false, 25000},
    {0, 202, "27C64", 8192, 28, 1, true, true, 0},
    {0, 204, "27C256", 32768, 28, 3, true, false, 0},
    {0, 205, "27C512", 65536, 28, 4, false, false, 0},
    {0, 209, "27C080/801   (PCB3)", 1048576, 32, 21, false, false, 0},
    {0, 301, "27C1024, 27C210", 131072, 8749, 7, false, true, 0},
    {0, 401, "27C400", 524288, 8749, 32, false, true, 0},
    {0, 404, "27C322", 4194304, 8749, 33, false, false, 0},
};

// M27C_Click (eep 0: tWP 140, then the entry, then tWC 20, addStep 50) and M27_Click (eep 13:
// tWP 1200, tWC 50, addStep 200, then the entry).
inline void SelectEprom(Context& ctx, int32_t eep, int32_t tag) {
    for (const EpromEntryForTest& e : kTestEproms) {
        if (e.eep != eep || e.tag != tag) continue;
        DeviceProfile& p = ctx.profile;
        p.DeviceID = e.tag;
        ctx.controls.edDevice = e.caption;
        ResetProfile(ctx);
        p.tWP = eep == 0 ? 140 : 1200;
        if (eep == 13) p.eep = 13, p.tWC = 50, p.addStep = 200;
        if (e.tWP) p.tWP = e.tWP;
        SetBufferSize(ctx, e.size);
        p.package = e.package;
        p.keepVpp = e.vpp;
        p.epr64 = e.pgm;
        if (eep == 0) p.eep = 0, p.tWC = 20, p.addStep = 50;
        UpdateShift(p);
        p.DIP = e.dip;
        return;
    }
    throw std::logic_error("no such test EPROM");
}

// A rig with the selected EPROM's model in the socket.
struct EpromRig : SimRig {
    EpromRig(int32_t eep, int32_t tag) {
        SelectEprom(ctx, eep, tag);
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
