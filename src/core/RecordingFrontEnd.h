#pragma once
// A front end that records what a routine showed, answers questions from a script and can press
// Cancel after a given number of pumps. Tests use it to watch routines end to end.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/FrontEnd.h"

namespace tavrin {

struct Context;

class RecordingFrontEnd : public FrontEnd {
public:
    struct Message {
        std::string text;
        MessageKind kind;
    };
    struct Gauge {
        std::string caption;
        int64_t max;
        uint32_t color;
    };

    explicit RecordingFrontEnd(Context* ctx = nullptr) : ctx_(ctx) {}
    void attach(Context* ctx) { ctx_ = ctx; }

    void message(const std::string& text, MessageKind kind) override;
    void openGauge(const std::string& caption, int64_t max, uint32_t color) override;
    void setGaugeProgress(int64_t value) override { lastProgress = value; }
    void pumpEvents() override;
    bool confirm(const std::string& question) override;
    void refresh() override { ++refreshes; }
    void commandFinished() override { ++commandsFinished; }
    void setToolbarEnabled(bool enabled) override { toolbarEnabled = enabled; }
    void showPeaks(int32_t loop, int32_t twp, int32_t twc) override { peaks = {loop, twp, twc}; }
    void showResult(const std::string& panel, const std::string& text) override {
        results.push_back(panel + ": " + text);
    }

    void showElectronicId(const ElectronicIdView& id) override { ids.push_back(id); }

    // Sets cancelRequested at the n-th pump (1 = the first) from now on.
    void cancelAfterPumps(long n) { cancelAtPump_ = pumps + n; }

    const Message* last() const { return messages.empty() ? nullptr : &messages.back(); }
    std::string lastText() const { return messages.empty() ? std::string() : messages.back().text; }
    bool saw(const std::string& text) const;

    std::vector<Message> messages;
    std::vector<Gauge> gauges;
    std::vector<std::string> questions;
    std::vector<std::string> results;
    std::vector<ElectronicIdView> ids;  // every Electronic ID panel shown
    std::deque<bool> answers;   // scripted answers to confirm(); No when empty
    std::function<void()> onPump;  // runs at every pump, after the cancel check
    int64_t lastProgress = -1;
    long pumps = 0;
    int refreshes = 0;
    int commandsFinished = 0;
    bool toolbarEnabled = true;
    struct { int32_t loop = 0, twp = 0, twc = 0; } peaks;

private:
    Context* ctx_;
    long cancelAtPump_ = -1;
};

}  // namespace tavrin
