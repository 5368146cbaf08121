#pragma once
// The front end of a read the program makes for its own use (a comparison, one pass of several):
// everything goes through to the user's front end but the read's own success text, which would
// read as the outcome of the whole; errors show as they are. A question asked again in a later
// pass gets the first answer, and the gauge caption can carry the pass number.

#include <optional>
#include <string>

#include "core/FrontEnd.h"

namespace tavrin {

class ReadPassFrontEnd : public FrontEnd {
  public:
    explicit ReadPassFrontEnd(FrontEnd& inner) : inner_(inner) {}
    bool failed() const { return failed_; }
    // Gauges show " (pass k of n)" after their caption; n 0 shows nothing.
    void setPass(int k, int n) { pass_ = k, passes_ = n; }

    void message(const std::string& text, MessageKind kind) override;
    void openGauge(const std::string& caption, int64_t max, uint32_t color) override;
    void setGaugeProgress(int64_t value) override { inner_.setGaugeProgress(value); }
    void pumpEvents() override { inner_.pumpEvents(); }
    bool confirm(const std::string& question) override;
    bool confirmTruncation(const std::string& question) override {
        return inner_.confirmTruncation(question);
    }
    void refresh() override {}  // the caller redraws once it has put its image back
    void commandFinished() override { inner_.commandFinished(); }
    void setToolbarEnabled(bool enabled) override { inner_.setToolbarEnabled(enabled); }
    void showResult(const std::string& panel, const std::string& text) override {
        inner_.showResult(panel, text);
    }
    void inform(const std::string& text) override { inner_.inform(text); }

  private:
    FrontEnd& inner_;
    bool failed_ = false;
    int pass_ = 0, passes_ = 0;
    std::optional<std::pair<std::string, bool>> answered_;
};

}  // namespace tavrin
