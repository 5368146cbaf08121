// Am29Fx00 8/16-bit flash in TSOP48 (AAAA/5555 command addresses).
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 256 * K, .package = 48, .dip = 20},
                {.tag = 102, .size = 512 * K, .package = 48, .dip = 20},
                {.tag = 103, .size = 1024 * K, .package = 48, .dip = 20},
                {.tag = 104, .size = 2048 * K, .package = 48, .dip = 20},
                {.tag = 105, .size = 4096 * K, .package = 48, .dip = 20},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                ctx.controls.cb5555Caption = "( AAAA,5555,AAAA.. )";
                p.sequ = 1;
                ctx.controls.cb5555Visible = true;
                p.skipFF = 1;
                ctx.controls.cbProtectEnabled = true;
                p.AT49F00x = 0;  // the box unchecked
                p.eep = 15;
                p.tWP = 2;
                p.tWC = 30;
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void Am29Fx00_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Flash29Fx00Family() {
    const std::vector<std::string> at = {"Flash 29/39/49Fxxx", "29Fx00    8/16bit"};
    static const FamilyTable t{
        "Am29Fx00_Click",
        "29Fx00 flash",
        &Am29Fx00_Click,
        {
            {at, "Am29F200", 101},
            {at, "Am29F400", 102},
            {at, "Am29F800", 103},
            {at, "Am29F160", 104},
            {at, "Am29F320", 105},
        },
    };
    return t;
}

}  // namespace tavrin
