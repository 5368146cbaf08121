// Motorola S-record loading, with the fall-back to Intel HEX, from arbitrary file contents.
#include "FuzzSupport.h"
#include "buffer/FileCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    Context& ctx = fuzz::FuzzContext();
    ctx.profile = DeviceProfile{};
    LoadImage(ctx, FileSource::Memory("fuzz.s", {data, size}), FileFormat::SRecord);
    fuzz::CheckInvariants(ctx);
    return 0;
}
