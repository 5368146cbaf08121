// Production runs: `auto FILE` (blank check or erase, program with its verify, lock bits), chip
// after chip with --repeat, and the passed/failed counter.
#include <unistd.h>

#include <iostream>
#include <memory>

#include "algorithms/mcu/Avr.h"
#include "cli/CommandTable.h"
#include "cli/SerialNumbers.h"
#include "cli/Session.h"
#include "core/AutoSequence.h"
#include "devices/families/AvrFamily.h"

namespace tavrin::cli {

namespace {

constexpr int32_t kAvrFamily = 14;

struct AutoRequest {
    std::string path;
    bool erase = false;
    int lock = 0;  // AVR lock mode after programming; 0 = none
    bool repeat = false;
};

// Waits for the next chip: Enter goes on, "q" (or the end of the input) stops.
bool nextChip(const ProductionCounter& counter) {
    std::cerr << counter.text() << " -- insert the next chip and press Enter (q to stop) "
              << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::cerr << '\n';
        return false;
    }
    return line.empty() || (line[0] != 'q' && line[0] != 'Q');
}

nlohmann::ordered_json stepsJson(const AutoResult& r) {
    nlohmann::ordered_json steps = nlohmann::ordered_json::array();
    for (const AutoStepResult& s : r.steps)
        steps.push_back({{"step", s.name}, {"passed", s.passed}, {"message", s.message}});
    return steps;
}

int runAuto(Session& s, const AutoRequest& r) {
    Context& ctx = s.ctx();
    AutoPlan plan;
    plan.erase = r.erase;
    if (r.erase && FamilyFor(ctx.profile.eep).erase.kind != Action::Kind::Run)
        return Session::complain(
            kExitUsage, "--erase: " + s.device()->caption + " cannot be erased; leave it out");
    if (r.lock) {
        if (ctx.profile.eep != kAvrFamily)
            return Session::complain(kExitUsage, "--avr-lock applies to the AVR devices only");
        plan.after.push_back(AvrLockStep(r.lock));
    }
    SerialNumbers serial;
    if (int status = serial.prepare(s); status != kExitOk) return status;
    if (int status = s.load(r.path); status != kExitOk) return status;
    if (int status = serial.stamp(s); status != kExitOk) return status;
    if (int status = s.refuseBeforeRun(Command::Program); status != kExitOk) return status;
    ProductionCounter counter;
    nlohmann::ordered_json chips = nlohmann::ordered_json::array();
    bool cancelled = false;
    for (;;) {
        const AutoResult result = RunAutoSequence(ctx, plan);
        counter.count(result);
        if (int status = serial.finished(s, result.passed); status != kExitOk) return status;
        for (const AutoStepResult& step : result.steps)
            std::cerr << step.name << ": " << (step.passed ? "passed" : "FAILED") << '\n';
        if (result.passed)
            std::cerr << "chip passed\n";
        else
            std::cerr << "chip FAILED at " << result.failedStep << ": " << result.message << '\n';
        chips.push_back({{"passed", result.passed},
                         {"failedStep", result.failedStep},
                         {"message", result.message},
                         {"steps", stepsJson(result)}});
        cancelled = ctx.profile.cancelRequested != 0 || TerminalFrontEnd::interrupted();
        if (!r.repeat || cancelled || !nextChip(counter)) break;
        if (int status = serial.stamp(s); status != kExitOk) return status;
    }
    nlohmann::ordered_json& f = s.report().fields();
    f["counts"] = {{"passed", counter.passed}, {"failed", counter.failed}};
    f["chips"] = chips;
    if (!s.json()) std::cout << counter.text() << '\n';
    if (cancelled) return kExitCancelled;
    return counter.failed ? kExitFailed : kExitOk;
}

}  // namespace

void AddProductionCommands(CommandTable& table) {
    auto r = std::make_shared<AutoRequest>();
    CLI::App* a = table.add(
        "auto",
        "production run: blank check (or --erase), program with its verify, lock bits; "
        "stops at the first failing step; --repeat goes on chip after chip",
        Needs::Chip, [r](Session& s) { return runAuto(s, *r); });
    a->add_option("FILE", r->path, "input file")->required();
    a->add_flag("--erase", r->erase, "erase first instead of the blank check");
    a->add_option("--avr-lock", r->lock,
                  "AVR: lock mode 2 or 3 after programming (MCS-51: --lock, which program writes)")
        ->check(CLI::Range(1, 3));
    a->add_flag("--repeat", r->repeat,
                "after each chip wait for the next (Enter; q stops) and print the counts at the "
                "end");
}

}  // namespace tavrin::cli
