// W27x and SST27SF EPROMs with electrical erase, and the MX26C4000 that programs like them.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 1, .size = 32 * K, .package = 28, .dip = 3, .flags = Vpp},
                {.tag = 2, .size = 64 * K, .package = 28, .dip = 4},
                {.tag = 3, .size = 128 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 4, .size = 256 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 5, .size = 512 * K, .package = 32, .dip = 10, .flags = Vpp},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = 24;
                p.tWP = 132;
                p.tWC = 15;
                p.addStep = 100;
            },
    };
    return t;
}

}  // namespace

void M27E_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& ElectricalEraseEpromFamily() {
    const std::vector<std::string> winbond = {"EPROM Electrical Erase", "Winbond 27E/27C"};
    const std::vector<std::string> sst = {"EPROM Electrical Erase", "SST27SFxxx"};
    const std::vector<std::string> mtp = {"EPROM Electrical Erase", "MTP MX26Cx000"};
    static const FamilyTable t{
        "M27E_Click",
        "Electrically erasable EPROM",
        &M27E_Click,
        {
            {winbond, "W27x256   (Vpe 14V)", 1},
            {winbond, "W27x512  (Vpe 14V)", 2},
            {winbond, "W27x010  (Vpe 14V)", 3},
            {winbond, "W27x020  (Vpe 14V)", 4},
            {winbond, "W27x040  (Vpe 14V)", 5},
            {sst, "SST27SF256  (Vpe 12V)", 1},
            {sst, "SST27SF512  (Vpe 12V)", 2},
            {sst, "SST27SF010  (Vpe 12V)", 3},
            {sst, "SST27SF020  (Vpe 12V)", 4},
            {sst, "SST27SF040  (Vpe 12V)", 5},
            {mtp, "MX26C4000 (Vep 12.5V)", 5},
        },
    };
    return t;
}

}  // namespace tavrin
