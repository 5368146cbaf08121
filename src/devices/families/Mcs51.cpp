// MCS-51 microcontrollers: the 40-pin AT89C5x, AT89S, 87C5x and SST89C5x parts, and the 20-pin
// AT89Cx051. Both handlers start the MCS-51 timing record from its defaults.
#include "devices/families/McuFamilies.h"

namespace tavrin {

namespace {

constexpr int32_t kMcs51ShiftAdr = 18;  // mode pins P2.6, P2.7, P3.6, P3.7 on stages 15 to 18

// What a 40-pin part changes in the timing record after the family's common values.
struct Mcs51Row {
    int32_t tag;
    int32_t at89S = 0, tWP = 15, tWC = 2200, Pulses = 1, tWPb = 10, tWPe = 25000, ird_lbit = 0;
    uint8_t tErase = 0;
    bool uvEprom = false;
};

const Mcs51Row kMcs51Rows[] = {
    {.tag = 2},
    {.tag = 3},
    {.tag = 4},
    {.tag = 5, .at89S = 1, .tWP = 30, .ird_lbit = 1},
    {.tag = 6, .at89S = 1, .tWP = 30, .ird_lbit = 1},
    {.tag = 7, .tWP = 10, .tWC = 100, .tWPb = 120, .tWPe = 5, .ird_lbit = 1, .tErase = 1},
    {.tag = 8, .tWP = 5, .tWC = 80, .tWPb = 120, .tWPe = 3, .ird_lbit = 1, .tErase = 1},
    {.tag = 9, .tWP = 110, .Pulses = 25, .uvEprom = true},
    {.tag = 10, .tWP = 110, .Pulses = 25, .uvEprom = true},
    {.tag = 11, .tWP = 110, .Pulses = 25, .uvEprom = true},
    {.tag = 12, .tWP = 110, .Pulses = 25, .uvEprom = true},
    {.tag = 13},
    {.tag = 14},
};

// The common end of both handlers: fixed shift, no offset, the profile's pair from the record.
void finishMcs51(Context& ctx, int32_t eep) {
    DeviceProfile& p = ctx.profile;
    Mcs51Timing& t = ctx.mcs51;
    t.LockBit = 0;
    p.eep = eep;
    p.ShiftAdr = kMcs51ShiftAdr;
    p.fixedShift = 1;
    ctx.controls.edOffsetEnabled = false;
    p.tWC = t.tWC;
    p.tWP = t.tWP;
}

const TableHandler& mcs51Table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 2, .size = 4 * K, .package = 51, .dip = 13},
                {.tag = 3, .size = 8 * K, .package = 51, .dip = 13},
                {.tag = 4, .size = 20 * K, .package = 51, .dip = 13},
                {.tag = 5, .size = 10 * K, .package = 51, .dip = 13},
                {.tag = 6, .size = 12 * K, .package = 51, .dip = 13},
                {.tag = 7, .size = 20 * K, .package = 51, .dip = 13},
                {.tag = 8, .size = 32 * K, .package = 51, .dip = 13},
                {.tag = 9, .size = 4 * K, .package = 51, .dip = 13},
                {.tag = 10, .size = 8 * K, .package = 51, .dip = 13},
                {.tag = 11, .size = 16 * K, .package = 51, .dip = 13},
                {.tag = 12, .size = 32 * K, .package = 51, .dip = 13},
                {.tag = 13, .size = 20 * K, .package = 51, .dip = 13},
                {.tag = 14, .size = 32 * K, .package = 51, .dip = 13},
            },
        .before = [](Context& ctx, int32_t) { InitMcs51Timing(ctx.mcs51); },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                Mcs51Timing& t = ctx.mcs51;
                t.type = 40;
                for (const Mcs51Row& row : kMcs51Rows) {
                    if (row.tag != tag) continue;
                    t.at89S = row.at89S;
                    t.tWP = row.tWP;
                    t.tWC = row.tWC;
                    t.Pulses = row.Pulses;
                    t.tWPb = row.tWPb;
                    t.tWPe = row.tWPe;
                    t.ird_lbit = row.ird_lbit;
                    t.tErase = row.tErase;
                    t.uvEprom = row.uvEprom;
                }
                finishMcs51(ctx, 10);
            },
    };
    return t;
}

const TableHandler& at89Cx051Table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 2, .size = 1 * K, .package = 2051, .dip = 14},
                {.tag = 3, .size = 2 * K, .package = 2051, .dip = 14},
                {.tag = 4, .size = 4 * K, .package = 2051, .dip = 14},
            },
        .before = [](Context& ctx, int32_t) { InitMcs51Timing(ctx.mcs51); },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                Mcs51Timing& t = ctx.mcs51;
                t.at89S = 0;
                t.tWP = 12;
                t.Pulses = 1;
                t.type = 20;
                finishMcs51(ctx, 11);
            },
    };
    return t;
}

}  // namespace

void muMCS51_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, mcs51Table(), tag, caption);
}

void AT89Cx051_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, at89Cx051Table(), tag, caption);
}

const FamilyTable& Mcs51Family() {
    const std::vector<std::string> at = {"MCS-51", "AT89C5x"};
    static const FamilyTable t{
        "muMCS51_Click",
        "MCS-51",
        &muMCS51_Click,
        {
            {at, "AT89C51       (4KB)", 2},
            {at, "AT89C52       (8KB)", 3},
            {at, "IS89C52        (8KB)", 3},
            {at, "AT89C55       (20KB)", 4},
            {at, "AT82S8252   (8K+2K)", 5, true, true, {"AT89S8252"}},
            {at, "AT89S53       (12KB)", 6},
            {at, "AT89C55WD (20KB/6.5V)", 7},
            {at, "AT89C51RC  (32KB/6.5V)", 8},
            {at, "i87x51   (4KB)", 9, true, true, {"87C51", "i87C51"}},
            {at, "i87x52   (8KB)", 10, true, true, {"87C52", "i87C52"}},
            {at, "i87x54   (16KB)", 11, true, true, {"87C54", "i87C54"}},
            {at, "i87x58   (32KB)", 12, true, true, {"87C58", "i87C58"}},
            {at, "SST89C54    (16+4KB)", 13},
            {at, "SST89C58    (32KB)", 14},
        },
    };
    return t;
}

const FamilyTable& At89Cx051Family() {
    const std::vector<std::string> at = {"MCS-51", "AT80Cx051"};
    static const FamilyTable t{
        "AT89Cx051_Click",
        "AT89Cx051",
        &AT89Cx051_Click,
        {
            {at, "AT89C1051    (1KB)", 2},
            {at, "AT89C2051    (2KB)", 3},
            {at, "AT89C4051    (4KB)", 4},
        },
    };
    return t;
}

}  // namespace tavrin
