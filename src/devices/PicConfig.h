#pragma once
// The PIC configuration word and identifier words kept in step with the "PIC Setting" controls:
// the oscillator and code-protection lists, the eight option boxes and the ID edit. The option
// values and their names are data tables indexed by the device's record and name block.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"

namespace tavrin {

// A mask with this bit set is active-low: its option is on when the configuration bit is 0.
inline constexpr uint16_t kPicActiveLow = 0x8000;
inline constexpr int kPicOptionBoxes = 8;

// Combo-box Tags of cbOSC, cbCP and cbBORV.
inline constexpr int kPicOscTag = 101, kPicCpTag = 102, kPicBorTag = 103;

struct PicOptionRecord {
    std::array<uint16_t, 4> cp;     // code-protection values, first "all protected"
    std::array<uint16_t, 8> osc;    // oscillator values
    std::array<uint16_t, 4> bor;    // brown-out values (no part uses them)
    std::array<uint16_t, 8> masks;  // option boxes, Tags 1..8
};

inline constexpr int kPicOptionRecords = 9;
inline constexpr int kPicNameBlocks = 8;

const PicOptionRecord& PicRecord(int32_t index);
// The option record and name block of the selected device.
const PicOptionRecord& PicRecordOf(const DeviceProfile& p);

// Entries of cbOSC and cbCP: the values above 0 of the record plus the first one.
int PicOscEntries(const PicOptionRecord& r);
int PicCpEntries(const PicOptionRecord& r);
std::vector<std::string> PicOscNames(const DeviceProfile& p);
std::vector<std::string> PicCpNames(const DeviceProfile& p);

// The option boxes by device group: caption and visibility of each Tag 1..8.
struct PicBoxLayout {
    std::array<std::string, kPicOptionBoxes> captions;
    std::array<bool, kPicOptionBoxes> visible{};
};
PicBoxLayout PicBoxesFor(const DeviceProfile& p);

// What the controls show for a configuration word (SetFuses without its side effects).
struct PicFuseView {
    int oscIndex = 0, cpIndex = 0, borIndex = 0;
    std::array<bool, kPicOptionBoxes> checked{};
};
PicFuseView PicFusesFromConfig(const DeviceProfile& p, uint16_t config);

// The value an option box contributes for its state.
int32_t PicBoxValue(uint16_t mask, bool checked);

// cbPICChange: list `tag` (101 oscillator, 102 code protection, 103 brown-out) now shows entry
// `item`; the configuration word follows.
void cbPICChange(Context& ctx, int tag, int item);
// cbWDTEClick: option box `tag` (1..8) is now `checked`; the configuration word follows.
void cbWDTEClick(Context& ctx, int tag, bool checked);
// picConfig from the stored option values, written to buffer word picCfgIndex.
void ComposePicConfig(Context& ctx);
// picConfig from buffer word picCfgIndex, and the option values from picConfig.
void SetFuses(Context& ctx);

// edPIC_IDChange: the text as hexadecimal into picID and the identifier words. Text that is not
// hexadecimal changes nothing; false then.
bool edPIC_IDChange(Context& ctx, const std::string& text);
// The identifier edit after editing: picID as "%x".
std::string PicIdExitText(const DeviceProfile& p);

}  // namespace tavrin
