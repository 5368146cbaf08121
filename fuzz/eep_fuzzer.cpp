// EEP loading into an AVR EEPROM area placed at its usual spot or right at the end of the Buffer,
// where every record tests the bounds.
#include "FuzzSupport.h"
#include "buffer/FileCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    Context& ctx = fuzz::FuzzContext();
    ctx.profile = DeviceProfile{};
    ctx.profile.eep = 14;
    ctx.profile.avrEepromSize = 4096;
    ctx.profile.avrEepromBase = (size & 1) ? 0x40000 : int32_t(kBufferBytes) - 300;
    LoadImage(ctx, FileSource::Memory("fuzz.eep", {data, size}), FileFormat::Eep);
    fuzz::CheckInvariants(ctx);
    return 0;
}
