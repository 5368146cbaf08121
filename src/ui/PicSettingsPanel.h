#pragma once
// The controls of the "PIC Setting" option group: the oscillator and code-protection lists, the
// eight option boxes, the configuration word read-out, the identifier edit and the 12C50x
// calibration-word box. They change the configuration and identifier words through the core and
// show what the display state says.

#include <array>
#include <functional>

#include "core/Context.h"
#include "devices/DisplayState.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace tavrin::ui {

class PicSettingsPanel {
  public:
    // Builds the controls inside `group`; `refresh` runs the window refresh after a change.
    PicSettingsPanel(Context& ctx, QWidget* group, std::function<void()> refresh);
    // Sets the controls from the display state without running their handlers.
    void show(const DisplayState& s);

  private:
    Context& ctx_;
    std::function<void()> refresh_;
    QComboBox* cbOSC_ = nullptr;
    QComboBox* cbCP_ = nullptr;
    std::array<QCheckBox*, 8> boxes_{};
    QCheckBox* cbOSCCAL_ = nullptr;
    QLineEdit* edPIC_cfg_ = nullptr;
    QLineEdit* edPIC_ID_ = nullptr;
};

}  // namespace tavrin::ui
