#pragma once

namespace tavrin {

// Raises the calling thread to real-time scheduling around a short timed section (raise = true)
// and drops it back afterwards. Falls back silently where the system does not allow it.
void ChangePriority(bool raise);

}  // namespace tavrin
