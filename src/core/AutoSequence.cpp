#include "core/AutoSequence.h"

#include "algorithms/mcu/Avr.h"
#include "core/Commands.h"
#include "core/RunWatch.h"
#include "devices/families/AvrFamily.h"

namespace tavrin {

namespace {

struct Step {
    std::string name;
    std::function<void(Context&)> run;
};

bool runs(const Action& a) {
    return a.kind == Action::Kind::Run;
}

std::vector<Step> stepsFor(const Context& ctx, const AutoPlan& plan) {
    const FamilyRow& row = FamilyFor(ctx.profile.eep);
    std::vector<Step> steps;
    if (plan.erase && runs(row.erase))
        steps.push_back({"erase", [](Context& c) { RunCommand(c, Command::Erase); }});
    else if (runs(row.blank))
        steps.push_back({"blank check", [](Context& c) { RunCommand(c, Command::Blank); }});
    steps.push_back({"program", [](Context& c) { RunCommand(c, Command::Program); }});
    for (const AutoExtraStep& extra : plan.after) steps.push_back({extra.name, extra.run});
    return steps;
}

}  // namespace

AutoExtraStep AvrLockStep(int32_t mode) {
    return {"lock bits", [mode](Context& c) {
                rbAVRm1Click(c, mode);
                AvrSetLock(c);
            }};
}

std::vector<std::string> AutoStepNames(const Context& ctx, const AutoPlan& plan) {
    std::vector<std::string> names;
    for (const Step& s : stepsFor(ctx, plan)) names.push_back(s.name);
    return names;
}

AutoResult RunAutoSequence(Context& ctx, const AutoPlan& plan) {
    AutoResult result;
    for (const Step& step : stepsFor(ctx, plan)) {
        WatchingFrontEnd watcher(ctx.ui());
        {
            ScopedWatch watch(ctx, watcher);
            ctx.profile.cancelRequested = 0;
            step.run(ctx);
        }
        AutoStepResult r;
        r.name = step.name;
        // A step that shows nothing passed when no failure text came; a cancel always fails.
        const bool cancelled = ctx.profile.cancelRequested != 0;
        r.passed = !watcher.firstError && !cancelled;
        r.message = watcher.firstError ? *watcher.firstError
                    : cancelled        ? std::string("Process Cancelled")
                                       : watcher.lastText;
        result.steps.push_back(r);
        if (!r.passed) {
            result.failedStep = r.name;
            result.message = r.message;
            ctx.bus.PowerDown();
            return result;
        }
    }
    result.passed = true;
    ctx.bus.PowerDown();
    return result;
}

std::string ProductionCounter::text() const {
    return "Passed " + std::to_string(passed) + "  Failed " + std::to_string(failed);
}

}  // namespace tavrin
