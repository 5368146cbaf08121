#pragma once
// Watches what a command shows on its way to the real front end: the messages, the gauge and the
// mismatch report. Scripts (JSON results, event lines) and the production run read it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/FrontEnd.h"

namespace tavrin {

struct Context;

// One step of a run as a script sees it.
struct RunEvent {
    enum class Kind { Message, Gauge, Progress };
    Kind kind = Kind::Message;
    std::string text;  // message text or gauge caption
    MessageKind messageKind = MessageKind::Progress;
    int64_t value = 0;  // progress reached
    int64_t max = 0;    // gauge maximum
};

// Address and values of the first unit that did not compare, as the mismatch report gave them.
struct Mismatch {
    uint32_t address = 0;
    uint32_t chip = 0;
    uint32_t buffer = 0;
    bool hasValues = false;  // some families name only the address
};

// Reads " Error at 0x000123  Chip = 0x12  buffer = 0x34" (and the "$1234" forms of the families
// that print their own) back into numbers.
std::optional<Mismatch> ParseMismatch(const std::string& text);

class WatchingFrontEnd : public FrontEnd {
  public:
    explicit WatchingFrontEnd(FrontEnd& inner) : inner_(&inner) {}
    void setInner(FrontEnd& inner) { inner_ = &inner; }
    FrontEnd& inner() const { return *inner_; }

    void message(const std::string& text, MessageKind kind) override;
    void openGauge(const std::string& caption, int64_t max, uint32_t color) override;
    void setGaugeProgress(int64_t value) override;
    void pumpEvents() override { inner_->pumpEvents(); }
    bool confirm(const std::string& question) override { return inner_->confirm(question); }
    bool confirmTruncation(const std::string& question) override {
        return inner_->confirmTruncation(question);
    }
    void refresh() override { inner_->refresh(); }
    void commandFinished() override { inner_->commandFinished(); }
    void setToolbarEnabled(bool enabled) override { inner_->setToolbarEnabled(enabled); }
    void showPeaks(int32_t loop, int32_t twp, int32_t twc) override {
        inner_->showPeaks(loop, twp, twc);
    }
    void showResult(const std::string& panel, const std::string& text) override;
    void inform(const std::string& text) override { inner_->inform(text); }
    void showElectronicId(const ElectronicIdView& id) override;

    // Forgets what was seen (not the listener).
    void clear();

    // Called for every message and gauge, and for progress each time another percent is done.
    std::function<void(const RunEvent&)> onEvent;

    std::optional<std::string> firstError;  // the first kind-1 text since clear()
    std::string lastText;                   // the last message of any kind
    MessageKind lastKind = MessageKind::Progress;
    bool sawSuccess = false;
    std::optional<Mismatch> mismatch;  // from the first error that reported one
    std::string gaugeCaption;
    int64_t gaugeMax = 0;
    int64_t progress = 0;
    int gauges = 0;
    std::vector<std::pair<std::string, std::string>> results;  // panel, text
    std::optional<ElectronicIdView> lastId;

  private:
    FrontEnd* inner_;
    int lastPercent_ = -1;
};

// Routes a context's front end through a watcher while alive.
class ScopedWatch {
  public:
    ScopedWatch(Context& ctx, WatchingFrontEnd& watcher);
    ~ScopedWatch();
    ScopedWatch(const ScopedWatch&) = delete;
    ScopedWatch& operator=(const ScopedWatch&) = delete;

  private:
    Context& ctx_;
    FrontEnd& previous_;
};

}  // namespace tavrin
