#pragma once
// The group "MXIC - 29F040 Sector Protection" of the Device page: the sector grid and its three
// buttons (status, protect the selected sector, unprotect the chip). The buttons skip the
// hardware check; protect and unprotect stay disabled until the status button ran.

#include <QGroupBox>

#include "core/Context.h"

namespace tavrin::ui {

void BuildMxicProtectPanel(QGroupBox& group, Context& ctx);

}  // namespace tavrin::ui
