#include "ui/MxicProtectPanel.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

#include "algorithms/parallel/Mx29F040Protect.h"

namespace tavrin::ui {

namespace {

void showRows(QTableWidget& table, const MxicSectorGrid& grid) {
    for (int r = 0; r <= kMxicSectors; ++r) {
        QTableWidgetItem* item = table.item(r, 0);
        if (!item) {
            item = new QTableWidgetItem;
            table.setItem(r, 0, item);
        }
        item->setText(QString::fromStdString(grid.rows[size_t(r)]));
        // Row 0 is the fixed header row.
        if (r == 0) item->setFlags(Qt::ItemIsEnabled);
    }
}

}  // namespace

void BuildMxicProtectPanel(QGroupBox& group, Context& ctx) {
    auto grid = std::make_shared<MxicSectorGrid>();
    auto* table = new QTableWidget(kMxicSectors + 1, 1, &group);
    table->setObjectName("sgMXICF29SecVfyF29");
    table->setGeometry(6, 18, 172, 124);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(13);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(7);
    table->setFont(mono);
    showRows(*table, *grid);
    table->setCurrentCell(grid->selectedRow, 0);

    auto button = [&](const char* name, const char* caption, int y) {
        auto* b = new QPushButton(caption, &group);
        b->setObjectName(name);
        b->setGeometry(184, y, 78, 24);
        return b;
    };
    QPushButton* status = button("sbMXICF29SecStatus", "Status", 18);
    QPushButton* protect = button("sbMXICF29SecProt", "Protect", 46);
    QPushButton* unprotect = button("sbMXICF29ChipUnprt", "Unprotect", 74);
    protect->setEnabled(false);
    unprotect->setEnabled(false);

    QObject::connect(table, &QTableWidget::currentCellChanged, table, [grid](int row) {
        if (row >= 1) grid->selectedRow = row;
    });
    QObject::connect(status, &QPushButton::clicked, &group,
                     [&ctx, grid, table, protect, unprotect] {
                         sbMXICF29SecStatusClick(ctx, *grid);
                         showRows(*table, *grid);
                         protect->setEnabled(grid->buttonsEnabled);
                         unprotect->setEnabled(grid->buttonsEnabled);
                     });
    QObject::connect(protect, &QPushButton::clicked, &group, [&ctx, grid, table] {
        sbMXICF29SecProtClick(ctx, *grid);
        showRows(*table, *grid);
    });
    QObject::connect(unprotect, &QPushButton::clicked, &group, [&ctx, grid, table] {
        sbMXICF29ChipUnprtClick(ctx, *grid);
        showRows(*table, *grid);
    });
}

}  // namespace tavrin::ui
