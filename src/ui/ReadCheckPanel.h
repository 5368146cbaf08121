#pragma once
// The read-consistency check in the window: the "Read passes" box beside the other programmer
// settings, and the panel that lists the bytes whose reads disagreed. With more than one pass a
// Read reads the chip that many times and keeps the bitwise majority.

#include <QDialog>

#include "core/ReadConsistency.h"

class QLabel;
class QSpinBox;
class QTableWidget;

namespace tavrin::ui {

class ReadCheckPanel : public QDialog {
    Q_OBJECT
  public:
    explicit ReadCheckPanel(QWidget* parent);
    void showReport(const ConsistencyReport& report);

  private:
    QLabel* lbSummary_ = nullptr;
    QTableWidget* list_ = nullptr;
};

// The "Read passes" label and box (object name "spReadPasses", 1 to 31, 1 = a plain read) in
// `parent` at height `y`.
QSpinBox* AddReadPassesBox(QWidget* parent, int y);

// A Read with more than one pass chosen: reads the chip that many times and shows the panel
// (object name "pReadCheck", made on first use). False when the box says one pass, so the plain
// Read runs instead.
bool ReadWithPasses(QWidget* window, Context& ctx);

}  // namespace tavrin::ui
