#include "devices/PicConfig.h"

#include <algorithm>
#include <cctype>

#include "core/ImageBuffer.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

// Options of each device group. The 16F62x data-EEPROM protection (CPD) and the 16F87x DEBUG
// bit are active-low on the chips (0 = protected, 0 = debugger on), so their masks carry the
// active-low flag like every other inverted option.
constexpr PicOptionRecord kRecords[kPicOptionRecords] = {
    // 0: 12C508/509
    {{0, 0x0FE8}, {0, 1, 2, 3}, {}, {0x0004, 0, 0x8010, 0, 0, 0, 0, 0}},
    // 1: 16C620, 16CE623
    {{0, 0x3F30}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0x0040, 0, 0, 0, 0}},
    // 2: 16C621, 16CE624
    {{0, 0x2A20, 0x3F30}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0x0040, 0, 0, 0, 0}},
    // 3: 16C622, 16CE625
    {{0, 0x1510, 0x2A20, 0x3F30}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0x0040, 0, 0, 0, 0}},
    // 4: 16x84
    {{0, 0x3FF0}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0, 0, 0, 0, 0}},
    // 5: 16F627/628
    {{0, 0x1400, 0x2800, 0x3C00},
     {0, 1, 2, 3, 0x10, 0x11, 0x12, 0x13},
     {},
     {0x0004, 0x8008, 0x8020, 0x0040, 0x0080, 0x8100, 0, 0}},
    // 6: 16F870-872
    {{0, 0x3030}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0x0040, 0x0080, 0x8100, 0x0200, 0x8800}},
    // 7: 16F873-877
    {{0, 0x1010, 0x2020, 0x3030},
     {0, 1, 2, 3},
     {},
     {0x0004, 0x8008, 0, 0x0040, 0x0080, 0x8100, 0x0200, 0x8800}},
    // 8: 16C710/711
    {{0, 0x3FB0}, {0, 1, 2, 3}, {}, {0x0004, 0x8008, 0, 0x0040, 0, 0, 0, 0}},
};

// Each block lists the oscillator names, then the code-protection names.
constexpr const char* kNames[kPicNameBlocks][16] = {
    {" LP", " XT", " IntRC", " ExtRC", " CP ALL", " CP OFF"},
    {" LP", " XT", " HS", " RC", " CP ALL", " CP 1/2", " CP OFF"},
    {" LP", " XT", " HS", " RC", " CP ALL", " Upper 3/4", " Upper 1/2", " CP OFF"},
    {" LP", " XT", " HS", " RC", " CP ALL", " CP OFF"},
    {" LP", " XT", " HS", " ExtRC", " IntRC I/O", " IntRC CLKOUT", " ER I/O", " ER CLKOUT",
     " 0000h-03FFh", " 0200h-03FFh", " CP OFF", " CP OFF"},
    {" LP", " XT", " HS", " ExtRC", " IntRC I/O", " IntRC CLKOUT", " ER I/O", " ER CLKOUT",
     " 0000h-07FFh", " 0200h-07FFh", " 0400h-07FFh", " CP OFF"},
    {" LP", " XT", " HS", " RC", " 0000h-0FFFh", " 0800h-0FFFh", " 0F00h-0FFFh", " CP OFF"},
    {" LP", " XT", " HS", " RC", " 0000h-1FFFh", " 1000h-1FFFh", " 1F00h-1FFFh", " CP OFF"},
};

template <size_t N>
int entries(const std::array<uint16_t, N>& values) {
    return 1 + int(std::count_if(values.begin(), values.end(), [](uint16_t v) { return v > 0; }));
}

std::vector<std::string> names(const DeviceProfile& p, int first, int count) {
    const int block = std::clamp(p.picNameBlock, 0, kPicNameBlocks - 1);
    std::vector<std::string> out;
    for (int i = first; i < first + count && i < 16; ++i)
        out.emplace_back(kNames[block][i] ? kNames[block][i] : "");
    return out;
}

// The first entry whose value equals the word under the mask of the last entry; the last entry
// when none does.
// The first entry whose value equals the word under the mask of the last entry; the last entry
// when none does. Bits outside cfgMask are the fixed fill, which no entry chooses: the 12C50x
// and 16C84 code-protection values reach into them, so they are left out of the comparison or
// "CP ALL" could never be found again.
template <size_t N>
int matchEntry(const std::array<uint16_t, N>& values, int count, uint16_t config, int32_t cfgMask) {
    const uint16_t mask = uint16_t(values[size_t(count - 1)] & cfgMask);
    for (int i = 0; i < count; ++i)
        if ((values[size_t(i)] & mask) == (config & mask)) return i;
    return count - 1;
}

enum class Group { C50x, C62x, F84, F62x, F87x, None };

Group groupOf(const DeviceProfile& p) {
    switch (p.DeviceID / 100) {
        case 1:
            return Group::C50x;
        case 2:
            return Group::C62x;
        case 3:
            return Group::F84;
        case 4:
            return Group::F62x;
        case 5:
            return Group::F87x;
        default:
            return Group::None;
    }
}

}  // namespace

const PicOptionRecord& PicRecord(int32_t index) {
    return kRecords[std::clamp(index, 0, kPicOptionRecords - 1)];
}

const PicOptionRecord& PicRecordOf(const DeviceProfile& p) {
    return PicRecord(p.picOptionRecord);
}

int PicOscEntries(const PicOptionRecord& r) {
    return entries(r.osc);
}
int PicCpEntries(const PicOptionRecord& r) {
    return entries(r.cp);
}

