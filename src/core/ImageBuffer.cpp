#include "core/ImageBuffer.h"

#include <algorithm>

namespace tavrin {

namespace {

void putWord(Context& ctx, uint32_t word, uint16_t value) {
    const uint32_t at = 2 * word;
    if (at + 1 >= ctx.Buffer.size()) return;
    ctx.Buffer[at] = uint8_t(value & 0xFF);
    ctx.Buffer[at + 1] = uint8_t(value >> 8);
}

}  // namespace

uint16_t BufferWord(const Context& ctx, int64_t word) {
    if (word < 0 || 2 * word + 1 >= int64_t(ctx.Buffer.size())) return 0xFFFF;
    return uint16_t(ctx.Buffer[size_t(2 * word)] | (ctx.Buffer[size_t(2 * word + 1)] << 8));
}

void SetBufferWord(Context& ctx, int64_t word, uint16_t value) {
    if (word < 0 || 2 * word + 1 >= int64_t(ctx.Buffer.size())) return;
    ctx.Buffer[size_t(2 * word)] = uint8_t(value & 0xFF);
    ctx.Buffer[size_t(2 * word + 1)] = uint8_t(value >> 8);
}

void SetBufferSize(Context& ctx, int32_t size) {
    DeviceProfile& p = ctx.profile;
    p.bufferSize = p.deviceSize = p.picProgWords = p.avrFlashSize = size;
}

void ClearBuf(Context& ctx, int fill) {
    DeviceProfile& p = ctx.profile;
    ctx.controls.caption = "Tavrin Eprom Prog(0.95B)- ";
    if (p.eep == 16 || p.eep == 17) {  // 14-bit PIC: erased program words, zero above
        for (uint32_t w = 0; w < 8200; ++w) putWord(ctx, w, 0x3FFF);
        for (uint32_t w = 8200; w < 16384; ++w) putWord(ctx, w, 0x0000);
    } else if (p.eep == 18) {  // 12-bit PIC
        const uint32_t prog = static_cast<uint32_t>(std::max(0, p.picProgWords));
        const uint32_t ids = static_cast<uint32_t>(std::max(0, p.picIdCount));
        for (uint32_t w = 0; w < prog; ++w) putWord(ctx, w, 0x0FFF);
        for (uint32_t w = prog; w < prog + ids; ++w) putWord(ctx, w, 0x0000);
        putWord(ctx, static_cast<uint32_t>(p.picCfgIndex), 0x0FFF);
    } else {
        std::fill(ctx.Buffer.begin(), ctx.Buffer.end(), fill < 2 ? 0xFF : 0x00);
    }
    p.picConfig = 0x3FFF;
    ctx.ui().refresh();
}

}  // namespace tavrin
