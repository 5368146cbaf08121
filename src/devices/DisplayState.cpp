#include "devices/DisplayState.h"

#include <algorithm>

#include "buffer/Checksum.h"
#include "core/RunFrame.h"
#include "devices/PicConfig.h"

namespace tavrin {

namespace {

TrackBarState trackBar(int32_t value, int64_t maximum) {
    TrackBarState bar;
    bar.position = value;
    bar.maximum = static_cast<int32_t>(maximum);
    bar.frequency = bar.maximum / 20;
    return bar;
}

void drawSwitches(const Context& ctx, DisplayState& s) {
    const std::string& digits = ctx.controls.dipDigits;
    s.jumperDigit = digits.empty() ? ' ' : digits[0];
    for (int k = 0; k < kDipSwitches; ++k)
        s.switchDigits[k] = static_cast<size_t>(k + 1) < digits.size() ? digits[k + 1] : ' ';
    s.jumperImage = (s.jumperDigit >= '3' && s.jumperDigit <= '5')
                        ? DipImage::Jumper3 + (s.jumperDigit - '3')
                        : DipImage::Empty;
    // The older board carries the block turned round: switch k sits at place 13 - k and its
    // levers point the other way.
    for (int k = 1; k <= kDipSwitches; ++k) {
        const char d = s.switchDigits[k - 1];
        int image = DipImage::Empty;
        if (d == '1') image = s.pcb3 ? DipImage::LeverUp : DipImage::LeverDown;
        if (d == '0') image = s.pcb3 ? DipImage::LeverDown : DipImage::LeverUp;
        const int place = s.pcb3 ? k : kDipSwitches + 1 - k;
        s.placeImages[place - 1] = image;
    }
}

void showAvrOptions(const Context& ctx, DisplayState& s) {
    const DeviceProfile& p = ctx.profile;
    static constexpr const char* kCaptions[6] = {"",      "CKSEL1",   "CKSEL2 ",
                                                 "BODEN", "BODLEVEL", "SPIEN"};
    s.avrLockMode = p.avrLockMode;
    for (int bit = 0; bit < 6; ++bit) {
        CheckBoxState& box = s.cbFbit[size_t(bit)];
        box.checked = (p.avrFuse >> bit) & 1;
        box.enabled = (bit >= 1 && bit <= 4) ? ctx.controls.avrFuseBoxes1to4Enabled : true;
        box.caption = bit == 0 ? ctx.controls.cbFbit0Caption : kCaptions[bit];
    }
    s.edEPRFuse = Format(" 0x%0.2X", unsigned(p.avrFuse) & 0xFFu);
}

void applyFamily(const Context& ctx, DisplayState& s) {
    const DeviceProfile& p = ctx.profile;
    CommandStates& c = s.commands;
    auto noEraseNoId = [&] { c.sbErase = c.mnuErase = c.sbGetID = c.mnuGetID = false; };
    auto noId = [&] { c.sbGetID = c.mnuGetID = false; };
    switch (p.eep) {
        case 0:
        case 13:
            noEraseNoId();
            s.optionGroup = "p27CSettings";
            s.cbSkip_0xFF.enabled = true;
            break;
        case 1:
        case 2:
            noId();
            s.optionGroup = "p24CSettings";
            break;
        case 3:
        case 31:
            s.optionGroup = "pF28Settings";
            s.cbSkip_0xFF.enabled = true;
            break;
        case 4:
        case 12:
            s.cbSkip_0xFF.enabled = s.cbFastPro.enabled = true;
            break;
        case 5:
            noId();
            s.optionGroup = "p27CSettings";
            s.cbSkip_0xFF.enabled = true;
            break;
        case 6:
            s.optionGroup = "p25CxxxSetting";
            c.sbErase = false;
            noId();
            break;
        case 7:
        case 9:
        case 22: {
            static constexpr int32_t kSectorSizes[] = {64, 128, 256, 512, 1024, 2048};
            for (int i = 0; i < 6; ++i)
                if (p.Ssize == kSectorSizes[i]) s.cbSsizeItem = i;
            // A larger size crosses the part's page address and a smaller one leaves the rest
            // of a flash sector erased: either loses data.
            if (p.pageSize > 0 && p.Ssize != p.pageSize)
                s.ssizeWarning = Format("Not the part's %d bytes: data will be lost", p.pageSize);
            s.optionGroup = "p29CxxxSetting";
            if (p.eep == 7) noId();
            break;
        }
        case 10:
        case 11:
            s.offsetVisible = false;
            c.sbRdLB = c.sbLockBit = true;
            s.optionGroup = "pMCS51Setting";
            if (ctx.mcs51.LockBit >= 0 && ctx.mcs51.LockBit <= 3) s.lockRadio = ctx.mcs51.LockBit;
            s.rbLock123Enabled = p.eep != 11;
            break;
        case 14:
            s.offsetVisible = false;
            s.optionGroup = "pAVRsetting";
            showAvrOptions(ctx, s);
            break;
        case 15:
            s.optionGroup = "p49F00xsetting";
            s.p49F00xCaption = " 29Fx00 [ pin #RESET/Vpp (12V) ]";
            s.cbSkip_0xFF.enabled = s.cbFastPro.enabled = true;
            break;
        case 16:
        case 18:
            c.sbErase = c.sbGetID = false;
            s.optionGroup = "pPICSettings";
            break;
        case 17:
            s.optionGroup = "pPICSettings";
            break;
        case 19:
        case 25:
        case 26:
            s.cbSkip_0xFF.enabled = true;
            break;
        case 23:
            s.cbSkip_0xFF.enabled = s.cbFastPro.enabled = true;
            s.optionGroup = "p49F00xsetting";
            s.p49F00xCaption = " 49F00x   [ pin #RESET/Vpp (12V) ]";
            break;
        case 24:
        case 30:
            noId();
            s.optionGroup = "p27CSettings";
            s.cbSkip_0xFF.enabled = true;
            break;
        case 27:
            s.optionGroup = "pMXICF29040";
            s.cbSkip_0xFF.enabled = s.cbFastPro.enabled = true;
            break;
        case 28:
            noEraseNoId();
            break;
        case 29:
            c.sbProg = false;
            noEraseNoId();
            break;
        default:
            break;
    }
}

void fillConfigs(const Context& ctx, DisplayState& s) {
    const DeviceProfile& p = ctx.profile;
    const std::pair<const char*, int32_t> values[] = {
        {"tWC", p.tWC},           {"tWP", p.tWP},
        {"epr64", p.epr64},       {"PIC", p.PIC},
        {"serial", p.serial},     {"tavrin", p.tavrin},
        {"DIP", p.DIP},           {"swap", p.swap},
        {"addStep", p.addStep},   {"eep", p.eep},
        {"pin28", p.pin28},       {"pin30", p.pin30},
        {"pin7", p.pin7},         {"qe", p.qe},
        {"AT49F00x", p.AT49F00x}, {"Ssize", p.Ssize},
        {"Fast Pro.", p.fastPro}, {"Sequ", p.sequ},
    };
    for (const auto& [label, value] : values) s.configs.emplace_back(label, std::to_string(value));
    s.configs.emplace_back("Offset", Format(" 0x%06X", p.Offset));
    s.configs.emplace_back("PIC ID", Format(" 0x%04X", static_cast<unsigned>(p.picID)));
    // The "MCS-51" group: the timing record, the lock mode last.
    const Mcs51Timing& t = ctx.mcs51;
    const std::pair<const char*, int32_t> mcs51[] = {
        {"at89S", t.at89S},       {"tWP", t.tWP},           {"tWC", t.tWC},
        {"Pulses", t.Pulses},     {"type", t.type},         {"tWPb", t.tWPb},
        {"tWPe", t.tWPe},         {"ird_lbit", t.ird_lbit}, {"tErase", t.tErase},
        {"sig_Lbit", t.sig_Lbit}, {"LockBit", t.LockBit},
    };
    for (const auto& [label, value] : mcs51)
        s.configs.emplace_back(std::string(kMcs51ConfigPrefix) + label, std::to_string(value));
    s.configs.emplace_back("bkCode", Format(" 0x%04X", static_cast<unsigned>(p.bkCode)));
    s.configs.emplace_back("cfgMask", Format(" 0x%04X", static_cast<unsigned>(p.cfgMask)));
}

void fillPicPanel(const DeviceProfile& p, DisplayState::PicPanel& panel) {
    panel.cbOSC = PicOscNames(p);
    panel.cbCP = PicCpNames(p);
    const PicFuseView v = PicFusesFromConfig(p, uint16_t(p.picConfig));
    panel.oscIndex = v.oscIndex;
    panel.cpIndex = v.cpIndex;
    const PicBoxLayout layout = PicBoxesFor(p);
    for (size_t k = 0; k < panel.boxes.size(); ++k)
        panel.boxes[k] = {v.checked[k], true, layout.visible[k], layout.captions[k]};
    panel.cbOSCCAL = {p.picWriteOsccal != 0, true, p.eep == 18, "Write OSCCAL"};
}

}  // namespace

std::string SocketPicture(int32_t package, bool pcb3) {
    switch (package) {
        case 12:
            return pcb3 ? "img12C508" : "imgW12C508";
        case 16:
            return pcb3 ? "img16F84" : "imgW16F84";
        case 24:
            return "img2716";
        case 25:
            return pcb3 ? "img25C640" : "imgW25C640";
        case 28:
            return "imgZIF28";
        case 32:
            return "imgZIF32";
        case 48:
            return "imgTSOP48";
        case 51:
            return "img8051";
        case 93:
            return pcb3 ? "img93C46" : "imgW93C46";
        case 240:
            return pcb3 ? "img24C16" : "imgW24C16";
        case 2051:
            return "img2051";
        case 2313:
            return "img2313";
        case 2716:
            return "img2716";
        case 2732:
            return "img2732";
        case 2816:
            return "img2816";
        case 8749:
            return "pAdapter";
        case 16877:
            return "imgICSP";
        case 28001:
            return "img28F001";
        case 29256:
            return "img29C256";
        default:
            return {};
    }
}

std::string TimingText(int32_t value) {
    if (value > 999) return Format(" %0.1f mS", value * 0.001);
    return Format(" %0.1f uS", static_cast<double>(value));
}

int32_t PicIdFromWords(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    uint32_t id = 0;
    for (int32_t i = 0; i < p.picIdCount; ++i) {
        const size_t at = 2 * static_cast<size_t>(std::max(0, p.picIdBase + i));
        const uint8_t low = at < ctx.Buffer.size() ? ctx.Buffer[at] : 0;
        id = ((id << 4) | (low & 0xFu)) & 0xFFFFu;
    }
    return static_cast<int32_t>(id);
}

DisplayState ComputeDisplayState(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    DisplayState s;

    s.pcb3 = p.tavrin != 0;
    s.sbTavrinCaption = s.pcb3 ? "PCB3" : "Tavrin";
    s.pPCB3Visible = s.pcb3;
    s.pTavrinVisible = !s.pcb3;
    s.lbONTop = s.pcb3 ? kOnLabelTopPcb3 : kOnLabelTopTavrin;
    s.dip = p.DIP;
    drawSwitches(ctx, s);

    s.socketPicture = SocketPicture(p.package, s.pcb3);
    if (s.socketPicture == "pAdapter") s.adapterText = ctx.controls.lbAdapter;

    // The refresh first puts back a size shortened for an offset run: show the device's size.
    const int32_t size = p.deviceSize;
    s.edDevice = ctx.controls.edDevice;
    s.edBuffer = Format(" 0x%X", static_cast<uint32_t>(size) - 1u);
    s.edChecksum = ChecksumText(ctx.Buffer.data(), ChecksumLength(ctx, size), p.checkType);
    s.edShiftAdr = Format(" A0 --> A%d", p.ShiftAdr);
    s.edPatternAdr = Format(" 0x%06X", p.PatternAdr);

    // The MCS-51 routines run on the timing record's pair, so that pair is on show and on the
    // bars; the AVR devices show the pair the bars last set for them.
    const bool mcs51 = p.eep == 10 || p.eep == 11;
    const int32_t twc = mcs51 ? ctx.mcs51.tWC : p.tWC, twp = mcs51 ? ctx.mcs51.tWP : p.tWP;
    s.tbTWC = trackBar(twc, std::min<int64_t>(15 * int64_t{twc}, 50000));
    const int64_t twpMax = 15 * int64_t{twp};
    s.tbTWP = trackBar(twp, twpMax > 50000 ? 60000 : twpMax);
    s.edTWP = TimingText(p.eep == 14 ? p.avrTWP : twp);
    s.edTWC = TimingText(p.eep == 14 ? p.avrTWC : twc);

    s.cbSkip_0xFF = {p.skipFF != 0, false, true, "Skip Write 0xFF "};
    s.cbFastPro = {p.fastPro != 0, false, true, "Fast Programming"};
    s.cb5555 = {p.sequ != 0, true, ctx.controls.cb5555Visible, ctx.controls.cb5555Caption};
    s.cbProtect = {p.AT49F00x != 0, ctx.controls.cbProtectEnabled, true,
                   "Temporary Sector Unprotect"};
    s.offsetEnabled = ctx.controls.edOffsetEnabled;
    s.edOffset = ctx.controls.edOffsetText;
    applyFamily(ctx, s);

    if (p.PIC) {
        s.picShown = true;
        s.edPIC_cfg = Format(" 0x%04X", static_cast<unsigned>(p.picConfig) & 0xFFFFu);
        s.edPIC_ID = Format("%04X", static_cast<unsigned>(p.picID) & 0xFFFFu);
        s.edPIC_IDMaxLength = p.picIdCount;
        fillPicPanel(p, s.pic);
    }
    fillConfigs(ctx, s);
    return s;
}

std::string RenderDipSwitchesText(const DisplayState& s) {
    std::string out = "DIP switches for the ";
    out += s.pcb3 ? "PCB3" : "Tavrin";
    out += " board";
    if (s.jumperDigit == ' ') {
        out += ": no pattern shown\n";
    } else {
        out += Format(", pattern %d\n", s.dip);
        out += "Jumper A18/Vpp: position ";
        out += s.jumperDigit;
        out += "\nSwitches on:";
        for (int k = 1; k <= kDipSwitches; ++k)
            if (s.switchDigits[k - 1] == '1') out += Format(" %d", k);
        out += '\n';
    }
    const bool onAtTop = s.lbONTop == kOnLabelTopPcb3;
    auto row = [&](int image, bool labelled) {
        std::string line = labelled ? "  ON  " : "      ";
        for (int place = 0; place < kDipSwitches; ++place)
            line += s.placeImages[place] == image ? "[#]" : "[ ]";
        return line + '\n';
    };
    out += row(DipImage::LeverUp, onAtTop);
    out += row(DipImage::LeverDown, !onAtTop);
    std::string numbers = "      ";
    for (int place = 1; place <= kDipSwitches; ++place)
        numbers += Format("%2d ", s.pcb3 ? place : kDipSwitches + 1 - place);
    while (!numbers.empty() && numbers.back() == ' ') numbers.pop_back();
    out += numbers + '\n';
    return out;
}

void Winstat(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    p.bufferSize = p.deviceSize;
    if (p.PIC) {
        p.picID = PicIdFromWords(ctx);
        SetFuses(ctx);
    }
    ctx.ui().refresh();
}

void sbTavrin_Click(Context& ctx) {
    ctx.profile.tavrin = ctx.profile.tavrin == 0 ? 1 : 0;
    Winstat(ctx);
}

void tbTWCChange(Context& ctx, int32_t tag, int32_t position) {
    // The bars also set the AVR and MCS-51 copies of the pair.
    if (tag == 1) ctx.profile.tWC = ctx.profile.avrTWC = ctx.mcs51.tWC = position;
    if (tag == 2) ctx.profile.tWP = ctx.profile.avrTWP = ctx.mcs51.tWP = position;
    ctx.ui().refresh();
}

}  // namespace tavrin
