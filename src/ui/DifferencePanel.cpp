#include "ui/DifferencePanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/RunFrame.h"
#include "ui/BufferGridModel.h"

namespace tavrin::ui {

namespace {

// Rows the list shows; the counts and the stepping cover every difference.
constexpr size_t kListedRows = 256;

QString hex(unsigned value, int digits) {
    return QString("0x%1").arg(value, digits, 16, QChar('0')).toUpper().replace("0X", "0x");
}

}  // namespace

DifferencePanel::DifferencePanel(QWidget* parent, QTableView* grid, BufferGridModel* model)
    : QDialog(parent), grid_(grid), model_(model) {
    setObjectName("pDifferences");
    setWindowTitle("Differences");
    auto* layout = new QVBoxLayout(this);
    lbSummary_ = new QLabel;
    lbSummary_->setObjectName("lbDiffSummary");
    layout->addWidget(lbSummary_);
    lbHint_ = new QLabel;
    lbHint_->setObjectName("lbDiffHint");
    lbHint_->setStyleSheet("color: red");
    lbHint_->setWordWrap(true);
    lbHint_->hide();
    layout->addWidget(lbHint_);
    list_ = new QTableWidget(0, 3);
    list_->setObjectName("twDifferences");
    list_->setHorizontalHeaderLabels({"Address", "Chip", "File"});
    list_->verticalHeader()->hide();
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    auto* prev = new QPushButton("Previous");
    prev->setObjectName("btnDiffPrev");
    prev->setShortcut(QKeySequence("Shift+F3"));
    auto* next = new QPushButton("Next");
    next->setObjectName("btnDiffNext");
    next->setShortcut(QKeySequence("F3"));
    lbPosition_ = new QLabel;
    lbPosition_->setObjectName("lbDiffPosition");
    buttons->addWidget(prev);
    buttons->addWidget(next);
    buttons->addWidget(lbPosition_, 1);
    layout->addLayout(buttons);
    connect(prev, &QPushButton::clicked, this, [this] { step(-1); });
    connect(next, &QPushButton::clicked, this, [this] { step(+1); });
    connect(list_, &QTableWidget::cellClicked, this, [this](int row, int) { goTo(size_t(row)); });
    model_->setCellMark([this](int gridRow, int column) { return markOf(gridRow, column); });
    resize(340, 360);
}

DifferencePanel::~DifferencePanel() {
    model_->setCellMark(nullptr);
}

void DifferencePanel::showReport(const DifferenceReport& report) {
    addresses_ = report.addresses;
    current_ = -1;
    lbSummary_->setText(QString::fromStdString(DifferenceSummary(report)));
    lbHint_->setText(QString("The chip must be erased first: ") + kNotBlankHint);
    lbHint_->setVisible(report.mustErase);
    const size_t rows = std::min(report.first.size(), kListedRows);
    list_->setRowCount(int(rows));
    for (size_t i = 0; i < rows; ++i) {
        const Difference& d = report.first[i];
        list_->setItem(int(i), 0, new QTableWidgetItem(hex(d.address, 6)));
        list_->setItem(int(i), 1, new QTableWidgetItem(hex(d.chip, 2)));
        list_->setItem(int(i), 2, new QTableWidgetItem(hex(d.file, 2)));
    }
    lbPosition_->setText(addresses_.empty() ? QString()
                                            : QString("%1 marked").arg(addresses_.size()));
    model_->imageChanged();
    show();
    raise();
}

void DifferencePanel::step(int direction) {
    if (addresses_.empty()) return;
    const int64_t n = int64_t(addresses_.size());
    const int64_t next =
        current_ < 0 ? (direction > 0 ? 0 : n - 1) : (current_ + direction + n) % n;
    goTo(size_t(next));
}

void DifferencePanel::goTo(size_t index) {
    if (index >= addresses_.size()) return;
    current_ = int64_t(index);
    const uint32_t a = addresses_[index];
    lbPosition_->setText(
        QString("%1 of %2: %3").arg(index + 1).arg(addresses_.size()).arg(hex(a, 6)));
    if (index < size_t(list_->rowCount())) list_->selectRow(int(index));
    const QModelIndex cell = model_->index(int(a / 16), int(a % 16) + 1);
    grid_->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    model_->imageChanged();
}

int64_t DifferencePanel::currentAddress() const {
    return current_ < 0 ? -1 : int64_t(addresses_[size_t(current_)]);
}

int DifferencePanel::markOf(int gridRow, int column) const {
    if (addresses_.empty() || column < 1 || column > 16 || gridRow < 1) return 0;
    const uint32_t a = uint32_t(gridRow - 1) * 16 + uint32_t(column - 1);
    if (!std::binary_search(addresses_.begin(), addresses_.end(), a)) return 0;
    return int64_t(a) == currentAddress() ? 2 : 1;
}

void DifferencePanel::hideEvent(QHideEvent* event) {
    clearMarks();
    QDialog::hideEvent(event);
}

void ReportDifferencesAfter(QWidget* window, Context& ctx, Command command, QTableView* grid,
                            BufferGridModel* model) {
    const auto* box = window->findChild<QCheckBox*>("cbDiffReport");
    const DeviceProfile& p = ctx.profile;
    if (!box || !box->isChecked() || (command != Command::Verify && command != Command::Program) ||
        p.verifyError != 1 || p.cancelRequested || p.hwError)
        return;
    DifferenceReport report;
    if (!ReadAndCompare(ctx, report, kListedRows)) return;
    auto* panel = window->findChild<DifferencePanel*>("pDifferences");
    if (!panel) panel = new DifferencePanel(window, grid, model);
    panel->showReport(report);
}

void DifferencePanel::clearMarks() {
    addresses_.clear();
    current_ = -1;
    list_->setRowCount(0);
    model_->imageChanged();
}

}  // namespace tavrin::ui
