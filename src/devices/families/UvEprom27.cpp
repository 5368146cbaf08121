// 27xxx NMOS UV EPROMs: long pulses, large retry steps.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                // 2 x tWP = 50.0 ms, inside the 2716's 45-55 ms program pulse.
                {.tag = 101, .size = 2 * K, .package = 2716, .dip = 27, .tWP = k2716HalfPulse},
                {.tag = 102, .size = 4 * K, .package = 2732, .dip = 9},
                {.tag = 103, .size = 8 * K, .package = 28, .dip = 1, .flags = Vpp | Pgm},
                {.tag = 104, .size = 16 * K, .package = 28, .dip = 2, .flags = Vpp | Pgm},
                {.tag = 105, .size = 32 * K, .package = 28, .dip = 3, .flags = Vpp},
                {.tag = 106, .size = 64 * K, .package = 28, .dip = 4},
                {.tag = 107, .size = 128 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 108, .size = 256 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 109, .size = 512 * K, .package = 32, .dip = 10, .flags = Vpp},
            },
        .before =
            [](Context& ctx, int32_t) {
                DeviceProfile& p = ctx.profile;
                p.eep = 13;
                p.tWP = 1200;
                p.tWC = 50;
                p.addStep = 200;
            },
    };
    return t;
}

}  // namespace

void M27_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& UvEprom27Family() {
    const std::vector<std::string> at = {"EPROM", "27xxx"};
    static const FamilyTable t{
        "M27_Click",
        "NMOS UV EPROM",
        &M27_Click,
        {
            {at, "2716  (PCB3)", 101},
            {at, "2732  (PCB3)", 102},
            {at, "2764", 103},
            {at, "27128", 104},
            {at, "27256", 105},
            {at, "27512", 106},
            {at, "27020", 108},
            {at, "27010", 107},
            {at, "27040", 109},
        },
    };
    return t;
}

}  // namespace tavrin
