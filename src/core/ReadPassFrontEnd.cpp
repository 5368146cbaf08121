#include "core/ReadPassFrontEnd.h"

#include "core/RunFrame.h"

namespace tavrin {

void ReadPassFrontEnd::message(const std::string& text, MessageKind kind) {
    if (kind != MessageKind::Error) return;
    failed_ = true;
    inner_.message(text, kind);
}

void ReadPassFrontEnd::openGauge(const std::string& caption, int64_t max, uint32_t color) {
    inner_.openGauge(passes_ > 0 ? caption + Format(" (pass %d of %d)", pass_, passes_) : caption,
                     max, color);
}

bool ReadPassFrontEnd::confirm(const std::string& question) {
    if (answered_ && answered_->first == question) return answered_->second;
    const bool yes = inner_.confirm(question);
    answered_.emplace(question, yes);
    return yes;
}

}  // namespace tavrin
