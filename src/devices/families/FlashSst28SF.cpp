// SST28SF040A and LE28F4001 flash.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 512 * K, .tWP = 6, .tWC = 40},
                {.tag = 10, .size = 512 * K, .tWP = 7, .tWC = 55},
            },
        .after =
            [](Context& ctx, int32_t tag, int32_t& dip) {
                DeviceProfile& p = ctx.profile;
                p.package = 32;
                p.eep = tag > 8 ? 26 : 25;
                p.epr64 = 1;
                dip = 19;
            },
    };
    return t;
}

}  // namespace

void SST28xF040A1Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& FlashSst28SFFamily() {
    const std::vector<std::string> at = {"Flash 28Fxxx", "SST28xF0x0, 4001"};
    static const FamilyTable t{
        "SST28xF040A1Click",
        "SST28SF flash",
        &SST28xF040A1Click,
        {
            {at, "SST28xF040A", 1},
            {at, "LE28F4001", 10},
        },
    };
    return t;
}

}  // namespace tavrin
