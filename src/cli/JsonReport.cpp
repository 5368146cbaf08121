#include "cli/JsonReport.h"

#include <iostream>

#include "cli/CliApp.h"

namespace tavrin::cli {

namespace {

const char* kindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::Progress:
            return "progress";
        case MessageKind::Error:
            return "error";
        case MessageKind::Success:
            return "success";
    }
    return "progress";
}

}  // namespace

const char* OutcomeName(int status) {
    switch (status) {
        case kExitOk:
            return "passed";
        case kExitFailed:
            return "failed";
        case kExitUsage:
            return "usage";
        case kExitNoHardware:
            return "no-hardware";
        case kExitCancelled:
            return "cancelled";
    }
    return "failed";
}

std::ostream& JsonReport::out() const {
    return stderr_ ? std::cerr : std::cout;
}

void JsonReport::follow(WatchingFrontEnd& watcher) {
    if (!events_) return;
    watcher.onEvent = [this](const RunEvent& e) {
        nlohmann::ordered_json j;
        switch (e.kind) {
            case RunEvent::Kind::Message:
                j = {{"event", "message"}, {"kind", kindName(e.messageKind)}, {"text", e.text}};
                break;
            case RunEvent::Kind::Gauge:
                j = {{"event", "gauge"}, {"caption", e.text}, {"max", e.max}};
                break;
            case RunEvent::Kind::Progress:
                j = {
                    {"event", "progress"}, {"caption", e.text}, {"value", e.value}, {"max", e.max}};
                break;
        }
        out() << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
    };
}

nlohmann::ordered_json JsonReport::resultObject(const Run& run,
                                                const nlohmann::ordered_json& fields) {
    nlohmann::ordered_json j;
    j["command"] = run.command;
    const nlohmann::ordered_json device =
        run.device.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(run.device);
    // `id` names the device it read under "device"; the selected entry then moves aside.
    j[fields.contains("device") ? "selectedDevice" : "device"] = device;
    j["outcome"] = OutcomeName(run.status);
    j["exitStatus"] = run.status;
    const WatchingFrontEnd* w = run.watcher;
    // The message that says how it ended: the tool's refusal, the first failure, or the last text.
    std::string message = run.complaint;
    if (message.empty() && w) message = w->firstError ? *w->firstError : w->lastText;
    j["message"] = message;
    if (w && w->mismatch) {
        nlohmann::ordered_json m = {{"address", w->mismatch->address}};
        if (w->mismatch->hasValues) {
            m["chip"] = w->mismatch->chip;
            m["buffer"] = w->mismatch->buffer;
        }
        j["mismatch"] = m;
    } else {
        j["mismatch"] = nullptr;
    }
    j["boardTimeUs"] =
        run.boardTimeUs ? nlohmann::ordered_json(*run.boardTimeUs) : nlohmann::ordered_json();
    nlohmann::ordered_json counts = nlohmann::ordered_json::object();
    if (w) {
        counts["progress"] = w->progress;
        counts["progressMax"] = w->gaugeMax;
    }
    if (fields.contains("counts"))
        for (const auto& [k, v] : fields["counts"].items()) counts[k] = v;
    j["counts"] = counts;
    if (w && !w->results.empty()) {
        nlohmann::ordered_json panels = nlohmann::ordered_json::array();
        for (const auto& [panel, text] : w->results)
            panels.push_back({{"panel", panel}, {"text", text}});
        j["panels"] = panels;
    }
    for (const auto& [k, v] : fields.items())
        if (k != "counts") j[k] = v;
    return j;
}

void JsonReport::finish(const Run& run) {
    if (!result_) return;
    out()
        << resultObject(run, fields_).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)
        << std::endl;
}

}  // namespace tavrin::cli
