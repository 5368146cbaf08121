// 24Cxxx two-wire serial EEPROMs: one word-address byte (eep 1) or two (eep 2, page writes).
#include "devices/families/SerialFamilies.h"

namespace tavrin {

namespace {

constexpr int32_t kPackage = 240;

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                // The 24C01 without suffix: no device code, the word address in the first byte.
                {.tag = 101, .size = 128, .package = kPackage, .ssize = 4, .eep = 1},
                {.tag = 201, .size = 128, .package = kPackage, .ssize = 4, .eep = 1},
                {.tag = 202, .size = 256, .package = kPackage, .ssize = 8, .eep = 1},
                {.tag = 203, .size = 512, .package = kPackage, .ssize = 16, .eep = 1},
                {.tag = 204, .size = 1 * K, .package = kPackage, .ssize = 16, .eep = 1},
                {.tag = 205, .size = 2 * K, .package = kPackage, .ssize = 16, .eep = 1},
                {.tag = 301, .size = 4 * K, .package = kPackage, .ssize = 32, .eep = 2},
                {.tag = 302, .size = 8 * K, .package = kPackage, .ssize = 32, .eep = 2},
                {.tag = 303, .size = 16 * K, .package = kPackage, .ssize = 64, .eep = 2},
                {.tag = 304, .size = 32 * K, .package = kPackage, .ssize = 64, .eep = 2},
                {.tag = 305, .size = 64 * K, .package = kPackage, .ssize = 64, .eep = 2},
                {.tag = 306, .size = 64 * K, .package = kPackage, .ssize = 128, .eep = 2},
            },
        .before =
            [](Context& ctx, int32_t) {
                ctx.controls.edOffsetEnabled = false;  // the serial routines start at 0
                ctx.profile.serial = 1;
            },
    };
    return t;
}

}  // namespace

void M24C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Eeprom24CFamily() {
    const std::vector<std::string> at = {"24Cxxx"};
    static const FamilyTable t{
        "M24C_Click",
        "I2C EEPROM",
        &M24C_Click,
        {
            {at, "24C01", 101, false},
            {at, "24C01A/B", 201},
            {at, "24C02", 202},
            {at, "24C04", 203},
            {at, "24C08", 204},
            {at, "24C16", 205},
            {at, "24C32     (32)", 301},
            {at, "24C65     (32)", 302},
            {at, "24C128    (64)", 303},
            {at, "24C256    (64)", 304},
            {at, "24C512    (64)", 305},
            {at, "24C512    (128)", 306},
        },
    };
    return t;
}

}  // namespace tavrin
