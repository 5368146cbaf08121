#pragma once
// The front end that routines report to when they run from the window: the status line, the
// progress panel with its Cancel button, the offset question and the window refresh.

#include "core/FrontEnd.h"

namespace tavrin::ui {

class TfrmEprom;

class WindowFrontEnd : public FrontEnd {
  public:
    explicit WindowFrontEnd(TfrmEprom& window) : window_(window) {}
    void message(const std::string& text, MessageKind kind) override;
    void openGauge(const std::string& caption, int64_t max, uint32_t color) override;
    void setGaugeProgress(int64_t value) override;
    void pumpEvents() override;
    bool confirm(const std::string& question) override;
    void refresh() override;
    void commandFinished() override;
    void setToolbarEnabled(bool enabled) override;
    void showPeaks(int32_t loop, int32_t twp, int32_t twc) override;
    void showResult(const std::string& panel, const std::string& text) override;
    void inform(const std::string& text) override;
    void showElectronicId(const ElectronicIdView& id) override;

  private:
    TfrmEprom& window_;
};

}  // namespace tavrin::ui
