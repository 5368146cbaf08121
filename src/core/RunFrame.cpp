#include "core/RunFrame.h"

#include <cstdarg>
#include <cstdio>

namespace tavrin {

void Message(Context& ctx, const std::string& text, MessageKind kind) { ctx.ui().message(text, kind); }

void SetProcessGauge(Context& ctx, const std::string& caption, int64_t max, uint32_t color) {
    ctx.ui().openGauge(caption, max, color);
    Message(ctx, caption, MessageKind::Progress);
    ctx.profile.cancelRequested = 0;
    ctx.ui().pumpEvents();
}

bool StepCancelled(Context& ctx, int64_t progress) {
    ctx.ui().setGaugeProgress(progress);
    ctx.ui().pumpEvents();
    return ctx.profile.cancelRequested != 0;
}

bool ConfirmOffset(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    if (!ctx.ui().confirm(Format("Use offset of 0x%06X", p.Offset))) {
        p.bufferSize = p.deviceSize;
        ctx.controls.edOffsetText = "0000";
        p.Offset = 0;
        return false;
    }
    if (p.bufferLoaded + p.Offset >= static_cast<uint32_t>(p.bufferSize))
        // An offset at or past the end of the device leaves nothing to do rather than a negative size.
        p.bufferSize = p.Offset >= static_cast<uint32_t>(p.bufferSize)
                           ? 0
                           : p.bufferSize - static_cast<int32_t>(p.Offset);
    return true;
}

std::string Format(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

}  // namespace tavrin
