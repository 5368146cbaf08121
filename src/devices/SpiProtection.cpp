#include "devices/SpiProtection.h"

#include "core/RunFrame.h"

namespace tavrin {

void FillSpiProtection(Context& ctx, int32_t tag) {
    OptionControls& c = ctx.controls;
    const int32_t size = ctx.profile.bufferSize;
    const char* whole = tag < 200 ? " 00h - %Xh" : tag < 400 ? " 0000h - %Xh" : " 00000h - %Xh";
    c.cb25CxxxBPItems = {" None", Format(" %Xh - %Xh", size - size / 4, size - 1),
                         Format(" %Xh - %Xh", size / 2, size - 1), Format(whole, size - 1)};
    c.cb25CxxxBPItem = 0;
    c.cbWPEN25CVisible = tag > 200;
    c.cbWPEN25CChecked = false;
    ctx.profile.spiStatus = 0;
}

void cb25CxxxBPChange(Context& ctx, int item, bool wpen) {
    if (item < 0 || item > 3) return;
    ctx.controls.cb25CxxxBPItem = item;
    ctx.controls.cbWPEN25CChecked = wpen;
    ctx.profile.spiStatus = ((item * 4) & 0x0C) + (wpen ? 0x80 : 0);
}

}  // namespace tavrin
