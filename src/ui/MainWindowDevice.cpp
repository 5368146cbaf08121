// Device selection, buffer and file commands of the window.
#include <QMenu>

#include "core/ImageBuffer.h"
#include "ui/MainWindow.h"

namespace tavrin::ui {

void TfrmEprom::buildDeviceMenu() {
    mnuDevice_ = new QMenu(this);
    mnuDevice_->setObjectName("mnuDevice");
}

void TfrmEprom::selectDeviceEntry(const QString&) {}
void TfrmEprom::searchDevice() {}
void TfrmEprom::afterSelection() { putSimChip(); winstat(); }
void TfrmEprom::replaySelection(int32_t, int32_t) {}
void TfrmEprom::showPattern(int32_t dip) { ctx_.profile.DIP = dip; winstat(); }
void TfrmEprom::putSimChip() {}
void TfrmEprom::mnuLoadClick() {}
void TfrmEprom::mnuSaveClick() {}
void TfrmEprom::Clear1Click(int tag) { ClearBuf(ctx_, tag); }
void TfrmEprom::InvertDATA1Click() {}
void TfrmEprom::Swapbyte1Click() {}
void TfrmEprom::RomIdentClick() {}

}  // namespace tavrin::ui
