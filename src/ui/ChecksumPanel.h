#pragma once
// The checksums panel beside edChecksum: every sum of the buffer side by side, over the device
// or a range the user types.

#include <QDialog>

#include "core/Context.h"

class QLineEdit;
class QLabel;

namespace tavrin::ui {

class ChecksumPanel : public QDialog {
    Q_OBJECT
  public:
    ChecksumPanel(Context& ctx, QWidget* parent);
    // Sets the range to the whole device and computes.
    void showForDevice();
    // Computes over the range in the two boxes; false (with the reason shown) when it is bad.
    bool compute();

  private:
    Context& ctx_;
    QLineEdit* edFirst_ = nullptr;
    QLineEdit* edLast_ = nullptr;
    QLabel* lbRangeError_ = nullptr;
    std::vector<QLineEdit*> values_;
};

// The window's one panel, made on first use (object name "pChecksums"), shown for the device.
ChecksumPanel* ShowChecksumPanel(QWidget* window, Context& ctx);

}  // namespace tavrin::ui
