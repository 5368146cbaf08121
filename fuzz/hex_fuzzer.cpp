// Intel HEX loading, with the fall-back to S-records, from arbitrary file contents.
#include "FuzzSupport.h"
#include "buffer/FileCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    Context& ctx = fuzz::FuzzContext();
    ctx.profile = DeviceProfile{};
    LoadImage(ctx, FileSource::Memory("fuzz.hex", {data, size}), FileFormat::IntelHex);
    fuzz::CheckInvariants(ctx);
    return 0;
}
