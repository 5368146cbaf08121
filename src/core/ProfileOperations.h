#pragma once
// The three profile operations every device-selection handler runs.

#include "core/Context.h"

namespace tavrin {

// Saves the current profile, then puts the selection fields and the per-device options back to
// their defaults.
void ResetProfile(Context& ctx);
// Puts the copy saved by the last ResetProfile back (a menu Tag of 0 keeps the previous device).
void RestoreProfile(Context& ctx);
// Derives ShiftAdr from the device size unless the handler fixed it, then sets PatternAdr.
void UpdateShift(DeviceProfile& p);

}  // namespace tavrin
