// 93Cxx three-wire serial EEPROMs in 8-bit and 16-bit organisation.
#include "devices/families/SerialFamilies.h"

namespace tavrin {

namespace {

constexpr int32_t kPackage = 93;

// Address bits more (positive) or fewer than the 93C46 in 8-bit organisation, by Tag; Tags 9 and
// up are the 16-bit organisation.
struct Geometry {
    int32_t tag, size, shift;
};
constexpr Geometry kGeometry[] = {
    {1, 32, 0},   {2, 128, 0},  {3, 128, 0},   {4, 256, 2},   {5, 256, 1},
    {6, 512, 2},  {7, 1024, 4}, {8, 2048, 4},  {9, 32, -1},   {10, 128, -1},
    {11, 256, 1}, {12, 512, 1}, {13, 1024, 3}, {14, 2048, 3},
};
constexpr int32_t kFirst16Bit = 9;

std::vector<DeviceRow> rows() {
    std::vector<DeviceRow> r;
    for (const Geometry& g : kGeometry)
        r.push_back({.tag = g.tag, .size = g.size, .package = kPackage, .eep = 8});
    return r;
}

const TableHandler& table() {
    static const TableHandler t{
        .rows = rows(),
        .before =
            [](Context& ctx, int32_t) {
                ctx.profile.cmd93C = Cmd93C{};
                ctx.controls.edOffsetEnabled = false;
                ctx.profile.serial = 1;
            },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                for (const Geometry& g : kGeometry)
                    if (g.tag == tag) ctx.profile.cmd93C = Cmd93C{}.resized(g.shift);
                ctx.profile.cmd93C.wordBytes = tag >= kFirst16Bit ? 2 : 1;
            },
    };
    return t;
}

}  // namespace

void M93C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Eeprom93CFamily() {
    const std::vector<std::string> x8 = {"93Cxx", " 8  BIT"};
    const std::vector<std::string> x16 = {"93Cxx", " 16 BIT"};
    static const FamilyTable t{
        "M93C_Click",
        "Microwire EEPROM",
        &M93C_Click,
        {
            {x8, "93C06 (8bit)", 1},
            {x8, "93C46 (8bit)", 2},
            {x8, "93LC46 (8bit)", 3},
            {x8, "93C56 (8bit)", 4},
            {x8, "93C57 (8bit)", 5},
            {x8, "93C66 (8bit)", 6},
            {x8, "93C76 (8bit)", 7},
            {x8, "93C86 (8bit)", 8},
            {x16, "93C06A (16bit)", 9},
            {x16, "93C46A (16bit)", 10},
            {x16, "93C66 (16bit)", 12},
            {x16, "93C56 (16bit)", 11},
            {x16, "93C76 (16bit)", 13},
            {x16, "93C86 (16bit)", 14},
        },
    };
    return t;
}

}  // namespace tavrin
