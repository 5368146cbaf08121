#pragma once
// SHA-256 (FIPS 180-4) of an image in memory. Our own, so that the program does not load a
// crypto library for one digest: that library's relocations cost every start of `tavrin` about
// 3 ms, more than a 4 MB digest.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrin {

std::array<uint8_t, 32> Sha256(const uint8_t* data, size_t length);

}  // namespace tavrin
