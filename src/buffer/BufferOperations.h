#pragma once
// Operations on the whole buffer (clear, invert, swap) and the Offset box.

#include <cstdint>
#include <optional>
#include <string>

#include "core/Context.h"

namespace tavrin {

// Menu "Clear Buffer": Tag 1 "OxFF" clears to 0xFF, Tag 2 "0x00" to 0x00 (the PIC families get
// their erased words either way), then the window refresh. bufferLoaded stays.
void Clear1Click(Context& ctx, int tag);
// Tool button "Clear Buffer": clear to 0xFF.
void sbClearClick(Context& ctx);

// Menu "Invert DATA": one's complement of bytes 0 .. bufferLoaded - 1, then the window refresh.
void InvertDATA1Click(Context& ctx);
// Menu "Swap BYTE": exchanges bytes i and i + 1 for i = 0, 2, 4, ... below bufferLoaded (an odd
// extent takes in one byte past it), then the window refresh.
void Swapbyte1Click(Context& ctx);

// The Offset box text as "%X" reads it: leading blanks, an optional 0x, then hex digits up to the
// first other character. Nothing when no digit was read (the offset keeps its value).
std::optional<uint32_t> ParseOffsetText(const std::string& text);
// edOffsetChange: the new text (at most 8 characters) sets Offset when it parses.
void edOffsetChange(Context& ctx, const std::string& text);
// edOffsetExit: the box shows Offset as "%4.4x", then the window refresh.
void edOffsetExit(Context& ctx);

inline constexpr size_t kOffsetTextMax = 8;

}  // namespace tavrin
