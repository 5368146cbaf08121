// The kept state of every chip model (the command-line tool's --chip-file): whatever was saved
// loads back to the same state, and a file cut short or garbled anywhere is refused whole.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "core/Context.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"

namespace tavrin {
namespace {

std::string Saved(const sim::SimChip& chip) {
    std::ostringstream out;
    chip.saveState(out);
    return out.str();
}

bool Loads(const Context& ctx, const std::string& state) {
    std::unique_ptr<sim::SimChip> chip = MakeSimChip(ctx);
    std::istringstream in(state);
    return chip->loadState(in);
}

// The smallest part of every family code that has a chip model.
std::vector<const DeviceEntry*> SmallestOfEachFamily() {
    std::map<int, const DeviceEntry*> smallest;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!e.selectable || !e.enabled) continue;
        auto [it, fresh] = smallest.try_emplace(e.eep, &e);
        if (!fresh && e.size < it->second->size) it->second = &e;
    }
    std::vector<const DeviceEntry*> parts;
    for (auto& [eep, e] : smallest) parts.push_back(e);
    return parts;
}

TEST(ChipState, EveryModelRefusesCutAndGarbledStateAndKeepsWhatLoads) {
    int models = 0;
    for (const DeviceEntry* part : SmallestOfEachFamily()) {
        SCOPED_TRACE(part->caption);
        Context ctx;
        SelectDevice(ctx, *part);
        std::unique_ptr<sim::SimChip> chip = MakeSimChip(ctx);
        if (!chip) continue;
        ++models;
        // A state worth keeping: some faults where the model takes them, then whatever it holds.
        sim::SimBoard board;
        board.insert(std::move(chip));
        std::string error;
        ApplySimFault(board, "stuck:0x3:1=0", error);
        ApplySimFault(board, "slow:0x5:3", error);
        const std::string good = Saved(*board.chip());
        ASSERT_FALSE(good.empty());
        ASSERT_TRUE(Loads(ctx, good));
        // Saved again after loading: the same bytes.
        {
            std::unique_ptr<sim::SimChip> again = MakeSimChip(ctx);
            std::istringstream in(good);
            ASSERT_TRUE(again->loadState(in));
            EXPECT_TRUE(Saved(*again) == good);
        }
        // Cut at every line end and at a sample of other places.
        std::vector<size_t> cuts = {0, 1, good.size() / 2, good.size() - 1};
        for (size_t i = 0; i < good.size() && i < 4096; ++i)
            if (good[i] == '\n') cuts.push_back(i), cuts.push_back(i + 1);
        std::mt19937 rng(unsigned(part->eep));
        for (int i = 0; i < 32; ++i) cuts.push_back(rng() % good.size());
        for (size_t cut : cuts)
            if (cut < good.size())
                EXPECT_FALSE(Loads(ctx, good.substr(0, cut)))
                    << "cut at " << cut << " of " << good.size();
        // The model's own header line garbled (plain memory dumps have none).
        if (good[0] >= 'a' && good[0] <= 'z') {
            std::string garbled = good;
            garbled[0] = '#';
            EXPECT_FALSE(Loads(ctx, garbled));
        }
    }
    EXPECT_GE(models, 20);
}

}  // namespace
}  // namespace tavrin
