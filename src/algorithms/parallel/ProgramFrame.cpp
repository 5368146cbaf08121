#include "algorithms/parallel/ProgramFrame.h"

#include "algorithms/parallel/ParallelCommon.h"
#include "core/RunFrame.h"

namespace tavrin {

void RunProgramPass(Context& ctx, const ProgramPass& pass) {
    DeviceProfile& p = ctx.profile;
    const uint32_t loadedCopy = p.bufferLoaded;
    if (p.Offset != 0) ConfirmOffset(ctx);
    const int64_t last = ClipLoadedToDevice(ctx);
    SetProcessGauge(ctx, pass.caption, p.bufferLoaded, GaugeColor::Program);
    p.verifyError = 0;
    pass.start();
    for (int64_t i = 0; i <= last; ++i) {
        const uint8_t value = ctx.Buffer[size_t(i)];
        if (!(p.skipFF == 1 && value == 0xFF) &&
            !pass.writeByte(uint32_t(i), p.Offset + uint32_t(i), value)) {
            p.verifyError = 1;
            break;
        }
        if (StepCancelled(ctx, i)) {
            Message(ctx, "program interrupted!", MessageKind::Error);
            p.verifyError = 1;
            break;
        }
    }
    if (pass.finish) pass.finish();
    if (p.verifyError == 0) {
        p.quietVerify = 1;
        VerifyParallel(ctx);
        if (p.verifyError == 0) Message(ctx, "Device Programed OK", MessageKind::Success);
    }
    p.bufferLoaded = loadedCopy;
    ctx.bus.PowerDown();
}

}  // namespace tavrin
