// The chip files of the simulated board (--chip-file): the device line picks the catalogue part,
// whose chip model then reads the rest. A file that loads must save and load again to the same
// bytes, so that a chip kept between runs never drifts.
#include <cstdlib>
#include <sstream>
#include <string>
#include <unordered_map>

#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/ChipFile.h"

namespace {

using namespace tavrin;

// Parts by caption, each with a context that has it selected (the chip model reads the profile).
const Context* ContextFor(const std::string& caption) {
    // Kept for the whole run (never destroyed, so the leak check at exit still sees them).
    static auto* contexts = new std::unordered_map<std::string, Context*>();
    static const std::unordered_map<std::string, const DeviceEntry*> parts = [] {
        std::unordered_map<std::string, const DeviceEntry*> m;
        for (const DeviceEntry& e : DeviceCatalogue())
            if (e.selectable && e.enabled) m.emplace(e.caption, &e);
        return m;
    }();
    const auto part = parts.find(caption);
    if (part == parts.end()) return nullptr;
    Context*& ctx = (*contexts)[caption];
    if (!ctx) {
        ctx = new Context();
        SelectDevice(*ctx, *part->second);
    }
    return ctx;
}

std::string Saved(const sim::SimChip& chip) {
    std::ostringstream out;
    chip.saveState(out);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    // The second line names the device.
    const size_t first = file.find('\n');
    if (first == std::string::npos) return 0;
    const size_t second = file.find('\n', first + 1);
    const std::string caption = file.substr(
        first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    const Context* ctx = ContextFor(caption);
    if (!ctx) return 0;

    sim::SimBoard board;
    board.insert(MakeSimChip(*ctx));
    std::istringstream in(file);
    std::string error;
    if (!sim::RestoreChip(board, in, caption, "fuzz", error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (!board.chip()) return 0;
    const std::string once = Saved(*board.chip());
    std::unique_ptr<sim::SimChip> again = MakeSimChip(*ctx);
    std::istringstream reread(once);
    if (!again->loadState(reread) || Saved(*again) != once) std::abort();
    return 0;
}
