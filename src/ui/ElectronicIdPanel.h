#pragma once
// Fills the Electronic ID panel pIDcode from what ShowElectronicId decoded and shows it.

#include <QWidget>

#include "core/FrontEnd.h"

namespace tavrin::ui {

void ShowElectronicIdPanel(QWidget& panel, const ElectronicIdView& id);

}  // namespace tavrin::ui
