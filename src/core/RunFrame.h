#pragma once
// The frame every device routine runs in: status messages, the progress panel, cancellation and
// the offset question.

#include <cstdint>
#include <string>

#include "core/Context.h"

namespace tavrin {

void Message(Context& ctx, const std::string& text, MessageKind kind);
inline void Message(Context& ctx, const std::string& text, int kind) {
    Message(ctx, text, static_cast<MessageKind>(kind));
}

// Opens the progress panel and clears cancelRequested.
void SetProcessGauge(Context& ctx, const std::string& caption, int64_t max, uint32_t color);

// After each unit of work: move the gauge, let the front end deliver Cancel, and tell whether the
// routine must stop.
bool StepCancelled(Context& ctx, int64_t progress);

// The offset question routines ask when Offset is not 0. Returns the answer (true = Yes).
bool ConfirmOffset(Context& ctx);

// printf-style formatting for the fixed message texts.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tavrin
