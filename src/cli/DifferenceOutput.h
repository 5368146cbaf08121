#pragma once
// The difference report on the terminal and as JSON: `verify --all`, and the not-blank hint
// after a program run that failed.

#include <iosfwd>
#include <nlohmann/json.hpp>

#include "core/DifferenceReport.h"

namespace tavrin::cli {

class Session;

nlohmann::ordered_json DifferenceJson(const DifferenceReport& report);
void PrintDifferenceReport(const DifferenceReport& report, std::ostream& out);

// verify --all: reads the chip, prints the report; 0 when nothing differs, 1 when something does.
int VerifyAll(Session& s, size_t listLimit);
// After a failed program run of a family that programs 1 to 0 only: reads the chip and, when it
// holds 0 where the file wants 1, says that it must be erased first (with the report).
void ExplainProgramFailure(Session& s);

}  // namespace tavrin::cli
