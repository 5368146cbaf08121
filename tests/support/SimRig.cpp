#include "support/SimRig.h"

#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"

namespace tavrin::test {

namespace {
sim::SimBoard& installBoard(Context& ctx) {
    auto board = std::make_unique<sim::SimBoard>();
    sim::SimBoard& ref = *board;
    ctx.setPort(std::move(board));
    return ref;
}
}  // namespace

SimRig::SimRig() : ctx(&ui), board(installBoard(ctx)) { ui.attach(&ctx); }

void SimRig::selectRawDevice(int32_t size, int32_t eep) {
    ResetProfile(ctx);
    ctx.profile.eep = eep;
    SetBufferSize(ctx, size);
    UpdateShift(ctx.profile);
}

}  // namespace tavrin::test
