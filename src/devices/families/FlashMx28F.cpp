// MX28F2000 flash.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 102, .size = 256 * K, .package = 32, .dip = 7},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = 31;
                p.epr64 = 1;
                p.tWP = 10;
                p.tWC = 30;
            },
    };
    return t;
}

}  // namespace

void MX28F20001Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& FlashMx28FFamily() {
    const std::vector<std::string> at = {"Flash 28Fxxx", "MX28Fx000"};
    static const FamilyTable t{
        "MX28F20001Click",
        "MX28F flash",
        &MX28F20001Click,
        {
            {at, "MX28F2000", 102},
            {at, "MX28F1000", 0, true, false},
        },
    };
    return t;
}

}  // namespace tavrin
