#pragma once
// UV EPROMs (27Cxxx, 27xxx) and the electrically erasable EPROMs that program like them: read,
// program with growing pulses, verify.

#include "core/Context.h"

namespace tavrin {

// Device address Offset + i is stored at image index Offset + i.
void ReadEprom(Context& ctx);
// Image index i goes to device address Offset + i, each byte read back after its pulse.
void ProgramEprom(Context& ctx);
// Compares image index i with device address Offset + i, reading each differing byte up to five
// times before it reports the mismatch.
void VerifyEprom(Context& ctx);

}  // namespace tavrin
