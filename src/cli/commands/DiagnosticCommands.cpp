// The commands that look at the machine and the board rather than a chip: the parallel ports and
// the per-line test of the socket.
#include <iostream>
#include <nlohmann/json.hpp>

#include "algorithms/parallel/SocketLineTest.h"
#include "cli/CommandTable.h"
#include "cli/Session.h"
#include "core/RunFrame.h"
#include "hardware/PortDiscovery.h"

namespace tavrin::cli {

namespace {

nlohmann::ordered_json portJson(const ParallelPortInfo& p) {
    nlohmann::ordered_json j;
    j["node"] = p.node;
    j["base"] = p.base ? nlohmann::ordered_json(*p.base) : nlohmann::ordered_json();
    j["baseHigh"] = p.baseHigh ? nlohmann::ordered_json(*p.baseHigh) : nlohmann::ordered_json();
    j["modes"] = p.modes;
    j["active"] = p.active;
    j["drivers"] = p.drivers;
    j["owner"] = p.owner;
    j["group"] = p.group;
    j["openable"] = p.openable;
    if (!p.openable) j["whyNot"] = p.whyNot;
    return j;
}

int ports(Session& s) {
    const std::vector<ParallelPortInfo> found = DiscoverParallelPorts();
    if (s.json()) {  // a listing: its own object, as `devices` prints its own array
        auto list = nlohmann::ordered_json::array();
        for (const ParallelPortInfo& p : found) list.push_back(portJson(p));
        nlohmann::ordered_json out{{"ports", list}};
        if (found.empty()) out["hint"] = kNoParallelPort;
        std::cout << out.dump(2) << '\n';
        return kExitOk;
    }
    if (found.empty()) std::cout << kNoParallelPort << '\n';
    for (const ParallelPortInfo& p : found) std::cout << DescribePort(p) << '\n';
    return kExitOk;
}

}  // namespace

int TestSocketLinesCommand(Session& s) {
    if (!s.device())
        return Session::complain(kExitUsage,
                                 "--lines writes a static RAM in the socket: choose its entry "
                                 "with -d (for example -d 62256)");
    s.ui().resetOutcome();
    const SocketLineResult result = TestSocketLines(s.ctx());
    if (s.json()) {
        nlohmann::ordered_json& out = s.report().fields();
        out["dataLines"] = result.dataLines;
        out["addressLines"] = result.addressLines;
        out["stuckLines"] = result.faults;
    } else if (result.ran) {
        std::cout << Format("%d data and %d address lines tested\n", result.dataLines,
                            result.addressLines);
        for (const std::string& fault : result.faults) std::cout << fault << '\n';
    }
    return s.lastOutcome();
}

void AddDiagnosticCommands(CommandTable& table) {
    table.add("ports",
              "the parallel ports of this machine: node, base address, driver, whether you may "
              "open it (and why not)",
              Needs::Nothing, ports);
}

}  // namespace tavrin::cli
