#pragma once
// `read --passes N`: the chip read N times, the majority image saved and the unstable bytes
// reported on the terminal or as JSON.

#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "core/ReadConsistency.h"

namespace tavrin::cli {

class Session;

nlohmann::ordered_json ConsistencyJson(const ConsistencyReport& report);
void PrintConsistencyReport(const ConsistencyReport& report, std::ostream& out);

// Reads the chip `passes` times and has `save` write the majority image (to `path`, "-" for
// standard output); 0 when every read agreed, 1 when some bytes were unstable (the image is
// saved all the same), the read's own status when a pass failed, the save's when it failed.
int ReadPasses(Session& s, const std::string& path, int passes, size_t listLimit,
               const std::function<int()>& save);

}  // namespace tavrin::cli
