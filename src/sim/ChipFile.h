#pragma once
// The chip file that keeps a simulated chip between runs (`tavrin --chip-file`, the window's
// Simulation menu): a magic line, the device caption, then the chip model's own state.

#include <iosfwd>
#include <string>

#include "sim/SimBoard.h"

namespace tavrin::sim {

// Restores the chip in the socket of `board` from the contents of a chip file (`name` in the
// texts), which must hold a `deviceCaption`. False with `error` set when it cannot be used; the
// chip may then hold part of the file.
bool RestoreChip(SimBoard& board, std::istream& in, const std::string& deviceCaption,
                 const std::string& name, std::string& error);

// The device caption a chip file names; empty when `path` is no chip file.
std::string ChipFileDevice(const std::string& path);

// Writes the chip in the socket to `path` atomically (nothing without a chip); false with
// `error` set on failure.
bool SaveChip(const SimBoard& board, const std::string& deviceCaption, const std::string& path,
              std::string& error);

}  // namespace tavrin::sim
