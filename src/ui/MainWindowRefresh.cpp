// The window refresh: board pictures, labels, enables, grids and the Configs page.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QToolButton>

#include "ui/BoardPictures.h"
#include "ui/BufferGridModel.h"
#include "ui/MainWindow.h"

namespace tavrin::ui {

void TfrmEprom::winstat() {
    DeviceProfile& p = ctx_.profile;
    p.bufferSize = p.deviceSize;
    pProcess_->hide();

    settingTrackBars_ = true;
    tbTWC_->setMaximum(std::min(15 * std::max(p.tWC, 1), 50000));
    tbTWC_->setValue(p.tWC);
    tbTWP_->setMaximum(15 * p.tWP > 50000 ? 60000 : std::max(15 * p.tWP, 1));
    tbTWP_->setValue(p.tWP);
    tbTWC_->setTickInterval(std::max(1, tbTWC_->maximum() / 20));
    tbTWP_->setTickInterval(std::max(1, tbTWP_->maximum() / 20));
    settingTrackBars_ = false;

    const bool pcb3 = p.tavrin != 0;
    sbTavrin_->setText(pcb3 ? "PCB3" : "Tavrin");
    pPCB3_->setVisible(pcb3);
    pTavrin_->setVisible(!pcb3);
    lbON_->move(lbON_->x(), pcb3 ? 150 : 175);

    refreshChecksum();
    edBuffer_->setText(QString::asprintf(" 0x%X", unsigned(p.bufferSize - 1)));

    edShiftAdr_->setText(QString::asprintf(" A0 --> A%d", p.ShiftAdr));
    edPatternAdr_->setText(QString::asprintf(" 0x%06X", p.PatternAdr));
    setWindowTitle(QString::fromStdString(ctx_.controls.caption));
    edDevice_->setText(QString::fromStdString(ctx_.controls.edDevice));
    refreshGrids();
    refreshConfigsPage();
    refreshTiming();
}

void TfrmEprom::refreshChecksum() {}

void TfrmEprom::layoutGrids() {}

void TfrmEprom::refreshGrids() {
    hexModel_->imageChanged();
    progModel_->imageChanged();
}

}  // namespace tavrin::ui
