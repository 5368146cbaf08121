// AT28Cxxx page-write EEPROMs; the bracketed number of a caption is the page size.
#include "devices/families/ParallelFamilies.h"

namespace tavrin {

namespace {

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 8 * K, .package = 28, .dip = 5, .ssize = 64},
                {.tag = 102,
                 .size = 32 * K,
                 .package = 28,
                 .dip = 25,
                 .flags = Swap,
                 .shiftAdr = 15,
                 .ssize = 64},
                {.tag = 103, .size = 64 * K, .package = 32, .dip = 7, .ssize = 128},
                {.tag = 104, .size = 128 * K, .package = 32, .dip = 7, .ssize = 128},
                {.tag = 105, .size = 256 * K, .package = 32, .dip = 7, .ssize = 256},
                {.tag = 106, .size = 512 * K, .package = 32, .dip = 19, .ssize = 256},
            },
        .after =
            [](Context& ctx, int32_t, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = 7;
                p.tWP = 2;
                p.tWC = 10000;
                p.epr64 = 1;
            },
    };
    return t;
}

}  // namespace

void AT28Cxxx_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& EepromAt28CFamily() {
    const std::vector<std::string> at = {"EEPROM", "AT28Cxxx"};
    static const FamilyTable t{
        "AT28Cxxx_Click",
        "Page-write EEPROM",
        &AT28Cxxx_Click,
        {
            {at, "AT28C64B    (64)", 101},
            {at, "AT28C256  (64)", 102},
            {at, "AT28C512  (128)", 103, false},
            {at, "AT28C010  (128)", 104},
            {at, "AT28C020  (256)", 105},
            {at, "AT28C040  (256)", 106},
        },
    };
    return t;
}

}  // namespace tavrin
