#pragma once
// The DIP-switch setting the user last confirmed, kept between runs in a one-line file (the
// window keeps it in its settings).

#include <string>

namespace tavrin::cli {

// $XDG_CONFIG_HOME/tavrin/dip-switches, else ~/.config/tavrin/dip-switches, else a file of that
// name in the current folder.
std::string DefaultDipStatePath();

// The digits stored in `path`; empty when the file is missing or holds no valid setting.
std::string LoadDipState(const std::string& path);

// Writes `digits` (through a temporary file, so a crash leaves the old setting); false with
// `error` set when it could not.
bool SaveDipState(const std::string& path, const std::string& digits, std::string& error);

}  // namespace tavrin::cli
