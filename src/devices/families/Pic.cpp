// PIC microcontrollers programmed in the serial (ICSP) mode: 12-bit and 14-bit EPROM parts and
// 14-bit flash parts. The buffer holds 16-bit words; the selection places the identifier and
// configuration words and chooses the option record and name block of the "PIC Setting" panel.
#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "devices/DipPatterns.h"
#include "devices/families/PicFamily.h"

namespace tavrin {

namespace {

struct PicRow {
    int32_t tag;
    int32_t eep;
    int32_t words;
    int32_t dataBytes;
    int32_t cfgMask;
    int32_t bkCode;
    int32_t tWC;  // microseconds for eep 17, delay units for 16 and 18
    int32_t record;
    int32_t names;
    int32_t blankAdjust = 0;
};

// The 16F84A and 16F87x erase each word before they write it (about 4 + 4 ms) and do not listen
// to the bus meanwhile; a write time of 5 ms read an erased word back as written while the cycle
// still ran, the increment after it was lost and every later word landed one address low. They
// get the whole cycle.
constexpr PicRow kRows[] = {
    {101, 18, 512, 0, 0x001F, 0xEE20, 200, 0, 0},              // 12C508(A)
    {102, 18, 1024, 0, 0x001F, 0xEC20, 200, 0, 0},             // 12C509(A)
    {201, 16, 512, 0, 0x3F7F, 0x3D7F, 200, 1, 3},              // 16C620(A)
    {204, 16, 512, 0, 0x3F7F, 0x3D7F, 200, 1, 3},              // 16CE623
    {202, 16, 1024, 0, 0x3F7F, 0x3B7F, 200, 2, 1},             // 16C621(A)
    {205, 16, 1024, 0, 0x3F7F, 0x3B7F, 200, 2, 1},             // 16CE624
    {203, 16, 2048, 0, 0x3F7F, 0x377F, 200, 3, 2},             // 16C622(A)
    {206, 16, 2048, 0, 0x3F7F, 0x377F, 200, 3, 2},             // 16CE625
    {207, 16, 512, 0, 0x3F7F, 0x3DFF, 200, 8, 3},              // 16C710
    {208, 16, 1024, 0, 0x3F7F, 0x3BFF, 200, 8, 3},             // 16C711
    {301, 17, 1024, 64, 0x001F, 0x3BFF, 12000, 4, 3, 0x3FE0},  // 16C84
    {302, 17, 1024, 64, 0x3FFF, 0x3BFF, 12000, 4, 3},          // 16F84
    {303, 17, 1024, 64, 0x3FFF, 0x3BFF, 8000, 4, 3},           // 16F84A
    {304, 17, 512, 64, 0x3FFF, 0x3BFF, 12000, 4, 3},           // 16F83
    {401, 17, 1024, 128, 0x3DFF, 0x39FF, 12000, 5, 4},         // 16F627
    {402, 17, 2048, 128, 0x3DFF, 0x35FF, 12000, 5, 5},         // 16F628
    {501, 17, 2048, 64, 0x3BFF, 0x33FF, 8000, 6, 3},           // 16F870-872
    {502, 17, 4096, 128, 0x3BFF, 0x2BFF, 8000, 7, 6},          // 16F873/874
    {503, 17, 8192, 256, 0x3BFF, 0x1BFF, 8000, 7, 7},          // 16F876/877
};

const PicRow* findRow(int32_t tag) {
    for (const PicRow& row : kRows)
        if (row.tag == tag) return &row;
    return nullptr;
}

}  // namespace

void M12C_Click(Context& ctx, int32_t tag, const std::string& caption) {
    // Entries without a Tag (and the settings replay of no device) keep the previous device.
    const PicRow* row = findRow(tag);
    if (tag <= 100 || row == nullptr) return;
    DeviceProfile& p = ctx.profile;
    p.DeviceID = tag;
    ctx.controls.edDevice = caption;
    ResetProfile(ctx);

    ctx.controls.edOffsetEnabled = false;
    p.PIC = 1;
    p.serial = 1;
    p.eep = row->eep;
    p.tWC = row->tWC;
    p.tWP = 10;
    p.package = tag / 100 == 1 ? 12 : tag / 100 == 5 ? 16877 : 16;
    SetBufferSize(ctx, row->words);
    p.picDataBytes = row->dataBytes;
    p.picIdCount = 4;
    if (row->eep == 18) {  // 12C50x: identifiers after the program words, configuration at 0xFFF
        p.picIdBase = p.picProgWords;
        p.picCfgIndex = 4095;
        p.picCfgFill = 4095;
    } else {
        p.picIdBase = 0x2000;
        p.picCfgIndex = 0x2007;
        p.picCfgFill = 0x3FFF;
    }
    p.cfgMask = row->cfgMask;
    p.bkCode = row->bkCode;
    p.blankAdjust = row->blankAdjust;
    p.picOptionRecord = row->record;
    p.picNameBlock = row->names;
    p.picWriteOsccal = 0;  // the calibration word is only written on explicit request
    p.picConfig = BufferWord(ctx, p.picCfgIndex) & p.picCfgFill;
    p.picOscValue = p.picCpValue = p.picBorValue = 0;
    for (int32_t& v : p.picBoxValue) v = 0;
    UpdateShift(p);
    ShowDipPattern(ctx, 0);
}

const FamilyTable& PicFamily() {
    const std::string top = "PIC xxxxx";
    const std::vector<std::string> f84 = {top, "PIC 16x84"}, f62x = {top, "PIC 16F62x"},
                                   f87x = {top, "PIC 16F87x   ( ICSP )"}, f8x = {top, "PIC 16F8x"},
                                   c50x = {top, "PIC 12C50x"}, c62x = {top, "PIC 16Cx62x"},
                                   c71x = {top, "PIC 16C71x"};
    static const FamilyTable t{
        "M12C_Click",
        "PIC",
        &M12C_Click,
        {
            {f84, "PIC 16C84", 301, false},      {f84, "PIC 16F84", 302},
            {f84, "PIC 16F84A  (P 5mS)", 303},   {f84, "PIC 16F83", 304, false},
            {f62x, "PIC 16F627", 401},           {f62x, "PIC 16F628", 402},
            {f87x, "PIC 16F870", 501},           {f87x, "PIC 16F871", 501},
            {f87x, "PIC 16F872", 501},           {f87x, "PIC 16F873", 502},
            {f87x, "PIC 16F874", 502},           {f87x, "PIC 16F876", 503},
            {f87x, "PIC 16F877", 503},           {f8x, "PIC 16F87", 0, false, false},
            {f8x, "PIC 16F88", 0, false, false}, {c50x, "PIC 12C508", 101},
            {c50x, "PIC 12C508A", 101},          {c50x, "PIC 12C509", 102},
            {c50x, "PIC 12C509A", 102},          {c62x, "PIC 16C620", 201},
            {c62x, "PIC 16F620A", 201},          {c62x, "PIC16CE623 ", 204},
            {c62x, "PIC 16C621", 202},           {c62x, "PIC 16C621A", 202},
            {c62x, "PIC16CE624", 205},           {c62x, "PIC 16C622", 203},
            {c62x, "PIC 16C622A", 203},          {c62x, "PIC16CE625", 206},
            {c71x, "PIC 16C710", 207},           {c71x, "PIC 16C711", 208},
        },
    };
    return t;
}

}  // namespace tavrin
