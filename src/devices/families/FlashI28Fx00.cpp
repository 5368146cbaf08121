// i28Fx00 boot-block flash, 8/16 bit, and the 28F001BX-T.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

const char* const kI28F001WiringNote =
    "Device 28F001BX-T \n\n PCB3A (set Jumper)\n PCB3 want modify to PCB3A or \n SHORT ( PIN [1] "
    "<--WIRE--> PIN [30] )\n\n TavrinPCB short PIN[1]<->PIN[30] ) ";

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 256 * K, .package = 48, .dip = 20},
                {.tag = 102, .size = 512 * K, .package = 48, .dip = 20},
                {.tag = 103, .size = 1024 * K, .package = 48, .dip = 20},
                {.tag = 104, .size = 2048 * K, .package = 48, .dip = 20},
                {.tag = 201, .size = 128 * K, .package = 28001, .dip = 30},
            },
        .before =
            [](Context& ctx, int32_t tag) {
                // The board needs a wire or the PCB3A jumper for this part; say so before it is
                // used.
                if (tag == 201) ctx.ui().inform(kI28F001WiringNote);
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.skipFF = 1;
                p.eep = 19;
                p.tWP = 3;
                p.tWC = 20;
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void i28Fx00_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& FlashI28Fx00Family() {
    const std::vector<std::string> at = {"Flash 28Fxxx", "28Fx00    8/16bit"};
    static const FamilyTable t{
        "i28Fx00_Click",
        "i28Fx00 flash",
        &i28Fx00_Click,
        {
            {at, "i28F200", 101},
            {at, "i28F400", 102},
            {at, "i28F800", 103},
            {at, "i28F001BX-T", 201},
            {at, "i28F160", 0, true, false},
        },
    };
    return t;
}

}  // namespace tavrin