std::vector<std::string> PicOscNames(const DeviceProfile& p) {
    return names(p, 0, PicOscEntries(PicRecordOf(p)));
}

std::vector<std::string> PicCpNames(const DeviceProfile& p) {
    const PicOptionRecord& r = PicRecordOf(p);
    return names(p, PicOscEntries(r), PicCpEntries(r));
}

PicBoxLayout PicBoxesFor(const DeviceProfile& p) {
    PicBoxLayout l;
    l.captions = {"WatchDog",         "Power-up Timer", "MCLRE/RA5", "Brown-out Enable",
                  "LowVoltage Prog.", "CP  EEPROM",     "WRT",       "Debugger"};
    //            WDTE  PWRTE  MCLRE  BODEN  LVP    CPD    WRT    DEBUG
    switch (groupOf(p)) {
        case Group::C50x:
            l.visible = {true, false, true, false, false, false, false, false};
            l.captions[2] = "MCLRE/GP3";
            break;
        case Group::C62x:
            l.visible = {true, true, false, true, false, false, false, false};
            break;
        case Group::F84:
            l.visible = {true, true, false, false, false, false, false, false};
            break;
        case Group::F62x:
            l.visible = {true, true, true, true, true, true, false, false};
            break;
        case Group::F87x:
            l.visible = {true, true, false, true, true, true, true, true};
            break;
        case Group::None:
            l.visible = {true, true, false, false, false, false, false, false};
            break;
    }
    return l;
}

int32_t PicBoxValue(uint16_t mask, bool checked) {
    if (checked) return mask < 0x4000 ? mask : 0;
    return mask > 0x3FFF ? (mask & 0x3FFF) : 0;
}

PicFuseView PicFusesFromConfig(const DeviceProfile& p, uint16_t config) {
    const PicOptionRecord& r = PicRecordOf(p);
    PicFuseView v;
    v.cpIndex = matchEntry(r.cp, PicCpEntries(r), config, p.cfgMask);
    v.oscIndex = matchEntry(r.osc, PicOscEntries(r), config, p.cfgMask);
    v.borIndex = matchEntry(r.bor, entries(r.bor), config, p.cfgMask);
    for (int k = 0; k < kPicOptionBoxes; ++k) {
        const uint16_t m = r.masks[size_t(k)];
        const bool bitSet = (m & 0x3FFF & config) != 0;
        v.checked[size_t(k)] = (m & kPicActiveLow) ? !bitSet : bitSet;
    }
    return v;
}

void ComposePicConfig(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    int32_t cfg = (p.picCfgFill & ~p.cfgMask) | p.picOscValue | p.picCpValue | p.picBorValue;
    for (int32_t v : p.picBoxValue) cfg |= v;
    p.picConfig = cfg & 0xFFFF;
    SetBufferWord(ctx, p.picCfgIndex, uint16_t(p.picConfig));
}

void cbPICChange(Context& ctx, int tag, int item) {
    DeviceProfile& p = ctx.profile;
    const PicOptionRecord& r = PicRecordOf(p);
    switch (tag) {
        case kPicOscTag:
            if (item >= 0 && item < PicOscEntries(r)) p.picOscValue = r.osc[size_t(item)];
            break;
        case kPicCpTag:
            if (item >= 0 && item < PicCpEntries(r)) p.picCpValue = r.cp[size_t(item)];
            break;
        case kPicBorTag:
            if (item >= 0 && item < int(r.bor.size())) p.picBorValue = r.bor[size_t(item)];
            break;
        default:
            return;
    }
    ComposePicConfig(ctx);
}

void cbWDTEClick(Context& ctx, int tag, bool checked) {
    if (tag < 1 || tag > kPicOptionBoxes) return;
    DeviceProfile& p = ctx.profile;
    p.picBoxValue[tag - 1] = PicBoxValue(PicRecordOf(p).masks[size_t(tag - 1)], checked);
    ComposePicConfig(ctx);
}

void SetFuses(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    p.picConfig = BufferWord(ctx, p.picCfgIndex);
    const uint16_t config = uint16_t(p.picConfig);
    const PicOptionRecord& r = PicRecordOf(p);
    const PicFuseView v = PicFusesFromConfig(p, config);
    p.picCpValue = r.cp[size_t(v.cpIndex)];
    p.picOscValue = r.osc[size_t(v.oscIndex)];
    p.picBorValue = r.bor[size_t(v.borIndex)];
    for (int k = 0; k < kPicOptionBoxes; ++k)
        p.picBoxValue[k] = r.masks[size_t(k)] & 0x3FFF & config;
}

bool edPIC_IDChange(Context& ctx, const std::string& text) {
    DeviceProfile& p = ctx.profile;
    if (text.empty() || text.size() > 8) return false;
    uint32_t id = 0;
    for (unsigned char c : text) {
        if (!std::isxdigit(c)) return false;
        id = id * 16 + uint32_t(std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    p.picID = int32_t(id & 0xFFFF);
    for (int32_t i = 0; i < p.picIdCount; ++i) {
        const uint16_t nibble = uint16_t(i < 8 ? (id >> (4 * i)) & 0xF : 0);
        const uint16_t word = p.eep == 18 ? nibble : uint16_t(0x3FF0 | nibble);
        SetBufferWord(ctx, p.picIdBase + p.picIdCount - 1 - i, word);
    }
    return true;
}

std::string PicIdExitText(const DeviceProfile& p) {
    return Format("%x", unsigned(p.picID));
}

}  // namespace tavrin
