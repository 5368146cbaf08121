// DS12xx non-volatile SRAM modules.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 2 * K, .package = 2816, .dip = 26, .shiftAdr = 10},
                {.tag = 2, .size = 8 * K, .package = 28, .dip = 25, .shiftAdr = 12},
                {.tag = 3, .size = 32 * K, .package = 28, .dip = 25, .flags = Swap, .shiftAdr = 15},
                {.tag = 4,
                 .size = 128 * K,
                 .package = 32,
                 .dip = 24,
                 .flags = Swap,
                 .shiftAdr = 18},
                {.tag = 5,
                 .size = 256 * K,
                 .package = 32,
                 .dip = 24,
                 .flags = Swap,
                 .shiftAdr = 18},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.fixedShift = 1;
                p.PatternAdr = 1u << (static_cast<uint32_t>(p.ShiftAdr) & 31u);
                p.eep = 20;
                p.tWP = 3;
                p.tWC = 5;
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void DS12XX_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Ds12xxFamily() {
    const std::vector<std::string> at = {"DS12xx"};
    static const FamilyTable t{
        "DS12XX_Click",
        "NV SRAM",
        &DS12XX_Click,
        {
            {at, "DS1220  2KB", 1},
            {at, "DS1225  8KB", 2},
            {at, "DS1230  32KB", 3},
            {at, "DS1245  128KB", 4},
            {at, "DS1249  256KB", 5},
        },
    };
    return t;
}

}  // namespace tavrin
