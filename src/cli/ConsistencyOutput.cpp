#include "cli/ConsistencyOutput.h"

#include <iostream>

#include "cli/CliFiles.h"
#include "cli/Session.h"
#include "core/RunFrame.h"

namespace tavrin::cli {

nlohmann::ordered_json ConsistencyJson(const ConsistencyReport& r) {
    nlohmann::ordered_json out;
    out["passes"] = r.passes;
    out["compared"] = r.compared;
    out["unstable"] = r.unstable;
    out["unstableBits"] = r.unstableBits;
    auto list = nlohmann::ordered_json::array();
    for (const UnstableByte& u : r.first) {
        auto bits = nlohmann::ordered_json::array();
        for (int bit = 0; bit < 8; ++bit)
            if (u.flipped & (1u << bit)) bits.push_back(bit);
        list.push_back({{"address", u.address},
                        {"majority", u.majority},
                        {"flipped", u.flipped},
                        {"bits", bits},
                        {"seen", u.seen}});
    }
    out["bytes"] = list;
    return out;
}

void PrintConsistencyReport(const ConsistencyReport& r, std::ostream& out) {
    out << ConsistencySummary(r) << '\n';
    if (!r.first.empty()) out << "Address   Kept  Bits     Reads\n";
    for (const UnstableByte& u : r.first) {
        out << Format("0x%06X  0x%02X  %-7s ", u.address, u.majority, BitList(u.flipped).c_str());
        for (uint8_t v : u.seen) out << Format(" 0x%02X", v);
        out << '\n';
    }
    if (r.unstable > r.first.size())
        out << Format("... and %llu more\n", (unsigned long long)(r.unstable - r.first.size()));
}

int ReadPasses(Session& s, const std::string& path, int passes, size_t listLimit,
               const std::function<int()>& save) {
    if (int status = s.refuseBeforeRun(Command::Read); status != kExitOk) return status;
    ConsistencyReport report;
    s.ui().resetOutcome();
    s.watcher().clear();
    if (!ReadConsistently(s.ctx(), passes, report, listLimit)) return s.lastOutcome();
    if (int status = save(); status != kExitOk) return status;
    if (s.json())  // the report joins the result object
        s.report().fields()["consistency"] = ConsistencyJson(report);
    else
        PrintConsistencyReport(report, IsStdStream(path) ? std::cerr : std::cout);
    return report.unstable == 0 ? kExitOk : kExitFailed;
}

}  // namespace tavrin::cli
