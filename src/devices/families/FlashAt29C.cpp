// Sector-programmed flash: AT29C/AT29LV (eep 9), W29EE/W29C, SST29 and PH29EE (eep 22). The
// bracketed number of a caption is the sector size.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 10, .size = 32 * K, .package = 28, .dip = 28, .flags = Swap, .ssize = 64},
                {.tag = 11,
                 .size = 32 * K,
                 .package = 29256,
                 .dip = 29,
                 .flags = Swap,
                 .ssize = 64},
                {.tag = 1, .size = 64 * K, .package = 32, .dip = 7, .ssize = 128},
                {.tag = 2, .size = 128 * K, .package = 32, .dip = 7, .ssize = 128},
                {.tag = 3, .size = 256 * K, .package = 32, .dip = 7, .ssize = 256},
                {.tag = 4, .size = 512 * K, .package = 32, .dip = 19, .ssize = 256},
                {.tag = 5, .size = 512 * K, .package = 32, .dip = 19, .ssize = 512},
                {.tag = 6, .size = 64 * K, .package = 32, .dip = 7, .ssize = 128, .eep = 22},
                {.tag = 7, .size = 128 * K, .package = 32, .dip = 7, .ssize = 128, .eep = 22},
                {.tag = 8, .size = 256 * K, .package = 32, .dip = 7, .ssize = 128, .eep = 22},
                {.tag = 9, .size = 512 * K, .package = 32, .dip = 19, .ssize = 256, .eep = 22},
            },
        .before =
            [](Context& ctx, int32_t) {
                DeviceProfile& p = ctx.profile;
                p.eep = 9;
                p.tWP = 2;
                p.tWC = 15000;
                p.epr64 = 1;
                // Whole sectors are written from address 0: no offset.
                p.Offset = 0;
                // Built, not assigned from a literal: GCC 12 warns falsely on the latter.
                ctx.controls.edOffsetText = std::string(1, '0');
                ctx.controls.edOffsetEnabled = false;
            },
    };
    return t;
}

}  // namespace

void AT29C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& FlashAt29CFamily() {
    const std::vector<std::string> at = {"Flash  AT29C/29EExxx"};
    const std::vector<std::string> lv = {"AT29LVxxx"};
    static const FamilyTable t{
        "AT29C_Click",
        "Sector flash",
        &AT29C_Click,
        {
            {at, "AT29C256    tavrin", 10},   {at, "AT29C256    PCB3/3A", 11},
            {at, "AT29C512      (128)", 1},   {at, "AT29C010      (128)", 2},
            {at, "ASD  AE29F1008  (128)", 2}, {at, "AT29C020      (256)", 3},
            {at, "ASD  AE29F2008  (256)", 3}, {at, "AT29C040A    (256)", 4},
            {at, "AT29C040      (512)", 5},   {at, "W29EE512/C512   (128)", 6},
            {at, "W29EE011/C010   (128)", 7}, {at, "W29EE012   (128)", 7},
            {at, "SST PH29EE010  (128)", 7},  {at, "SST29LE/VE010  (128)", 7},
            {at, "W29C020     (128)", 8},     {at, "SST29LE/VE020  (128)", 8},
            {at, "W29C040/C042   (256)", 9},  {lv, "AT29LV256    (64)", 0, true, false},
            {lv, "AT29LV512    (128)", 1},    {lv, "AT29LV010    (128)", 2},
            {lv, "AT29LV020    (256)", 3},    {lv, "AT29LV040A  (256)", 4},
            {lv, "AT29LV040    (512)", 5},
        },
    };
    return t;
}

}  // namespace tavrin
