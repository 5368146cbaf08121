// 25Cxxx SPI serial EEPROMs: byte writes on the one-address-byte parts, page writes on the others.
#include "devices/SpiProtection.h"
#include "devices/families/SerialFamilies.h"

namespace tavrin {

namespace {

constexpr int32_t kPackage = 25;

// Page size of the page-written parts (Tags above 200); the others are written byte by byte.
int32_t spiPageOf(int32_t tag) {
    if (tag <= 200) return 0;
    if (tag <= 204) return 32;
    if (tag <= 206) return 64;
    return 128;
}

const TableHandler& table() {
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 128, .package = kPackage},
                {.tag = 102, .size = 256, .package = kPackage},
                {.tag = 103, .size = 512, .package = kPackage},  // A8 in the instruction
                {.tag = 201, .size = 1 * K, .package = kPackage},
                {.tag = 202, .size = 2 * K, .package = kPackage},
                {.tag = 203, .size = 4 * K, .package = kPackage},
                {.tag = 204, .size = 8 * K, .package = kPackage},
                {.tag = 205, .size = 16 * K, .package = kPackage},
                {.tag = 206, .size = 32 * K, .package = kPackage},
                {.tag = 301, .size = 32 * K, .package = kPackage},
                {.tag = 302, .size = 64 * K, .package = kPackage},
                {.tag = 401, .size = 128 * K, .package = kPackage},  // 3 address bytes
            },
        .before =
            [](Context& ctx, int32_t) {
                ctx.profile.cmd25C = Cmd25C{};
                ctx.controls.edOffsetEnabled = false;
            },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.spiPage = spiPageOf(tag);
                FillSpiProtection(ctx, tag);
                p.eep = 6;
                p.tWP = 5;
                p.tWC = 6000;  // 5.03 ms, the blind write time
                p.serial = 1;
            },
    };
    return t;
}

}  // namespace

void M25C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Eeprom25CFamily() {
    const std::vector<std::string> at = {"25Cxxx"};
    static const FamilyTable t{
        "M25C_Click",
        "SPI EEPROM",
        &M25C_Click,
        {
            {at, "25x010", 101},
            {at, "25x020", 102},
            {at, "25x040", 103},
            {at, "25x080  (32)", 201},
            {at, "25x160  (32)", 202},
            {at, "25x320  (32)", 203},
            {at, "25x640  (32)", 204},
            {at, "25x128  (64)", 205},
            {at, "25x256  (64)", 206},
            {at, "AT25HP256   (128)", 301},
            {at, "AT25HP512   (128)", 302},
            {at, "AT25HP1024 (128)", 401},
        },
    };
    return t;
}

}  // namespace tavrin
