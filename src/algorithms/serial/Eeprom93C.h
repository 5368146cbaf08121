#pragma once
// 93Cxx three-wire serial EEPROMs in 8-bit or 16-bit organisation (eep 8). The commands come
// from the profile's Cmd93C record. In 16-bit organisation the image holds each word high byte
// first: the byte at the even index is the first one clocked. Offset is not used.

#include "core/Context.h"

namespace tavrin {

void Read93C(Context& ctx);
void Verify93C(Context& ctx);
// Writes every loaded word with a fixed 10 ms write time, then verifies quietly; success only
// when the verify passed.
void Program93C(Context& ctx);
// ERAL: every word to all ones.
void Erase93C(Context& ctx);

}  // namespace tavrin
