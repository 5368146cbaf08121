#pragma once
// 28Cxx byte-write EEPROMs: each byte is written, given its write-cycle wait and read back.

#include <string>

#include "core/Context.h"

namespace tavrin {

// Image index i goes to device address Offset + i; bytes that read back wrong are written again
// with a longer wait, up to 26 writes.
void Program28C(Context& ctx);
// Erase: writes 0xFF to every address of the device. Shows nothing at the end when it worked.
void Fill28C(Context& ctx);

// For a 28C entry whose chip may really be an AT28C part with software data protection (the
// 64 Kbit and 256 Kbit rows): the caption of the AT28C entry that writes it, else empty.
std::string ProtectedPartEntryFor(const DeviceProfile& p);

}  // namespace tavrin
