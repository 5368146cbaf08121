#include "cli/SerialNumbers.h"

#include <iostream>

#include "cli/Session.h"
#include "core/RunFrame.h"

namespace tavrin::cli {

int SerialNumbers::prepare(Session& s) {
    const Options& o = s.options();
    if (o.serial.empty()) {
        if (o.serialFormSet || o.serialStateSet)
            return Session::complain(kExitUsage,
                                     "--serial-format and --serial-state need --serial");
        return kExitOk;
    }
    SerialNumberPlan plan;
    if (!ParseSerialForm(o.serialForm, plan.form))
        return Session::complain(
            kExitUsage, "--serial-format is le, be, hex-le or hex-be, not '" + o.serialForm + "'");
    std::string error;
    if (!ParseSerialPlan(o.serial, plan, error))
        return Session::complain(kExitUsage, "--serial " + error);
    plan_ = plan;
    state_.emplace(o.serialState);
    return kExitOk;
}

int SerialNumbers::stamp(Session& s) {
    if (!plan_) return kExitOk;
    std::string error;
    if (!state_->next(*plan_, current_, error)) return Session::complain(kExitUsage, error);
    if (!StampSerial(s.ctx(), *plan_, current_, error)) return Session::complain(kExitUsage, error);
    std::cerr << Format("serial number %llu at 0x%06X\n", static_cast<unsigned long long>(current_),
                        plan_->address);
    s.report().fields()["serial"] = current_;
    return kExitOk;
}

int SerialNumbers::finished(Session&, bool passed) {
    if (!plan_ || !passed) return kExitOk;
    std::string error;
    if (!state_->advance(*plan_, current_, error)) return Session::complain(kExitFailed, error);
    return kExitOk;
}

}  // namespace tavrin::cli
