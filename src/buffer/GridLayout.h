#pragma once
// The two grids of the Buffer page: the byte grid HexGrid and the word grid ProgGrid. Row counts,
// which grid shows which area, and the text of every cell, so that the window only paints.

#include <array>
#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

inline constexpr int kHexGridColumns = 18;
inline constexpr int kProgGridColumns = 10;
inline constexpr int kGridRowHeight = 16;
inline constexpr std::array<int, kHexGridColumns> kHexGridColumnWidths = {
    63, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 114};
inline constexpr std::array<int, kProgGridColumns> kProgGridColumnWidths = {62, 33, 33, 33, 33,
                                                                            33, 33, 33, 33, 114};

// Row counts including the header row.
int32_t HexGridRowCount(int32_t size);
int32_t ProgGridRowCount(const DeviceProfile& p, int32_t size);

// Which grids the page shows and how high they are.
struct GridLayout {
    enum class Arrangement {
        HexOnly,      // byte-wide devices: HexGrid from the top, form height - 26
        ProgOnly,     // PIC without data memory (or 12-bit PIC): ProgGrid fills the page
        ProgAboveHex  // PIC with data memory, AVR: words above, data bytes below (112 pixels)
    } arrangement = Arrangement::HexOnly;
    int32_t hexRows = 0;
    int32_t progRows = 0;
    std::string hexCorner;  // header cell (0,0) of HexGrid: "Offset" or " Data"
    int32_t hexHeight = 0;
    int32_t progHeight = 0;
};
GridLayout ComputeGridLayout(const DeviceProfile& p, int32_t formHeight, int32_t pageHeight);

// The area the byte grid shows: bytes from `base` (PIC: the low bytes of the words from word
// 0x2100), `limit` of them.
struct HexWindow {
    uint32_t base = 0;
    uint32_t limit = 0;
    bool lowBytesOfWords = false;
};
HexWindow HexGridWindow(const DeviceProfile& p);

// The byte at grid address `a` (counted from the window's start), or -1 outside the window or
// the buffer.
int HexGridByte(const Context& ctx, uint32_t a);

// Characters 0x21 to 0x7F show as themselves, any other as '.'.
char PrintableChar(uint8_t byte);

// Text of a cell, header row included; empty for cells that draw nothing.
std::string HexGridCellText(const Context& ctx, int32_t column, int32_t row);
std::string ProgGridCellText(const Context& ctx, int32_t column, int32_t row);

}  // namespace tavrin
