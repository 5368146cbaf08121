#include "core/StartUp.h"

#include "core/ImageBuffer.h"

namespace tavrin {

void StartUp(Context& ctx, const std::function<void(Context&)>& chooseDevice) {
    ctx.bus.PowerDown();
    SetBufferSize(ctx, 0);
    ctx.profile.idCheck = 1;  // on unless the stored settings or the command line say otherwise
    if (chooseDevice) chooseDevice(ctx);
    ClearBuf(ctx, 1);
}

}  // namespace tavrin
