#pragma once
// --serial for `program` and `auto`: the next number written into the image before each chip,
// the state file moved on after each chip that passed.

#include <cstdint>
#include <optional>

#include "core/SerialNumber.h"

namespace tavrin::cli {

class Session;

class SerialNumbers {
  public:
    // Reads the options; kExitOk, or the exit status of a refusal already shown.
    int prepare(Session& s);
    bool active() const { return plan_.has_value(); }
    // Before a chip: the next number into the image.
    int stamp(Session& s);
    // After a chip: the state moves on only when it passed.
    int finished(Session& s, bool passed);

  private:
    std::optional<SerialNumberPlan> plan_;
    std::optional<SerialState> state_;
    uint64_t current_ = 0;
};

}  // namespace tavrin::cli
