#pragma once
// Which routine serves each command for each family code. Adding a family means filling its row.

#include <array>
#include <cstdint>

#include "core/Context.h"

namespace tavrin {

enum class Command { Read, Program, Verify, Blank, Erase, GetId };

using Routine = void (*)(Context&);

struct Action {
    enum class Kind : uint8_t { Nothing, Run, CannotCheck, CannotErase };
    Kind kind = Kind::Nothing;
    Routine routine = nullptr;
};

struct FamilyRow {
    Action read, program, verify, blank, erase, getId;
    const Action& operator[](Command c) const;
};

inline constexpr int kFamilyCodes = 32;

// The row of a family code; codes outside 0..31 get an empty row.
const FamilyRow& FamilyFor(int32_t eep);
const std::array<FamilyRow, kFamilyCodes>& DispatchTable();

}  // namespace tavrin
