#include "cli/DifferenceOutput.h"

#include <cstdio>
#include <iostream>

#include "cli/Session.h"
#include "core/RunFrame.h"

namespace tavrin::cli {

nlohmann::ordered_json DifferenceJson(const DifferenceReport& r) {
    nlohmann::ordered_json out;
    out["compared"] = r.compared;
    out["differing"] = r.differing;
    out["bitsOneToZero"] = r.bitsOneToZero;
    out["bitsZeroToOne"] = r.bitsZeroToOne;
    auto list = nlohmann::ordered_json::array();
    for (const Difference& d : r.first)
        list.push_back({{"address", d.address}, {"chip", d.chip}, {"file", d.file}});
    out["differences"] = list;
    out["mustErase"] = r.mustErase;
    if (r.mustErase) out["hint"] = kNotBlankHint;
    return out;
}

void PrintDifferenceReport(const DifferenceReport& r, std::ostream& out) {
    out << DifferenceSummary(r) << '\n';
    if (!r.first.empty()) out << "Address   Chip  File\n";
    for (const Difference& d : r.first)
        out << Format("0x%06X  0x%02X  0x%02X\n", d.address, d.chip, d.file);
    if (r.differing > r.first.size())
        out << Format("... and %llu more\n", (unsigned long long)(r.differing - r.first.size()));
    if (r.mustErase) out << "hint: " << kNotBlankHint << '\n';
}

int VerifyAll(Session& s, size_t listLimit) {
    if (s.ctx().profile.Offset != 0)
        return Session::complain(kExitUsage, "verify --all compares from address 0: drop --offset");
    DifferenceReport report;
    s.ui().resetOutcome();
    ReadAndCompare(s.ctx(), report, listLimit);
    if (const int status = s.lastOutcome(); status != kExitOk) return status;
    if (s.json()) {  // the report joins the result object
        nlohmann::ordered_json& f = s.report().fields();
        f["report"] = DifferenceJson(report);
        if (report.mustErase) f["hint"] = kNotBlankHint;
        // The run's last text was the file load's: the outcome is the report's.
        if (report.differing != 0) {
            f["message"] = DifferenceSummary(report);
            if (!report.first.empty()) {
                const Difference& d = report.first.front();
                f["mismatch"] = {{"address", d.address}, {"chip", d.chip}, {"buffer", d.file}};
            }
        }
    } else {
        PrintDifferenceReport(report, std::cout);
    }
    return report.differing == 0 ? kExitOk : kExitFailed;
}

void ExplainProgramFailure(Session& s) {
    Context& ctx = s.ctx();
    if (!ProgramsOnlyOneToZero(ctx.profile.eep) || ctx.profile.verifyError != 1 ||
        ctx.profile.cancelRequested)
        return;
    DifferenceReport report;
    if (!ReadAndCompare(ctx, report) || !report.mustErase) return;
    std::fprintf(stderr, "hint: %s\n%s\n", kNotBlankHint, DifferenceSummary(report).c_str());
    if (s.json()) {
        s.report().fields()["hint"] = kNotBlankHint;
        s.report().fields()["report"] = DifferenceJson(report);
    }
}

}  // namespace tavrin::cli
