#include "ui/ReadCheckPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/RunFrame.h"

namespace tavrin::ui {

namespace {

// Rows the list shows; the counts cover every unstable byte.
constexpr size_t kListedRows = 256;

QTableWidgetItem* cell(const std::string& text) {
    return new QTableWidgetItem(QString::fromStdString(text));
}

}  // namespace

ReadCheckPanel::ReadCheckPanel(QWidget* parent) : QDialog(parent) {
    setObjectName("pReadCheck");
    setWindowTitle("Read consistency");
    auto* layout = new QVBoxLayout(this);
    lbSummary_ = new QLabel;
    lbSummary_->setObjectName("lbReadCheckSummary");
    lbSummary_->setWordWrap(true);
    layout->addWidget(lbSummary_);
    list_ = new QTableWidget(0, 4);
    list_->setObjectName("twUnstable");
    list_->setHorizontalHeaderLabels({"Address", "Kept", "Bits", "Reads"});
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(list_);
    resize(420, 320);
}

void ReadCheckPanel::showReport(const ConsistencyReport& report) {
    std::string summary = ConsistencySummary(report);
    if (report.unstable > report.first.size())
        summary += Format(" (the first %zu listed)", report.first.size());
    lbSummary_->setText(QString::fromStdString(summary));
    list_->setRowCount(int(report.first.size()));
    for (int row = 0; row < int(report.first.size()); ++row) {
        const UnstableByte& u = report.first[size_t(row)];
        std::string reads;
        for (uint8_t v : u.seen) reads += Format("%s0x%02X", reads.empty() ? "" : " ", v);
        list_->setItem(row, 0, cell(Format("0x%06X", u.address)));
        list_->setItem(row, 1, cell(Format("0x%02X", u.majority)));
        list_->setItem(row, 2, cell(BitList(u.flipped)));
        list_->setItem(row, 3, cell(reads));
    }
    list_->resizeColumnsToContents();
    show();
    raise();
}

QSpinBox* AddReadPassesBox(QWidget* parent, int y) {
    auto* label = new QLabel("Read passes", parent);
    label->setGeometry(8, y + 2, 90, 16);
    auto* box = new QSpinBox(parent);
    box->setObjectName("spReadPasses");
    box->setRange(1, kMaxReadPasses);
    box->setValue(1);
    box->setToolTip(
        "Read the chip this many times, keep the bitwise majority and list the "
        "bytes whose reads disagree (weak cells, poor socket contacts)");
    box->setGeometry(100, y, 52, 20);
    return box;
}

bool ReadWithPasses(QWidget* window, Context& ctx) {
    const auto* box = window->findChild<QSpinBox*>("spReadPasses");
    if (!box || box->value() < kMinReadPasses) return false;
    ConsistencyReport report;
    if (ReadConsistently(ctx, box->value(), report, kListedRows)) {
        auto* panel = window->findChild<ReadCheckPanel*>("pReadCheck");
        if (!panel) panel = new ReadCheckPanel(window);
        panel->showReport(report);
    }
    return true;
}

}  // namespace tavrin::ui
