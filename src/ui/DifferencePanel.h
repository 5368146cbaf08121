#pragma once
// The difference report in the window: the counts, the not-blank hint, the first differing
// addresses with chip and file values, and Previous / Next buttons that step through the
// differing cells, which the byte grid marks.

#include <QDialog>
#include <vector>

#include "core/DifferenceReport.h"
#include "core/Dispatch.h"

class QLabel;
class QTableView;
class QTableWidget;

namespace tavrin::ui {

class BufferGridModel;

class DifferencePanel : public QDialog {
    Q_OBJECT
  public:
    // `grid` shows byte address a in grid row a / 16 + 1, column a % 16 + 1.
    DifferencePanel(QWidget* parent, QTableView* grid, BufferGridModel* model);
    ~DifferencePanel() override;

    void showReport(const DifferenceReport& report);
    // Moves to the next (+1) or previous (-1) differing address and shows its cell.
    void step(int direction);
    // The address stepped to; -1 before the first step or without differences.
    int64_t currentAddress() const;
    // Mark of a grid cell: 0 none, 1 differs, 2 the current difference.
    int markOf(int gridRow, int column) const;
    // Removes the marks (a new image was loaded or read).
    void clearMarks();

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void goTo(size_t index);

    QTableView* grid_;
    BufferGridModel* model_;
    QLabel* lbSummary_ = nullptr;
    QLabel* lbHint_ = nullptr;
    QLabel* lbPosition_ = nullptr;
    QTableWidget* list_ = nullptr;
    std::vector<uint32_t> addresses_;
    int64_t current_ = -1;
};

// After a Verify or Program run that failed, with "Report all differences" (cbDiffReport) checked:
// reads the chip, compares and shows the window's panel (made on first use).
void ReportDifferencesAfter(QWidget* window, Context& ctx, Command command, QTableView* grid,
                            BufferGridModel* model);

}  // namespace tavrin::ui
