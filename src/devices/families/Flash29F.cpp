// JEDEC 5 V flash: 29F, 39SF/49F, MXIC 29F and the 3.3 V SST parts.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 8 * K, .package = 28, .dip = 5},
                {.tag = 102, .size = 16 * K, .package = 28, .dip = 5},
                {.tag = 103, .size = 32 * K, .package = 28, .dip = 18},
                {.tag = 104, .size = 64 * K, .package = 32, .dip = 7},
                {.tag = 105, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 106, .size = 256 * K, .package = 32, .dip = 7},
                {.tag = 107, .size = 512 * K, .package = 32, .dip = 19},
                {.tag = 201, .size = 64 * K, .package = 28, .dip = 7},
                {.tag = 202, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 203, .size = 256 * K, .package = 32, .dip = 7},
                {.tag = 204, .size = 512 * K, .package = 32, .dip = 19},
                {.tag = 301, .size = 64 * K, .package = 28, .dip = 7},
                {.tag = 302, .size = 128 * K, .package = 32, .dip = 7},
                {.tag = 303, .size = 256 * K, .package = 32, .dip = 7},
                {.tag = 304, .size = 512 * K, .package = 32, .dip = 19},
            },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.skipFF = 1;
                if (tag < 200) {  // 29Fxxx: 5555/2AAA commands, the user may switch
                    p.eep = 4;
                    p.tWP = 3;
                    p.tWC = 30;
                    p.sequ = 1;
                    ctx.controls.cb5555Visible = true;
                } else if (tag < 300) {  // 39SF/49F: always 5555/2AAA
                    p.eep = 12;
                    p.tWP = 2;
                    p.tWC = 20;
                    p.sequ = 1;
                } else if (tag < 400) {  // MXIC 29F: 555/2AA unless the user says otherwise
                    p.eep = 27;
                    p.tWP = 3;
                    p.tWC = 30;
                    ctx.controls.cb5555Visible = true;
                }
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void M29F_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Flash29FFamily() {
    const std::vector<std::string> am = {"Flash 29/39/49Fxxx", "Am29Fxxx"};
    const std::vector<std::string> f49 = {"Flash 29/39/49Fxxx", "39/49Fxxx"};
    const std::vector<std::string> mx = {"Flash 29/39/49Fxxx", "MXIC 29Fxxx"};
    const std::vector<std::string> lv = {"29VF/39LF/VF/49LFxxx"};
    static const FamilyTable t{
        "M29F_Click",
        "JEDEC flash",
        &M29F_Click,
        {
            {am, "29F64", 101},
            {am, "29F128", 102},
            {am, "29F256", 103, false},
            {am, "29F512", 104},
            {am, "29F010", 105},
            {am, "29F020", 106},
            {am, "29F040", 107},
            {f49, "39SF/49F512", 201},
            {f49, "39SF/49F010", 202},
            {f49, "39SF/49F020", 203},
            {f49, "39SF/49F040", 204},
            {f49, "SyncMOS F29F31001", 202},
            {f49, "SyncMOS F29F31002", 203},
            {mx, "MX29F040", 304},
            {lv, "SST29VF512", 104},
            {lv, "SST29VF010", 105},
            {lv, "SST29VF020", 106},
            {lv, "SST29VF040", 107},
            {lv, "SST39LF/VF512", 201},
            {lv, "SST39LF/VF010", 202},
            {lv, "SST29LF/VF020", 203},
            {lv, "SST39LF/VF040", 204},
        },
    };
    return t;
}

}  // namespace tavrin
