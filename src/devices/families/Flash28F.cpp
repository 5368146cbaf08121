// 28F flash with single-cycle commands (28F64 ... 28F001).
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 8 * K, .package = 28, .dip = 5},
                {.tag = 2, .size = 16 * K, .package = 28, .dip = 5},
                {.tag = 3, .size = 32 * K, .package = 28, .dip = 3},
                {.tag = 4, .size = 64 * K, .package = 28, .dip = 7},
                {.tag = 5, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 6, .size = 256 * K, .package = 32, .dip = 7},
                {.tag = 7, .size = 512 * K, .package = 32, .dip = 12},
                {.tag = 8, .size = 128 * K, .package = 32, .dip = 7, .flags = Pin30, .shiftAdr = 17},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = 3;
                p.epr64 = 1;
                p.tWP = 10;
                p.tWC = 30;
            },
    };
    return t;
}

}  // namespace

void M28F_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Flash28FFamily() {
    const std::vector<std::string> at = {"Flash 28Fxxx", "28Fxxx"};
    static const FamilyTable t{
        "M28F_Click",
        "28F flash",
        &M28F_Click,
        {
            {at, "28F64", 1},
            {at, "28F128", 2},
            {at, "28F256", 3},
            {at, "28F512", 4},
            {at, "28F010", 5},
            {at, "28F020", 6},
            {at, "28F040", 7},
            {at, "28F001", 8},
            {at, "Am28F080", 0, true, false},
        },
    };
    return t;
}

}  // namespace tavrin
