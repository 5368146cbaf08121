// 27Cxxx CMOS UV EPROMs, 8 and 16 bit.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                // The parts sold as 27C16 and 27C32 are CMOS twins of the 2716 and 2732 and
                // program like them: one 45-55 ms pulse. The 2716 path gives 2 x tWP (50.0 ms),
                // the growing-pulse path starts at tWP (50.0 ms); 0.8381 us a unit.
                {.tag = 215, .size = 2 * K, .package = 2716, .dip = 27, .tWP = k2716HalfPulse},
                {.tag = 201, .size = 4 * K, .package = 2732, .dip = 9, .tWP = k2732Pulse},
                {.tag = 202, .size = 8 * K, .package = 28, .dip = 1, .flags = Vpp | Pgm},
                {.tag = 203, .size = 16 * K, .package = 28, .dip = 2, .flags = Vpp | Pgm},
                {.tag = 204, .size = 32 * K, .package = 28, .dip = 3, .flags = Vpp},
                {.tag = 205, .size = 64 * K, .package = 28, .dip = 4},
                {.tag = 206, .size = 128 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 207, .size = 256 * K, .package = 32, .dip = 7, .flags = Vpp | Pgm},
                {.tag = 208, .size = 512 * K, .package = 32, .dip = 10, .flags = Vpp},
                {.tag = 209, .size = 1024 * K, .package = 32, .dip = 21},
                {.tag = 210, .size = 1024 * K, .package = 32, .dip = 21, .tWP = 55},
                {.tag = 301, .size = 128 * K, .package = 8749, .dip = 7, .flags = Pgm},
                {.tag = 302, .size = 256 * K, .package = 8749, .dip = 7, .flags = Pgm},
                {.tag = 303, .size = 512 * K, .package = 8749, .dip = 10},
                {.tag = 401, .size = 512 * K, .package = 8749, .dip = 32, .flags = Pgm},
                {.tag = 402, .size = 1024 * K, .package = 8749, .dip = 32, .flags = Pgm},
                {.tag = 403, .size = 2048 * K, .package = 8749, .dip = 32, .flags = Pgm},
                {.tag = 404, .size = 4096 * K, .package = 8749, .dip = 33},
            },
        .before = [](Context& ctx, int32_t) { ctx.profile.tWP = 140; },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = 0;
                p.tWC = 20;
                p.addStep = 50;
                // The 16-bit parts sit in an adapter: DIP40 up to the 27C4096, DIP42 above.
                if (tag > 400)
                    ctx.controls.lbAdapter = "EPROM 16bit (DIP42)";
                else if (tag > 300)
                    ctx.controls.lbAdapter = "EPROM 16bit (DIP40)";
            },
    };
    return t;
}

}  // namespace

void M27C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& UvEprom27CFamily() {
    const std::vector<std::string> at = {"EPROM", "27Cxxx  "};
    static const FamilyTable t{
        "M27C_Click",
        "UV EPROM",
        &M27C_Click,
        {
            {at, "27C16  (PCB3)", 215},
            {at, "27C32  (PCB3)", 201},
            {at, "27C64", 202},
            {at, "27C128", 203},
            {at, "27C256", 204},
            {at, "27C512", 205},
            {at, "27C010/1000/1001", 206},
            {at, "27C020/2000/2001", 207},
            {at, "27C040/4000/4001", 208},
            {at, "27C080/801   (PCB3)", 209},
            {at, "AT27C080 (pro 50uS)", 210},
            {at, "27C1024, 27C210", 301},
            {at, "27C2048, 27C220", 302},
            {at, "27C4096, 27C240", 303},
            {at, "27C400", 401},
            {at, "27C800", 402},
            {at, "27C160", 403},
            {at, "27C322", 404},
        },
    };
    return t;
}

}  // namespace tavrin
