// The window refresh: board pictures, read-outs, enables, option groups, grids and Configs page,
// all drawn from the display state computed from the context.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "devices/DisplayState.h"
#include "ui/AvrSettingsPanel.h"
#include "ui/BoardPictures.h"
#include "ui/BufferGridModel.h"
#include "ui/MainWindow.h"
#include "ui/ProductionBar.h"
#include "ui/PicSettingsPanel.h"
#include "ui/Spi25CPanel.h"

namespace tavrin::ui {

namespace {

void setBar(QSlider* bar, const TrackBarState& s) {
    bar->setMaximum(std::max(s.maximum, 1));
    bar->setMinimum(std::min(1, bar->maximum()));
    bar->setValue(s.position);
    bar->setTickInterval(std::max(1, s.frequency));
}

void setBox(QCheckBox* box, const CheckBoxState& s) {
    const QSignalBlocker block(box);
    box->setChecked(s.checked);
    box->setEnabled(s.enabled);
    box->setVisible(s.visible);
    if (!s.caption.empty()) box->setText(QString::fromStdString(s.caption));
}

}  // namespace

void TfrmEprom::winstat() {
    Winstat(ctx_);
}

void TfrmEprom::applyDisplayState() {
    const DisplayState s = ComputeDisplayState(ctx_);
    pProcess_->hide();
    if (production_) production_->refresh();

    settingTrackBars_ = true;
    setBar(tbTWC_, s.tbTWC);
    setBar(tbTWP_, s.tbTWP);
    settingTrackBars_ = false;

    sbTavrin_->setText(QString::fromStdString(s.sbTavrinCaption));
    pPCB3_->setVisible(s.pPCB3Visible);
    pTavrin_->setVisible(s.pTavrinVisible);
    lbON_->move(lbON_->x(), s.lbONTop);
    JP_A18Vpp_->setImage(s.jumperImage);
    for (int k = 0; k < 12; ++k) dip_[k + 1]->setImage(s.placeImages[k]);
    markDipChanges();

    edChecksum_->setText(QString::fromStdString(s.edChecksum));
    edBuffer_->setText(QString::fromStdString(s.edBuffer));

    // During a run the tool bar stays off whatever the family allows.
    pICON_->setEnabled(s.pICON && !running_);
    for (QGroupBox* g : optionGroups_) {
        g->setVisible(g->objectName().toStdString() == s.optionGroup);
        if (g->objectName() == "p25CxxxSetting") RefreshSpi25CPanel(g, ctx_);
    }
    if (picPanel_) picPanel_->show(s);
    if (avrPanel_) avrPanel_->show(s);
    if (!s.p49F00xCaption.empty())
        p49F00xsetting_->setTitle(QString::fromStdString(s.p49F00xCaption));
    setBox(cbSkip_0xFF_, s.cbSkip_0xFF);
    setBox(cbFastPro_, s.cbFastPro);
    setBox(cb5555_, s.cb5555);
    setBox(cbProtect_, s.cbProtect);
    if (s.cbSsizeItem >= 0) {
        const QSignalBlocker block(cbSsize_);
        cbSsize_->setCurrentIndex(s.cbSsizeItem);
    }
    lbSsizeWarning_->setText(QString::fromStdString(s.ssizeWarning));
    lbSsizeWarning_->setVisible(!s.ssizeWarning.empty());
    // The MCS-51 lock radio buttons follow the lock mode; the 20-pin parts have no bit 3.
    if (s.lockRadio >= 0) rbLock_[size_t(s.lockRadio)]->setChecked(true);
    rbLock_[3]->setEnabled(s.rbLock123Enabled);
    lbOffset_->setVisible(s.offsetVisible);
    edOffset_->setVisible(s.offsetVisible);
    lbOffset_->setEnabled(s.offsetEnabled);
    edOffset_->setEnabled(s.offsetEnabled);
    if (!edOffset_->hasFocus() && edOffset_->text().toStdString() != s.edOffset)
        edOffset_->setText(QString::fromStdString(s.edOffset));

    const CommandStates& c = s.commands;
    sbRead_->setEnabled(c.sbRead);
    sbProg_->setEnabled(c.sbProg);
    sbVerify_->setEnabled(c.sbVerify);
    sbBlank_->setEnabled(c.sbBlank);
    sbErase_->setEnabled(c.sbErase);
    sbGetID_->setEnabled(c.sbGetID);
    sbLockBit_->setEnabled(c.sbLockBit);
    sbRdLB_->setEnabled(c.sbRdLB);
    if (!running_) {
        mnuRead_->setEnabled(c.mnuRead);
        mnuVerify_->setEnabled(c.mnuVerify);
        mnuBlank_->setEnabled(c.mnuBlank);
        mnuErase_->setEnabled(c.mnuErase);
        mnuGetID_->setEnabled(c.mnuGetID);
    }

    const QString picture = QString::fromStdString(s.socketPicture);
    if (picture == "pAdapter") {
        socket_->setPicture({});
        lbAdapter_->setText(QString::fromStdString(s.adapterText));
        pAdapter_->show();
    } else {
        pAdapter_->hide();
        socket_->setPicture(picture);
    }

    layoutGrids();
    refreshGrids();
    gProcess_->hide();
    btnCancel_->hide();
    edShiftAdr_->setText(QString::fromStdString(s.edShiftAdr));
    edPatternAdr_->setText(QString::fromStdString(s.edPatternAdr));
    edTWP_->setText(QString::fromStdString(s.edTWP));
    edTWC_->setText(QString::fromStdString(s.edTWC));
    for (const auto& [name, text] : s.configs)
        configBox(QString::fromStdString(name))->setText(QString::fromStdString(text));

    setWindowTitle(QString::fromStdString(ctx_.controls.caption));
    edDevice_->setText(QString::fromStdString(s.edDevice));
}

void TfrmEprom::refreshConfigsPage() {
    const DisplayState s = ComputeDisplayState(ctx_);
    for (const auto& [name, text] : s.configs)
        configBox(QString::fromStdString(name))->setText(QString::fromStdString(text));
}

void TfrmEprom::refreshTiming() {
    edTWP_->setText(QString::fromStdString(TimingText(ctx_.profile.tWP)));
    edTWC_->setText(QString::fromStdString(TimingText(ctx_.profile.tWC)));
}

void TfrmEprom::refreshChecksum() {
    edChecksum_->setText(QString::fromStdString(ComputeDisplayState(ctx_).edChecksum));
}

void TfrmEprom::refreshGrids() {
    hexModel_->imageChanged();
    progModel_->imageChanged();
}

}  // namespace tavrin::ui
