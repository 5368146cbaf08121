// MCS-48/41 microcontrollers behind the "DIP32 to MCS-48" adapter: the EPROM and OTP parts
// (Tags 101, 102) and the mask-ROM parts that only read and verify (Tags 200 and above).
#include "devices/families/McuFamilies.h"

namespace tavrin {

const char* const kMcs48VoltageNote =
    "Device D8748/8749 Request Vea = 18V\nFor Read/Verify/Program\nSetting Vpp = 21V\n\nDevice "
    "P8048/8049/8050 Request Vea = 12V\nFor Read/Verify\nSetting Vpp = 15V\n";

namespace {

constexpr int32_t kFirstRomTag = 200;

const TableHandler& table() {
    // Nine shifted bits: P2.0-P2.3 (A8-A11), T0 and four unused stages.
    static const TableHandler t{
        .rows =
            {
                {.tag = 101, .size = 1 * K, .package = 8749, .dip = 31, .shiftAdr = 8},
                {.tag = 102, .size = 2 * K, .package = 8749, .dip = 31, .shiftAdr = 8},
                {.tag = 201, .size = 1 * K, .package = 8749, .dip = 31, .shiftAdr = 8},
                {.tag = 202, .size = 2 * K, .package = 8749, .dip = 31, .shiftAdr = 8},
                {.tag = 203, .size = 4 * K, .package = 8749, .dip = 31, .shiftAdr = 8},
            },
        .before = [](Context& ctx, int32_t) { ctx.ui().inform(kMcs48VoltageNote); },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                DeviceProfile& p = ctx.profile;
                p.eep = tag >= kFirstRomTag ? 29 : 28;
                ctx.controls.lbAdapter = "  MCS-48  ";
                // Shown on the Configs page only: the MCS-48 routines use fixed timing.
                p.tWC = 20000;
                p.tWP = 55000;
                p.addStep = 50;
            },
    };
    return t;
}

}  // namespace

void D8748_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

const FamilyTable& Mcs48Family() {
    const std::vector<std::string> at = {"MCS-48/41"};
    static const FamilyTable t{
        "D8748_Click",
        "MCS-48",
        &D8748_Click,
        {
            {at, "D8748H  (1KB)", 101},
            {at, "P8748H  (1KB)", 101},
            {at, "P8741H  (1KB)", 101},
            {at, "D8749H  (2KB)", 102},
            {at, "P8749H  (2KB)", 102},
            {at, "D8742H  (2KB)", 102},
            {at, "P8742H  (2KB)", 102},
            {at, "D8741H  Vpp= 21V", 0, true, false},
            {at, "P8048AH  ROM (1KB)", 201},
            {at, "P8041AH  ROM (1KB)", 201},
            {at, "P8049AH  ROM (2KB)", 202},
            {at, "P8042AH  ROM (2KB)", 202},
            {at, "P8050AH  ROM (4KB)", 203},
        },
    };
    return t;
}

}  // namespace tavrin
