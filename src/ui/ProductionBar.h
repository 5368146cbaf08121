#pragma once
// The production tool bar and its "Production" menu: the auto sequence with its passed/failed
// counter, and the check boxes of the production options (chip-ID check before writing,
// differential writes of the EEPROM families).

#include <QToolBar>
#include <functional>
#include <optional>

#include "core/AutoSequence.h"
#include "core/Context.h"
#include "ui/SerialNumberDialog.h"

class QCheckBox;
class QLabel;
class QMainWindow;
class QToolButton;

namespace tavrin::ui {

class ProductionBar : public QToolBar {
    Q_OBJECT
  public:
    using TaskRunner = std::function<void(const std::function<void()>&)>;
    // `runTask` runs a long task the way the window runs its commands (tool bar locked).
    ProductionBar(Context& ctx, TaskRunner runTask, QMainWindow& window);

    // The boxes follow the profile (after a settings load, a selection).
    void refresh();
    // Tool button and menu entry: one chip through the auto sequence.
    void runAuto();
    const ProductionCounter& counter() const { return counter_; }
    const AutoResult& lastResult() const { return last_; }
    // "Serial numbers...": the numbers Auto writes into the image before each chip.
    void editSerialNumbers();
    void setSerialNumbers(std::optional<SerialSetup> setup) { serial_ = std::move(setup); }

  private:
    void showCounter();

    Context& ctx_;
    TaskRunner runTask_;
    ProductionCounter counter_;
    AutoResult last_;
    std::optional<SerialSetup> serial_;
    QToolButton* sbAuto_ = nullptr;
    QCheckBox* cbAutoErase_ = nullptr;
    QCheckBox* cbAutoLock_ = nullptr;
    QAction* lockAction_ = nullptr;  // the tool bar's holder of cbAutoLock_, hidden off the AVR  // AVR: the lock mode of the AVR group after programming
    QCheckBox* cbIdCheck_ = nullptr;
    QCheckBox* cbDiffWrite_ = nullptr;
    QLabel* lbCounter_ = nullptr;
};

}  // namespace tavrin::ui
