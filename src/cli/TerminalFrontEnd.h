#pragma once
// The command-line front end: status texts and a progress bar on stderr, the offset question on
// the terminal, Ctrl-C as the Cancel button.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/FrontEnd.h"

namespace tavrin {
struct Context;
}

namespace tavrin::cli {

enum class Verbosity { Quiet, Normal, Verbose };

class TerminalFrontEnd : public FrontEnd {
  public:
    TerminalFrontEnd(Verbosity verbosity, bool assumeYes, bool acceptTruncation = false);
    void attach(Context* ctx) { ctx_ = ctx; }

    void message(const std::string& text, MessageKind kind) override;
    void openGauge(const std::string& caption, int64_t max, uint32_t color) override;
    void setGaugeProgress(int64_t value) override;
    void pumpEvents() override;
    bool confirm(const std::string& question) override;
    // No question on the terminal: --truncate accepts leaving out what does not fit.
    bool confirmTruncation(const std::string&) override { return acceptTruncation_; }
    void refresh() override {}
    void commandFinished() override;
    void showPeaks(int32_t loop, int32_t twp, int32_t twc) override;
    void showResult(const std::string& panel, const std::string& text) override;
    // Message boxes become status text: the commands print their own results on stdout.
    void inform(const std::string& text) override;
    // The Electronic ID panel is kept for the id command, which prints it on stdout.
    void showElectronicId(const ElectronicIdView& id) override { lastId_ = id; }
    const std::optional<ElectronicIdView>& lastId() const { return lastId_; }

    // Installs the SIGINT handler that turns Ctrl-C into a cancel request.
    static void installInterruptHandler();
    static bool interrupted();

    // What the last command showed, for the exit status.
    bool sawError() const { return sawError_; }
    bool sawHardwareError() const { return sawHardwareError_; }
    // A question of the routine was answered No (or could not be asked): nothing was done.
    bool sawRefusal() const { return sawRefusal_; }
    void resetOutcome() { sawError_ = sawHardwareError_ = sawRefusal_ = false; }
    // While set, message boxes are collected in `sink` instead of shown (the command prints
    // what it wants of them).
    void captureInforms(std::vector<std::string>* sink) { informs_ = sink; }
    // With --json standard output holds JSON only: result panels are shown on stderr.
    void setPanelsOnStderr(bool onStderr) { panelsOnStderr_ = onStderr; }

  private:
    void drawBar();
    static int terminalColumns();
    void clearBar();

    Context* ctx_ = nullptr;
    std::vector<std::string>* informs_ = nullptr;
    Verbosity verbosity_;
    bool assumeYes_;
    bool acceptTruncation_;
    bool tty_;
    bool barShown_ = false;
    bool sawError_ = false;
    bool sawHardwareError_ = false;
    bool sawRefusal_ = false;
    bool panelsOnStderr_ = false;
    std::string caption_;
    std::optional<ElectronicIdView> lastId_;
    int64_t max_ = 0;
    int64_t value_ = 0;
    std::chrono::steady_clock::time_point started_, lastDraw_;
};

}  // namespace tavrin::cli
