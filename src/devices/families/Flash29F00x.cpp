// 29F00x / AT49F00x boot-block flash with the 12 V "Temporary Sector Unprotect" option, and the
// 16-bit AT49F parts that are listed but not supported.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 128 * K, .package = 32, .dip = 16, .flags = ProtectEnabled},
                {.tag = 102, .size = 128 * K, .package = 32, .dip = 16},
                {.tag = 103, .size = 256 * K, .package = 32, .dip = 16, .flags = ProtectEnabled},
                {.tag = 104, .size = 256 * K, .package = 32, .dip = 16},
                {.tag = 202, .size = 512 * K, .package = 48, .dip = 20},
                {.tag = 203, .size = 4096 * K, .package = 48, .dip = 20},
                {.tag = 301, .size = 512 * K, .package = 8749, .dip = 20},
                {.tag = 302, .size = 1024 * K, .package = 8749, .dip = 20},
                {.tag = 303, .size = 2048 * K, .package = 8749, .dip = 20},
                {.tag = 304, .size = 4096 * K, .package = 8749, .dip = 20},
            },
        .before =
            [](Context& ctx, int32_t) {
                ctx.controls.cbProtectEnabled = false;
                ctx.profile.AT49F00x = 0;  // the box unchecked
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                ctx.controls.lbAdapter = "  TSOP40 ";
                p.skipFF = 1;
                p.eep = 23;
                p.tWP = 6;
                p.tWC = 40;
                p.sequ = 1;
                p.AT49F00x = 0;  // the state of the box, unchecked above
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void AT49F00x_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Flash29F00xFamily() {
    const std::vector<std::string> at = {"Flash 29/39/49Fxxx", "29/49F00x"};
    const std::vector<std::string> x00 = {"Flash 29/39/49Fxxx", "29Fx00    8/16bit"};
    const std::vector<std::string> at16 = {"Flash 29/39/49Fxxx", "AT49Fxxxx 16Bit"};
    static const FamilyTable t{
        "AT49F00x_Click",
        "29F00x flash",
        &AT49F00x_Click,
        {
            {at, "AT49F001", 101},
            {at, "SyncMOS F29F51001T", 101},
            {at, "AT49F001 (N)T", 102},
            {at, "29F002", 103},
            {at, "AT49F002", 103},
            {at, "ASD         AE49F2008", 103},
            {at, "AMIC        29F002T", 103},
            {at, "SyncMOS F29C51002T", 103},
            {at, "29F002 NT", 104},
            {at, "AT49F002 (N)T", 104},
            {at, "Am29F032 (32Mb)", 203},
            {at, "MBM29F004x", 301},
            {at, "MBM29F008x", 302},
            {at, "MBM29F016x", 303},
            {at, "MBM29F032x", 304},
            {x00, "AT49F4096A", 202},
            {at16, "AT49F1024", 0, true, false},
            {at16, "AT49F2048", 0, true, false},
            {at16, "AT49F4096", 0, true, false},
        },
    };
    return t;
}

}  // namespace tavrin
