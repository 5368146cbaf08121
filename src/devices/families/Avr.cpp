// AT90S AVR microcontrollers, programmed in high-voltage parallel mode.
#include "core/ProfileOperations.h"
#include "devices/families/AvrFamily.h"

namespace tavrin {

namespace {

constexpr int32_t kAvrPackage20 = 2313;  // DIP20 parts sit in the socket directly
constexpr int32_t kAdapterPackage = 8749;
constexpr int32_t kAvrDip = 14;

// What the menu row does not say: EEPROM size, fuse box 0, the fuse bits and how they read.
struct AvrPart {
    int32_t tag;
    int32_t eepromBytes;
    const char* fuse0;
    bool clockFuses;  // CKSEL0-2, BODEN, BODLEVEL: fuses read apart with BS low
    const char* adapter;
};

constexpr AvrPart kParts[] = {
    {101, 64, "RCEN", false, nullptr},           {102, 128, "FSTRT", false, nullptr},
    {103, 128, "CKSEL0", true, "  AVR DIP28  "}, {104, 256, "CKSEL0", true, "  AVR DIP28  "},
    {105, 256, "FSTRT", false, "  AVR DIP40  "}, {106, 512, "FSTRT", false, "  AVR DIP40  "},
    {107, 256, "FSTRT", false, "  AVR DIP40  "}, {108, 512, "FSTRT", false, "  AVR DIP40  "},
};

// The timing pair the track bars last set for AVR devices; the write pulse and wait of the
// programming record until the user moves them.
void takeAvrTiming(DeviceProfile& p) {
    if (p.avrTWP == 0) p.avrTWP = AvrControl{}.writePulse;
    if (p.avrTWC == 0) p.avrTWC = AvrControl{}.writeWait;
    p.tWP = p.avrTWP;
    p.tWC = p.avrTWC;
}

const TableHandler& table() {
    constexpr int32_t shift = 18;  // 19 address-register stages: the strobe steering sits on 15..18
    static const TableHandler t{
        .rows =
            {
                {.tag = 101,
                 .size = 1 * K,
                 .package = kAvrPackage20,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 102,
                 .size = 2 * K,
                 .package = kAvrPackage20,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 103,
                 .size = 2 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 104,
                 .size = 4 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 105,
                 .size = 4 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 106,
                 .size = 8 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 107,
                 .size = 4 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
                {.tag = 108,
                 .size = 8 * K,
                 .package = kAdapterPackage,
                 .dip = kAvrDip,
                 .shiftAdr = shift,
                 .eep = 14},
            },
        .before =
            [](Context& ctx, int32_t) {
                DeviceProfile& p = ctx.profile;
                p.eep = 14;
                p.avrControl = AvrControl{};
                p.avrLockMode = 1;
                ctx.controls.edOffsetEnabled = false;
                p.avrFuse = 0xFF;
                ctx.controls.avrFuseBoxes1to4Enabled = false;
                ctx.controls.cbFbit0Caption = "FSTRT";
                p.avrEepromBase = 0x40000;
                p.avrEepromSize = 512;
                p.avrFuseMask = 0x21;
                p.avrSplitFuseRead = 0;
            },
        .after =
            [](Context& ctx, int32_t tag, int32_t&) {
                DeviceProfile& p = ctx.profile;
                for (const AvrPart& part : kParts) {
                    if (part.tag != tag) continue;
                    p.avrEepromSize = part.eepromBytes;
                    ctx.controls.cbFbit0Caption = part.fuse0;
                    ctx.controls.avrFuseBoxes1to4Enabled = part.clockFuses;
                    p.avrFuseMask = part.clockFuses ? 0x3F : 0x21;
                    p.avrSplitFuseRead = part.clockFuses ? 1 : 0;
                    if (part.adapter) ctx.controls.lbAdapter = part.adapter;
                }
                takeAvrTiming(p);
            },
    };
    return t;
}

}  // namespace

void AVR_Click(Context& ctx, int32_t tag, const std::string& caption) {
    RunTableSelection(ctx, table(), tag, caption);
}

void rbAVRm1Click(Context& ctx, int32_t tag) {
    if (tag >= 1 && tag <= 3) ctx.profile.avrLockMode = tag;
    ctx.ui().refresh();
}

void cbFbit0Click(Context& ctx, int32_t tag, bool checked) {
    if (tag < 0 || tag > 5) return;
    const int32_t bit = 1 << tag;
    int32_t& fuse = ctx.profile.avrFuse;
    fuse = checked ? (fuse | bit) : (fuse & ~bit);
    ctx.ui().refresh();
}

const FamilyTable& AvrFamily() {
    const std::vector<std::string> at = {"AVR"};
    static const FamilyTable t{
        "AVR_Click",
        "AVR",
        &AVR_Click,
        {
            {at, "AT90S1200   DIP20", 101},
            {at, "AT90S2313   DIP20", 102},
            {at, "AT90S2333   DIP28", 103},
            {at, "AT90S4433   DIP28", 104},
            {at, "AT90S4414   DIP40", 105},
            {at, "AT90S8515   DIP40", 106},
            {at, "AT90S4434   DIP40", 107},
            {at, "AT90S8535   DIP40", 108},
        },
    };
    return t;
}

}  // namespace tavrin
