#pragma once
// The production run of one chip: blank check (or erase, when the family erases and the user
// chose it), program with its verify, then the lock, fuse or protect steps the user set. It stops
// at the first step that fails, with that step's message. A counter keeps the passed and failed
// chips of the session.

#include <functional>
#include <string>
#include <vector>

#include "core/Context.h"
#include "core/Dispatch.h"

namespace tavrin {

// A step after programming (lock bits, fuses, sector protection); it shows its failure as a
// kind-1 message like any routine.
struct AutoExtraStep {
    std::string name;  // "lock bits", "fuses", ...
    std::function<void(Context&)> run;
};

// The AVR lock bits of `mode` (1 none, 2 no further programming, 3 no verify either), written
// after programming and read back.
AutoExtraStep AvrLockStep(int32_t mode);
inline constexpr int32_t kAutoAvrFamily = 14;

struct AutoPlan {
    bool erase = false;  // erase first instead of the blank check, where the family erases
    std::vector<AutoExtraStep> after;
};

struct AutoStepResult {
    std::string name;  // "blank check", "erase", "program", or an extra step's name
    bool passed = false;
    std::string message;  // the failure text, or the step's last message
};

struct AutoResult {
    bool passed = false;
    std::vector<AutoStepResult> steps;  // the steps that ran, the failed one last
    // The failed step's name and message; empty when passed.
    std::string failedStep;
    std::string message;
};

// The steps the plan gives for the selected family, by name, in order.
std::vector<std::string> AutoStepNames(const Context& ctx, const AutoPlan& plan);

// Runs the sequence on the chip in the socket. The socket ends unpowered.
AutoResult RunAutoSequence(Context& ctx, const AutoPlan& plan);

struct ProductionCounter {
    int passed = 0;
    int failed = 0;
    void count(const AutoResult& r) { ++(r.passed ? passed : failed); }
    // "Passed 3  Failed 1"
    std::string text() const;
};

}  // namespace tavrin
