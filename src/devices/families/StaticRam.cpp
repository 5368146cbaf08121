// Static RAM test: the RAM is written with test patterns, so its whole size counts as loaded.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 2 * K, .package = 2816, .dip = 26, .shiftAdr = 10},
                {.tag = 2, .size = 8 * K, .package = 28, .dip = 25, .flags = Pin28, .shiftAdr = 13},
                {.tag = 3, .size = 32 * K, .package = 28, .dip = 25, .flags = Swap, .shiftAdr = 15},
                {.tag = 4,
                 .size = 64 * K,
                 .package = 32,
                 .dip = 24,
                 .flags = Swap | Pin30,
                 .shiftAdr = 18},
                {.tag = 5,
                 .size = 128 * K,
                 .package = 32,
                 .dip = 24,
                 .flags = Swap | Pin30,
                 .shiftAdr = 18},
            },
        .before = [](Context& ctx, int32_t) { ctx.controls.edOffsetEnabled = false; },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.fixedShift = 1;
                p.PatternAdr = 1u << (static_cast<uint32_t>(p.ShiftAdr) & 31u);
                p.eep = 21;
                p.tWP = 3;
                p.tWC = 5;
                p.epr64 = 1;
                p.bufferLoaded = static_cast<uint32_t>(p.bufferSize);
            },
    };
    return t;
}

}  // namespace

void SRAM_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& StaticRamFamily() {
    const std::vector<std::string> at = {"SRAM"};
    static const FamilyTable t{
        "SRAM_Click",
        "SRAM",
        &SRAM_Click,
        {
            {at, "6116      2KB", 1},
            {at, "6264      8KB", 2},
            {at, "62256    32KB", 3},
            {at, "62512    64KB", 4},
            {at, "628128  128KB", 5},
            {at, "628512  512KB", 0, false, false},
            {at, "684000  (512KB)", 0, false, false},
        },
    };
    return t;
}

}  // namespace tavrin
