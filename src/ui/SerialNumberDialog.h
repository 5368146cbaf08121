#pragma once
// "Serial numbers...": where the auto sequence writes a number into the image before each chip,
// in which form, from which number, and the file that keeps the next one.

#include <QDialog>
#include <optional>

#include "core/SerialNumber.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavrin::ui {

struct SerialSetup {
    SerialNumberPlan plan;
    std::string statePath;
};

class SerialNumberDialog : public QDialog {
    Q_OBJECT
  public:
    SerialNumberDialog(const std::optional<SerialSetup>& current, const QString& defaultState,
                       QWidget* parent);
    // After Accept: the setup, or nothing when the box "Write serial numbers" is unticked.
    std::optional<SerialSetup> setup() const { return setup_; }

  private:
    void accept() override;

    QCheckBox* cbSerialOn_;
    QLineEdit *edAddress_, *edBytes_, *edStart_, *edStep_, *edState_;
    QComboBox* cbForm_;
    std::optional<SerialSetup> setup_;
};

}  // namespace tavrin::ui
