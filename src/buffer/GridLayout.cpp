#include "buffer/GridLayout.h"

#include <algorithm>

#include "core/RunFrame.h"

namespace tavrin {

namespace {

inline constexpr uint32_t kPicDataByte = 0x4200;  // word 0x2100

bool isAvr(const DeviceProfile& p) {
    return p.eep == 14;
}

// Bytes of the image the word grid covers. PIC sizes count words; the AVR flash counts bytes.
uint32_t progGridBytes(const DeviceProfile& p) {
    const uint32_t size = static_cast<uint32_t>(std::max(0, p.bufferSize));
    return p.PIC ? 2 * size : size;
}

uint16_t wordAt(const Context& ctx, uint32_t word) {
    const size_t at = 2 * size_t{word};
    if (at + 1 >= ctx.Buffer.size()) return 0;
    return static_cast<uint16_t>(ctx.Buffer[at] | (ctx.Buffer[at + 1] << 8));
}

}  // namespace

int32_t HexGridRowCount(int32_t size) {
    const int32_t rows = std::max(0, size) / 16;
    if (rows < 28) return 29;
    // A last partial row still gets its line.
    return rows + (size % 16 != 0 ? 1 : 0) + 1;
}

int32_t ProgGridRowCount(const DeviceProfile& p, int32_t size) {
    const int32_t n = std::max(0, size);
    if (p.PIC) return n / 8 + 1;
    if (isAvr(p)) return (n + 15) / 16 + 1;
    return 2;
}

GridLayout ComputeGridLayout(const DeviceProfile& p, int32_t formHeight, int32_t pageHeight) {
    GridLayout g;
    g.hexRows = HexGridRowCount(p.bufferSize);
    g.progRows = ProgGridRowCount(p, p.bufferSize);
    if (p.PIC && (p.eep == 18 || p.picDataBytes == 0)) {
        g.arrangement = GridLayout::Arrangement::ProgOnly;
        g.progHeight = pageHeight - 40;
        g.hexCorner = "Offset";
    } else if (p.PIC || isAvr(p)) {
        g.arrangement = GridLayout::Arrangement::ProgAboveHex;
        g.progHeight = formHeight - 220;
        g.hexCorner = " Data";
        g.hexHeight = 112;
    } else {
        g.arrangement = GridLayout::Arrangement::HexOnly;
        g.hexCorner = "Offset";
        g.hexHeight = formHeight - 26;
    }
    return g;
}

HexWindow HexGridWindow(const DeviceProfile& p) {
    if (p.PIC) return {kPicDataByte, static_cast<uint32_t>(std::max(0, p.picDataBytes)), true};
    if (isAvr(p))
        return {static_cast<uint32_t>(std::max(0, p.avrEepromBase)),
                static_cast<uint32_t>(std::max(0, p.avrEepromSize)), false};
    return {0, static_cast<uint32_t>(std::max(0, p.bufferSize)), false};
}

int HexGridByte(const Context& ctx, uint32_t a) {
    const HexWindow w = HexGridWindow(ctx.profile);
    if (a >= w.limit) return -1;
    const size_t at = size_t{w.base} + (w.lowBytesOfWords ? 2 * size_t{a} : size_t{a});
    if (at >= ctx.Buffer.size()) return -1;
    return ctx.Buffer[at];
}

char PrintableChar(uint8_t byte) {
    return byte >= 0x21 && byte <= 0x7F ? char(byte) : '.';
}

std::string HexGridCellText(const Context& ctx, int32_t column, int32_t row) {
    if (column < 0 || column >= kHexGridColumns || row < 0) return {};
    if (row == 0) {
        if (column == 0) return ComputeGridLayout(ctx.profile, 0, 0).hexCorner;
        if (column == 17) return "    Ascii";
        return Format("%X", column - 1);
    }
    const uint32_t a = static_cast<uint32_t>(row - 1) * 16;
    if (a >= HexGridWindow(ctx.profile).limit) return {};
    if (column == 0) return Format("$%6.6x", a);
    if (column <= 16) {
        const int byte = HexGridByte(ctx, a + static_cast<uint32_t>(column) - 1);
        return byte < 0 ? std::string() : Format("%2.2x", byte);
    }
    std::string text;
    for (uint32_t i = 0; i < 16; ++i) {
        const int byte = HexGridByte(ctx, a + i);
        if (byte < 0) break;
        text += PrintableChar(static_cast<uint8_t>(byte));
    }
    return text;
}

std::string ProgGridCellText(const Context& ctx, int32_t column, int32_t row) {
    if (column < 0 || column >= kProgGridColumns || row < 0) return {};
    if (row == 0) {
        if (column == 0) return "Program";
        if (column == 9) return "    Ascii";
        return Format("%d", column - 1);
    }
    const uint32_t a = static_cast<uint32_t>(row - 1) * 16;
    const uint32_t limit = progGridBytes(ctx.profile);
    if (a >= limit) return {};
    const uint32_t firstWord = a / 2;
    if (column == 0) return Format("$%6.6x", firstWord);
    if (column <= 8) {
        const uint32_t word = firstWord + static_cast<uint32_t>(column) - 1;
        if (2 * word >= limit) return {};
        return Format("%4.4x", wordAt(ctx, word));
    }
    std::string text;
    if (isAvr(ctx.profile) && !ctx.profile.PIC) {
        for (uint32_t i = 0; i < 16 && a + i < limit && a + i < ctx.Buffer.size(); ++i)
            text += PrintableChar(ctx.Buffer[a + i]);
    } else {
        text = " ";
        for (uint32_t i = 0; i < 8 && 2 * (firstWord + i) < limit; ++i)
            text += PrintableChar(static_cast<uint8_t>(wordAt(ctx, firstWord + i) & 0xFF));
    }
    return text;
}

}  // namespace tavrin
