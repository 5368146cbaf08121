// MX26C1000 and MX26C2000 multiple-time-programmable EPROMs.
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
                p.eep = 30;
                p.epr64 = 1;
                p.tWP = 5;
                p.tWC = 25;
            },
    };
    return t;
}

}  // namespace

void MX26C10001Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Mx26cFamily() {
    const std::vector<std::string> at = {"EPROM Electrical Erase", "MTP MX26Cx000"};
    static const FamilyTable t{
        "MX26C10001Click",
        "MTP EPROM",
        &MX26C10001Click,
        {
            {at, "MX26C1000", 101},
            {at, "MX26C2000", 102},
        },
    };
    return t;
}

}  // namespace tavrin
