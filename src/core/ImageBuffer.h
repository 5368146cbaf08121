#pragma once
// Sizing and clearing the device image.

#include <cstdint>

#include "core/Context.h"

namespace tavrin {

// Sets bufferSize and deviceSize and the PIC and AVR size copies; the window resizes its grids on
// the next refresh.
void SetBufferSize(Context& ctx, int32_t size);

// fill 1 (or anything below 2) clears to 0xFF, otherwise to 0x00. The PIC families get their own
// erased words whatever the fill. bufferLoaded is left as it is.
void ClearBuf(Context& ctx, int fill);

// Word `word` of the image as a little-endian 16-bit value (the PIC view); words outside the
// image read 0xFFFF and are not written.
uint16_t BufferWord(const Context& ctx, int64_t word);
void SetBufferWord(Context& ctx, int64_t word, uint16_t value);

}  // namespace tavrin
