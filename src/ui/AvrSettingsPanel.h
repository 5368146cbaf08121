#pragma once
// The controls of the "AVR 8-bit RISC   Lock Bit/FuseBit" option group: the three lock-mode
// radio buttons, the six fuse boxes with the part's captions, the fuse byte they compose, and the
// "Lock Bit" and "FuseBit" buttons that write them. The boxes and buttons change the profile
// through the core handlers and show what the display state says.

#include <array>
#include <functional>

#include "core/Context.h"
#include "devices/DisplayState.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tavrin::ui {

class AvrSettingsPanel {
  public:
    // Runs a routine the way the window runs its commands (tool bar off, one at a time).
    using Runner = std::function<void(const std::function<void()>&)>;

    // Builds the controls inside `group`.
    AvrSettingsPanel(Context& ctx, QWidget* group, Runner run);
    // Sets the controls from the display state without running their handlers.
    void show(const DisplayState& s);

  private:
    // sbAVRlockbit and bbAVRfuse: the hardware check, then the writer; the refresh follows.
    void write(void (*routine)(Context&));

    Context& ctx_;
    Runner run_;
    std::array<QRadioButton*, 3> rbAVRm_{};
    std::array<QCheckBox*, 6> cbFbit_{};
    QLineEdit* edEPRFuse_ = nullptr;
    QPushButton* sbAVRlockbit_ = nullptr;
    QPushButton* bbAVRfuse_ = nullptr;
};

}  // namespace tavrin::ui
