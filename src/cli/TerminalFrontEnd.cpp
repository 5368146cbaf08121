#include "cli/TerminalFrontEnd.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "core/Context.h"

namespace tavrin::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) {
    gInterrupted = 1;
}

const char* const kHardwareError = "Hardware Error :  Check Power && connection";

std::string formatDuration(double seconds) {
    const long s = long(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd(Verbosity verbosity, bool assumeYes, bool acceptTruncation)
    : verbosity_(verbosity),
      assumeYes_(assumeYes),
      acceptTruncation_(acceptTruncation),
      tty_(::isatty(STDERR_FILENO) != 0) {}

void TerminalFrontEnd::installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // Ctrl-C, a kill and a closed terminal all cancel: the routine stops between bytes and the
    // socket is powered down before the process ends.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // A file-size limit (or a full quota) makes the write fail with EFBIG instead of killing the
    // process half-way through a save: the temporary file is removed and the old one kept.
    signal(SIGXFSZ, SIG_IGN);
}

bool TerminalFrontEnd::interrupted() {
    return gInterrupted != 0;
}

void TerminalFrontEnd::message(const std::string& text, MessageKind kind) {
    if (kind == MessageKind::Error) {
        sawError_ = true;
        if (text == kHardwareError) sawHardwareError_ = true;
    }
    const bool show = kind == MessageKind::Error || verbosity_ != Verbosity::Quiet;
    if (!show) return;
    // The gauge caption is on the bar already; logs without a terminal keep it.
    if (kind == MessageKind::Progress && barShown_ && text == caption_) return;
    clearBar();
    std::cerr << text << '\n';
}

void TerminalFrontEnd::openGauge(const std::string& caption, int64_t max, uint32_t) {
    clearBar();
    caption_ = caption;
    max_ = max;
    value_ = 0;
    started_ = lastDraw_ = std::chrono::steady_clock::now();
    barShown_ = tty_ && verbosity_ != Verbosity::Quiet;
    if (barShown_) drawBar();
}

void TerminalFrontEnd::setGaugeProgress(int64_t value) {
    value_ = value;
    if (!barShown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    drawBar();
}

void TerminalFrontEnd::drawBar() {
    const double fraction = max_ > 0 ? std::min(1.0, double(value_) / double(max_)) : 1.0;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const double rate = elapsed > 0 ? double(value_) / elapsed : 0;
    const std::string left =
        rate > 0 ? formatDuration(double(max_ - value_) / rate) + " left" : std::string();
    const char* unit = rate >= 1e6 ? "M" : rate >= 1e3 ? "k" : "";
    const double scaled = rate >= 1e6 ? rate / 1e6 : rate >= 1e3 ? rate / 1e3 : rate;
    char tail[64];
    std::snprintf(tail, sizeof tail, " %3d%%  %6.1f %s/s  %s", int(fraction * 100), scaled, unit,
                  left.c_str());
    // The line never wraps: the caption and the bar give way to the numbers on a narrow terminal.
    const int columns = std::max(20, terminalColumns()) - 1;
    const int tailWidth = int(std::strlen(tail));
    int captionWidth = std::min<int>(24, std::max(0, columns - tailWidth - 12));
    int barWidth = std::min(30, columns - tailWidth - captionWidth - 3);
    std::string line = caption_.substr(0, size_t(captionWidth));
    line.resize(size_t(captionWidth), ' ');
    if (barWidth >= 5) {
        std::string bar(size_t(fraction * barWidth), '#');
        bar.resize(size_t(barWidth), '.');
        line += " [" + bar + "]";
    }
    line += tail;
    if (int(line.size()) > columns) line.resize(size_t(columns));
    std::cerr << '\r' << line << "\x1b[K" << std::flush;
}

int TerminalFrontEnd::terminalColumns() {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* env = std::getenv("COLUMNS"))
        if (const int n = std::atoi(env); n > 0) return n;
    return 80;
}

void TerminalFrontEnd::clearBar() {
    if (!barShown_) return;
    std::cerr << "\r\x1b[K" << std::flush;
}

void TerminalFrontEnd::commandFinished() {
    clearBar();  // the routine's own closing message says how it ended
    barShown_ = false;
}

void TerminalFrontEnd::pumpEvents() {
    if (gInterrupted && ctx_) ctx_->profile.cancelRequested = 1;
}

bool TerminalFrontEnd::confirm(const std::string& question) {
    if (assumeYes_) return true;
    clearBar();
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "tavrin: \"" << question
                  << "\" cannot be asked: no terminal answers it (--yes answers Yes)\n";
        sawRefusal_ = true;
        return false;
    }
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    const bool yes = std::getline(std::cin, answer) && !answer.empty() &&
                     (answer[0] == 'y' || answer[0] == 'Y');
    if (!yes) sawRefusal_ = true;
    return yes;
}

void TerminalFrontEnd::showPeaks(int32_t loop, int32_t twp, int32_t twc) {
    if (verbosity_ == Verbosity::Verbose) {
        clearBar();
        std::cerr << "loop peak " << loop << "  twp peak " << twp << "  twc peak " << twc << '\n';
    }
}

void TerminalFrontEnd::inform(const std::string& text) {
    if (informs_) {
        informs_->push_back(text);
        return;
    }
    if (verbosity_ == Verbosity::Quiet) return;
    clearBar();
    std::cerr << text << '\n';
}

void TerminalFrontEnd::showResult(const std::string& panel, const std::string& text) {
    clearBar();
    (panelsOnStderr_ ? std::cerr : std::cout) << panel << ": " << text << '\n';
}

}  // namespace tavrin::cli
