#pragma once
// The start-up both front ends share, so that the window and the command-line tool begin from
// the same image: the socket powered down, no device, the device chosen (the window replays its
// stored selection, the command-line tool takes its -d option), then the image cleared to 0xFF
// the way that device's Clear Buffer does it.

#include <functional>

#include "core/Context.h"

namespace tavrin {

void StartUp(Context& ctx, const std::function<void(Context&)>& chooseDevice);

}  // namespace tavrin
