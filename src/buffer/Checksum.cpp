#include "buffer/Checksum.h"

#include <zlib.h>

#include <algorithm>

#include "core/RunFrame.h"

namespace tavrin {

uint16_t Sum16(const uint8_t* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i) sum += data[i];
    return static_cast<uint16_t>(sum);
}

uint32_t Crc32(const uint8_t* data, size_t length) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes the length as uInt; feed large ranges in slices.
    while (length > 0) {
        const uInt slice = static_cast<uInt>(std::min<size_t>(length, 1u << 30));
        crc = crc32(crc, data, slice);
        data += slice;
        length -= slice;
    }
    return static_cast<uint32_t>(crc);
}

size_t ChecksumLength(const Context& ctx, int32_t size) {
    const int64_t n = ctx.profile.PIC ? 20000 : std::max<int32_t>(size, 0);
    return static_cast<size_t>(std::min<int64_t>(n, static_cast<int64_t>(ctx.Buffer.size())));
}

std::string ChecksumText(const uint8_t* data, size_t length, int32_t checkType) {
    if (checkType == kCheckSum16) return Format("0x%04X", Sum16(data, length));
    return Format(" 0x%08X", Crc32(data, length));
}

std::string ChecksumText(const Context& ctx) {
    return ChecksumText(ctx.Buffer.data(), ChecksumLength(ctx, ctx.profile.bufferSize),
                        ctx.profile.checkType);
}

void cbCheckTypeChange(Context& ctx, int32_t item) {
    ctx.profile.checkType = item;
    ctx.ui().refresh();  // only the checksum box changes
}

}  // namespace tavrin
