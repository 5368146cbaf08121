#include "buffer/BufferOperations.h"

#include <algorithm>
#include <cctype>

#include "core/ImageBuffer.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

// bufferLoaded as an index bound that stays inside the buffer.
size_t loadedExtent(const Context& ctx) {
    return std::min<size_t>(ctx.profile.bufferLoaded, ctx.Buffer.size());
}

}  // namespace

void Clear1Click(Context& ctx, int tag) {
    ClearBuf(ctx, tag);
    Winstat(ctx);
}

void sbClearClick(Context& ctx) {
    Clear1Click(ctx, 1);
}

void InvertDATA1Click(Context& ctx) {
    const size_t n = loadedExtent(ctx);
    for (size_t i = 0; i < n; ++i) ctx.Buffer[i] = static_cast<uint8_t>(~ctx.Buffer[i]);
    Winstat(ctx);
}

void Swapbyte1Click(Context& ctx) {
    const size_t n = loadedExtent(ctx);
    for (size_t i = 0; i < n && i + 1 < ctx.Buffer.size(); i += 2)
        std::swap(ctx.Buffer[i], ctx.Buffer[i + 1]);
    Winstat(ctx);
}

std::optional<uint32_t> ParseOffsetText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        // "%X" takes a 0x prefix; "0x" without a digit after it still reads the 0.
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return 0u;
        i += 2;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        value = (value << 4) | static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
        value &= 0xFFFFFFFFu;  // the box takes 8 characters; longer texts wrap as "%X" does
    }
    if (digits == 0) return std::nullopt;
    return static_cast<uint32_t>(value);
}

void edOffsetChange(Context& ctx, const std::string& text) {
    ctx.controls.edOffsetText = text.substr(0, kOffsetTextMax);
    if (std::optional<uint32_t> value = ParseOffsetText(ctx.controls.edOffsetText))
        ctx.profile.Offset = *value;
    ctx.ui().refresh();  // the Configs page shows the offset
}

void edOffsetExit(Context& ctx) {
    ctx.controls.edOffsetText = Format("%4.4x", ctx.profile.Offset);
    Winstat(ctx);
}

}  // namespace tavrin
