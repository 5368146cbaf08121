// 28Cxx parallel EEPROMs, written byte by byte.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 8 * K, .package = 28, .dip = 5},
                {.tag = 2, .size = 16 * K, .package = 28, .dip = 5},
                // The 28C256 takes A14 where a 32 KB size alone would leave it out.
                {.tag = 3, .size = 32 * K, .package = 28, .dip = 25, .flags = Swap, .shiftAdr = 15},
                {.tag = 4, .size = 64 * K, .package = 28, .dip = 7},
                {.tag = 5, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 6, .size = 256 * K, .package = 32, .dip = 7},
                {.tag = 7, .size = 512 * K, .package = 32, .dip = 19},
                {.tag = 8, .size = 2 * K, .package = 28, .dip = 5},
                {.tag = 9, .size = 2 * K, .package = 2816, .dip = 26},
                {.tag = 10, .size = 2 * K, .package = 2816, .dip = 26, .tWP = 500, .tWC = 10000},
                {.tag = 11, .size = 8 * K, .package = 28, .dip = 5, .tWP = 500, .tWC = 10000},
            },
        .before =
            [](Context& ctx, int32_t) {
                ctx.profile.tWP = 120;
                ctx.profile.tWC = 1000;
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                ctx.profile.eep = 5;
                ctx.profile.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void M28C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Eeprom28CFamily() {
    const std::vector<std::string> at = {"EEPROM", "28Cxxx"};
    static const FamilyTable t{
        "M28C_Click",
        "EEPROM",
        &M28C_Click,
        {
            {at, "28C64/65", 1},
            {at, "28C128", 2},
            {at, "28C256", 3},
            {at, "28C512", 4, false},
            {at, "28C010", 5},
            {at, "28C020", 6},
            {at, "28C040", 7},
            {at, "28C16A    DIP28", 8},
            {at, "28C16      DIP24", 9},
            {at, "XLS2816  DIP24", 10},
            {at, "XLS2864", 11},
        },
    };
    return t;
}

}  // namespace tavrin
