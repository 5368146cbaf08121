#include "core/RunWatch.h"

#include <regex>

#include "core/Context.h"

namespace tavrin {

std::optional<Mismatch> ParseMismatch(const std::string& text) {
    static const std::regex full(
        R"(Error at 0x([0-9A-Fa-f]+)\s+Chip = 0x([0-9A-Fa-f]+)\s+buffer = 0x([0-9A-Fa-f]+))");
    static const std::regex addressOnly(R"(Error at (?:0x|\$)\s*([0-9A-Fa-f]+))");
    std::smatch m;
    Mismatch result;
    if (std::regex_search(text, m, full)) {
        result.address = uint32_t(std::stoul(m[1].str(), nullptr, 16));
        result.chip = uint32_t(std::stoul(m[2].str(), nullptr, 16));
        result.buffer = uint32_t(std::stoul(m[3].str(), nullptr, 16));
        result.hasValues = true;
        return result;
    }
    if (std::regex_search(text, m, addressOnly)) {
        result.address = uint32_t(std::stoul(m[1].str(), nullptr, 16));
        return result;
    }
    return std::nullopt;
}

void WatchingFrontEnd::message(const std::string& text, MessageKind kind) {
    lastText = text;
    lastKind = kind;
    if (kind == MessageKind::Success) sawSuccess = true;
    if (kind == MessageKind::Error) {
        if (!firstError) firstError = text;
        if (!mismatch) mismatch = ParseMismatch(text);
    }
    if (onEvent) {
        RunEvent e;
        e.kind = RunEvent::Kind::Message;
        e.text = text;
        e.messageKind = kind;
        onEvent(e);
    }
    inner_->message(text, kind);
}

void WatchingFrontEnd::openGauge(const std::string& caption, int64_t max, uint32_t color) {
    gaugeCaption = caption;
    gaugeMax = max;
    progress = 0;
    ++gauges;
    lastPercent_ = 0;
    if (onEvent) {
        RunEvent e;
        e.kind = RunEvent::Kind::Gauge;
        e.text = caption;
        e.max = max;
        onEvent(e);
    }
    inner_->openGauge(caption, max, color);
}

void WatchingFrontEnd::setGaugeProgress(int64_t value) {
    progress = value;
    if (onEvent && gaugeMax > 0) {
        const int percent = int(value * 100 / gaugeMax);
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            RunEvent e;
            e.kind = RunEvent::Kind::Progress;
            e.text = gaugeCaption;
            e.value = value;
            e.max = gaugeMax;
            onEvent(e);
        }
    }
    inner_->setGaugeProgress(value);
}

void WatchingFrontEnd::showResult(const std::string& panel, const std::string& text) {
    results.emplace_back(panel, text);
    inner_->showResult(panel, text);
}

void WatchingFrontEnd::showElectronicId(const ElectronicIdView& id) {
    lastId = id;
    inner_->showElectronicId(id);
}

void WatchingFrontEnd::clear() {
    firstError.reset();
    lastText.clear();
    lastKind = MessageKind::Progress;
    sawSuccess = false;
    mismatch.reset();
    gaugeCaption.clear();
    gaugeMax = progress = 0;
    gauges = 0;
    results.clear();
    lastId.reset();
    lastPercent_ = -1;
}

ScopedWatch::ScopedWatch(Context& ctx, WatchingFrontEnd& watcher) : ctx_(ctx), previous_(ctx.ui()) {
    watcher.setInner(previous_);
    ctx.setFrontEnd(&watcher);
}

ScopedWatch::~ScopedWatch() {
    ctx_.setFrontEnd(&previous_);
}

}  // namespace tavrin
