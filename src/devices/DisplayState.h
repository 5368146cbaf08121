#pragma once
// What the window refresh shows: the DIP switches and jumper for the board variant, the socket
// picture, the size, address and timing read-outs, which commands and option groups apply, and the
// Configs page. Computed from the context alone, so the window draws it and the command-line tool
// prints it.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/Context.h"
#include "devices/DipPatterns.h"

namespace tavrin {

// Images of the switch block (image list ilDip).
namespace DipImage {
inline constexpr int Empty = 0;
inline constexpr int LeverUp = 1;    // the lever toward the upper edge
inline constexpr int LeverDown = 2;  // the lever toward the lower edge
inline constexpr int Jumper3 = 3;    // jumper positions 3, 4, 5 are images 3, 4, 5
}  // namespace DipImage

inline constexpr int kOnLabelTopPcb3 = 150;
inline constexpr int kOnLabelTopTavrin = 175;

struct TrackBarState {
    int32_t position = 0;
    int32_t maximum = 0;
    int32_t frequency = 0;  // tick spacing
};

struct CheckBoxState {
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    std::string caption;
};

struct CommandStates {
    // Tool buttons.
    bool sbRead = true, sbProg = true, sbVerify = true, sbBlank = true, sbErase = true,
         sbGetID = true, sbLockBit = false, sbRdLB = false;
    // Entries of the Action menu.
    bool mnuRead = true, mnuVerify = true, mnuBlank = true, mnuErase = true, mnuGetID = true;
};

struct DisplayState {
    // Switch block. Switch k always sits above the number k of the strip on show.
    bool pcb3 = false;                    // board variant: tavrin != 0
    std::string sbTavrinCaption;          // "PCB3" or "Tavrin"
    bool pPCB3Visible = false;            // number strip 1..12 from the left
    bool pTavrinVisible = false;          // number strip 12..1 from the left
    int lbONTop = 0;                      // top of the "ON" label
    int32_t dip = 0;                      // DIP: the pattern number last shown
    char jumperDigit = ' ';               // '3', '4', '5' or blank before the first pattern
    std::array<char, 12> switchDigits{};  // switches 1..12: '1' on, '0' off, blank
    int jumperImage = DipImage::Empty;    // JP_A18Vpp
    std::array<int, 12> placeImages{};    // dip1..dip12, left to right

    // Socket picture, or the adapter request ("pAdapter" with adapterText).
    std::string socketPicture;  // empty: no picture
    std::string adapterText;

    // Read-outs.
    std::string edDevice;
    std::string edBuffer;  // last address, " 0x%X"
    std::string edChecksum;
    std::string edShiftAdr;    // " A0 --> A%d"
    std::string edPatternAdr;  // " 0x%06X"
    std::string edTWP, edTWC;  // " %0.1f uS" or " %0.1f mS"
    TrackBarState tbTWP, tbTWC;

    // Commands and option groups.
    bool pICON = true;
    CommandStates commands;
    std::string optionGroup;     // the group on show ("p27CSettings", ...); empty: none
    std::string p49F00xCaption;  // caption of p49F00xsetting when shown
    CheckBoxState cbSkip_0xFF, cbFastPro, cb5555, cbProtect;
    int cbSsizeItem = -1;       // item for Ssize, -1: leave the box as it is
    std::string ssizeWarning;   // shown under cbSsize when Ssize is not the part's own size
    bool offsetVisible = true;  // lbOffset and edOffset
    bool offsetEnabled = true;
    std::string edOffset;

    // AVR option group (pAVRsetting): the lock-mode radio button checked (1..3), the six fuse
    // boxes (checked = bit set = fuse unprogrammed) and the fuse byte they compose.
    int avrLockMode = 0;
    std::array<CheckBoxState, 6> cbFbit{};
    std::string edEPRFuse;
    // MCS-51 lock group: the radio button of the lock mode (-1: none checked by the refresh) and
    // whether "Lock Bit 1+2+3" may be chosen (not on the 20-pin parts).
    int lockRadio = -1;
    bool rbLock123Enabled = true;

    // PIC read-outs (picShown when PIC is set).
    bool picShown = false;
    std::string edPIC_cfg;  // " 0x%04X" of picConfig
    std::string edPIC_ID;   // "%04X" of picID
    int32_t edPIC_IDMaxLength = 0;
    // The "PIC Setting" controls as the configuration word sets them.
    struct PicPanel {
        std::vector<std::string> cbOSC, cbCP;  // list entries
        int oscIndex = -1, cpIndex = -1;
        std::array<CheckBoxState, 8> boxes;  // cbWDTE .. cbDEBUG, Tags 1..8
        bool cbBORVVisible = false;
        CheckBoxState cbOSCCAL;  // "Write OSCCAL": shown for the 12C50x only
    } pic;

    // Configs page: label and text of each box, in page order.
    std::vector<std::pair<std::string, std::string>> configs;
};

// Configs-page names of the MCS-51 group carry this prefix ("mcs51 tWP"); the label is the rest.
inline constexpr const char* kMcs51ConfigPrefix = "mcs51 ";

DisplayState ComputeDisplayState(const Context& ctx);

// Switch numbers, lever positions, the "ON" side and the jumper as text art.
std::string RenderDipSwitchesText(const DisplayState& state);

// Picture for a package code on the given board ("imgZIF28", "pAdapter", ...); empty for none.
std::string SocketPicture(int32_t package, bool pcb3);

// A delay count as the timing boxes show it: " %0.1f mS" of v / 1000 above 999, else " %0.1f uS".
std::string TimingText(int32_t value);

// The identifier words of a PIC image packed as nibbles, first word most significant, 16 bits.
int32_t PicIdFromWords(const Context& ctx);

// winstat: puts back a size shortened for an offset run, rebuilds the PIC identifier, then has the
// front end redraw from ComputeDisplayState.
void Winstat(Context& ctx);

// sbTavrin_Click ("Swap DIP SW"): the other board variant, the same pattern redrawn.
void sbTavrin_Click(Context& ctx);

// tbTWCChange: track bar Tag 1 sets tWC, Tag 2 sets tWP; the window ignores the change while it is
// setting the bars itself.
void tbTWCChange(Context& ctx, int32_t tag, int32_t position);

}  // namespace tavrin
