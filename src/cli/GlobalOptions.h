#pragma once
// The options of `tavrin` that every command accepts, before or after the command name.

#include <CLI/CLI.hpp>

#include "cli/Options.h"

namespace tavrin::cli {

void AddGlobalOptions(CLI::App& app, Options& options);

}  // namespace tavrin::cli
