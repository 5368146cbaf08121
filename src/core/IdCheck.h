#pragma once
// The chip-ID check before writing: Program and Erase of a family that can read its electronic ID
// first read it and refuse when the chip is not one the selected entry names.

#include <optional>
#include <string>
#include <vector>

#include "core/Context.h"
#include "core/Dispatch.h"
#include "devices/AcceptedIds.h"

namespace tavrin {

struct IdCheckOutcome {
    enum class Kind { NotApplicable, Off, NoCodes, Passed, Refused } kind = Kind::NotApplicable;
    std::optional<ChipId> read;  // what the chip answered (Passed and Refused)
    std::string message;         // the refusal
};

// Runs the check for `command` (Program and Erase only, and only when profile.idCheck is set);
// a refusal is shown as an error. The socket is unpowered afterwards.
IdCheckOutcome CheckChipId(Context& ctx, Command command);

// "0x1F/0xD5" (AVR: "0x1E/0x9101").
std::string ChipIdText(const ChipId& id);

}  // namespace tavrin
