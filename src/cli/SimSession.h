#pragma once
// The simulated board of one command-line run: the chip for the selected device, its contents
// kept in a chip file between runs (sim/ChipFile.h), injected faults and the pin trace.

#include <string>
#include <vector>

#include "core/Context.h"
#include "sim/SimBoard.h"

namespace tavrin::cli {

class SimSession {
  public:
    explicit SimSession(sim::SimBoard& board) : board_(board) {}

    // Puts the selected device's chip into the socket, restores it from `chipFile` when that exists
    // and applies `faults`. False with `error` set when the file or a fault cannot be used.
    bool prepare(const Context& ctx, const std::string& deviceCaption, const std::string& chipFile,
                 const std::vector<std::string>& faults, std::string& error);
    // Writes the chip back to its file (atomically); false with `error` set on failure.
    bool save(std::string& error) const;

  private:
    sim::SimBoard& board_;
    std::string chipFile_;
    std::string deviceCaption_;
};

}  // namespace tavrin::cli
