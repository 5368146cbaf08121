#include "buffer/SplitInterleave.h"

#include <algorithm>
#include <vector>

#include "core/ImageBuffer.h"

namespace tavrin {

namespace {

// The first `bufferLoaded` bytes that the last load left, or nullopt when it failed.
std::optional<std::vector<uint8_t>> loadOne(Context& ctx, const std::string& path,
                                            FileFormat format) {
    if (!LoadImage(ctx, path, format)) return std::nullopt;
    const size_t extent = std::min<size_t>(ctx.profile.bufferLoaded, ctx.Buffer.size());
    return std::vector<uint8_t>(ctx.Buffer.begin(), ctx.Buffer.begin() + extent);
}

}  // namespace

std::optional<Half> HalfByName(const std::string& name) {
    if (name == "even") return Half::Even;
    if (name == "odd") return Half::Odd;
    return std::nullopt;
}

std::string SplitRefusal(const DeviceProfile& p) {
    if (p.PIC) return "PIC images are program words, not byte pairs";
    if (p.eep == 14) return "AVR images hold flash words and the EEPROM area";
    return {};
}

void Interleave(Context& ctx, const std::vector<uint8_t>& even, const std::vector<uint8_t>& odd) {
    ClearBuf(ctx, 1);
    for (size_t i = 0; i < even.size(); ++i) ctx.Buffer[2 * i] = even[i];
    for (size_t i = 0; i < odd.size(); ++i) ctx.Buffer[2 * i + 1] = odd[i];
    const size_t extent = std::max(even.empty() ? 0 : 2 * even.size() - 1, 2 * odd.size());
    ctx.profile.bufferLoaded = static_cast<uint32_t>(extent);
    ctx.ui().refresh();
}

bool LoadInterleaved(Context& ctx, const std::string& evenPath, const std::string& oddPath,
                     FileFormat format, std::string& error) {
    return LoadInterleaved(ctx, evenPath, format, oddPath, format, error);
}

bool LoadInterleaved(Context& ctx, const std::string& evenPath, FileFormat evenFormat,
                     const std::string& oddPath, FileFormat oddFormat, std::string& error) {
    const auto even = loadOne(ctx, evenPath, evenFormat);
    const auto odd = even ? loadOne(ctx, oddPath, oddFormat) : std::nullopt;
    if (!even || !odd) {
        ClearBuf(ctx, 1);
        ctx.profile.bufferLoaded = 0;
        error = "cannot load '" + (even ? oddPath : evenPath) + "'";
        return false;
    }
    if (2 * std::max(even->size(), odd->size()) > ctx.Buffer.size()) {
        ClearBuf(ctx, 1);
        ctx.profile.bufferLoaded = 0;
        error = "the two halves make more than the buffer's " + std::to_string(ctx.Buffer.size()) +
                " bytes";
        return false;
    }
    Interleave(ctx, *even, *odd);
    return true;
}

std::vector<uint8_t> HalfOf(const Context& ctx, Half half) {
    const size_t n =
        std::min<size_t>(std::max<int32_t>(ctx.profile.bufferSize, 0), ctx.Buffer.size());
    std::vector<uint8_t> out;
    out.reserve(n / 2 + 1);
    for (size_t i = half == Half::Even ? 0 : 1; i < n; i += 2) out.push_back(ctx.Buffer[i]);
    return out;
}

std::optional<std::string> SaveHalf(Context& ctx, const std::string& path, FileFormat format,
                                    Half half, SaveNaming naming) {
    const std::vector<uint8_t> bytes = HalfOf(ctx, half);
    // The savers write the first bufferSize bytes: lend them the half and put everything back.
    std::vector<uint8_t> kept(ctx.Buffer.begin(), ctx.Buffer.begin() + bytes.size());
    const DeviceProfile profile = ctx.profile;
    std::copy(bytes.begin(), bytes.end(), ctx.Buffer.begin());
    ctx.profile.bufferSize = static_cast<int32_t>(bytes.size());
    ctx.profile.deviceSize = ctx.profile.bufferSize;
    std::optional<std::string> written = SaveImage(ctx, path, format, naming);
    std::copy(kept.begin(), kept.end(), ctx.Buffer.begin());
    ctx.profile = profile;
    return written;
}

}  // namespace tavrin
