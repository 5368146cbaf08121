// Binary loading and the format detector, then the load command's PIC adjustments on the result.
#include "FuzzSupport.h"
#include "buffer/FileCommands.h"
#include "buffer/FormatDetect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    Context& ctx = fuzz::FuzzContext();
    ctx.profile = DeviceProfile{};
    const FileFormat detected = DetectFormat({data, size});
    if (detected != FileFormat::Binary && detected != FileFormat::IntelHex &&
        detected != FileFormat::SRecord)
        std::abort();
    if (size >= 8) {
        // The first bytes pick the PIC area fields, hostile values included.
        ctx.profile.PIC = 1;
        ctx.profile.picCfgIndex = int16_t(data[0] | data[1] << 8) * 64;
        ctx.profile.picIdBase = int16_t(data[2] | data[3] << 8) * 64;
        ctx.profile.picIdCount = data[4];
    }
    LoadImage(ctx, FileSource::Memory("fuzz.bin", {data, size}), FileFormat::Auto);
    fuzz::CheckInvariants(ctx);
    return 0;
}
