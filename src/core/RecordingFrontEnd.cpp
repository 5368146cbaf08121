#include "core/RecordingFrontEnd.h"

#include "core/Context.h"

namespace tavrin {

void RecordingFrontEnd::message(const std::string& text, MessageKind kind) {
    messages.push_back({text, kind});
}

void RecordingFrontEnd::openGauge(const std::string& caption, int64_t max, uint32_t color) {
    gauges.push_back({caption, max, color});
    lastProgress = 0;
}

void RecordingFrontEnd::pumpEvents() {
    ++pumps;
    if (ctx_ && cancelAtPump_ >= 0 && pumps >= cancelAtPump_) ctx_->profile.cancelRequested = 1;
    if (onPump) onPump();
}

bool RecordingFrontEnd::confirm(const std::string& question) {
    questions.push_back(question);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

bool RecordingFrontEnd::saw(const std::string& text) const {
    for (const Message& m : messages)
        if (m.text == text) return true;
    return false;
}

}  // namespace tavrin
