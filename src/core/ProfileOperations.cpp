#include "core/ProfileOperations.h"

#include <bit>

namespace tavrin {

void ResetProfile(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    p.saved = SavedProfile{p.tWC,     p.tWP,        p.ShiftAdr, p.epr64,  p.eep,     p.swap,
                           p.pin28,   p.pin30,      p.serial,   p.PIC,    p.fixedShift,
                           p.keepVpp, p.skipFF,     p.fastPro};
    p.epr64 = p.swap = p.pin28 = p.pin30 = p.serial = p.PIC = p.fixedShift = p.keepVpp = 0;
    p.tWC = 10;
    p.tWP = 1;
    p.ShiftAdr = 12;
    p.skipFF = 0;  // cbSkip_0xFF unchecked
    p.sequ = 0;    // cb5555 unchecked, captioned and hidden
    ctx.controls.cb5555Caption = "( 5555,2AAA,5555,.. )";
    ctx.controls.cb5555Visible = false;
    p.Offset = 0;
    p.fastPro = 0;
    p.fujitsuFast = 0;
    p.eep = 0;
    ctx.controls.edOffsetText = "0";
    ctx.controls.edOffsetEnabled = true;
}

void RestoreProfile(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const SavedProfile& s = p.saved;
    p.tWC = s.tWC;
    p.tWP = s.tWP;
    p.ShiftAdr = s.ShiftAdr;
    p.epr64 = s.epr64;
    p.eep = s.eep;
    p.swap = s.swap;
    p.pin28 = s.pin28;
    p.pin30 = s.pin30;
    p.serial = s.serial;
    p.PIC = s.PIC;
    p.fixedShift = s.fixedShift;
    p.keepVpp = s.keepVpp;
    p.skipFF = s.skipFF;
    p.fastPro = s.fastPro;
}

void UpdateShift(DeviceProfile& p) {
    if (p.fixedShift == 0)
        p.ShiftAdr = static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(p.bufferSize))) - 2;
    // The shift count is taken modulo 32, as the x86 shift instruction does, so that a size of 0
    // (no device) cannot make an undefined shift.
    p.PatternAdr = 1u << (static_cast<uint32_t>(p.ShiftAdr) & 31u);
}

}  // namespace tavrin
