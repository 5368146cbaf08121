#include "ui/ElectronicIdPanel.h"

#include <QLabel>
#include <QLineEdit>

namespace tavrin::ui {

namespace {

template <typename Widget>
void setText(QWidget& panel, const char* name, const std::string& text) {
    if (auto* w = panel.findChild<Widget*>(name)) w->setText(QString::fromStdString(text));
}

void setShown(QWidget& panel, const char* name, bool shown) {
    if (auto* w = panel.findChild<QWidget*>(name)) w->setVisible(shown);
}

}  // namespace

void ShowElectronicIdPanel(QWidget& panel, const ElectronicIdView& id) {
    setText<QLineEdit>(panel, "edManufacID", id.manufacturerCode);
    setText<QLineEdit>(panel, "edDeviceID", id.deviceCode);
    setText<QLabel>(panel, "edManufacName", id.manufacturerName);
    setText<QLabel>(panel, "edDeviceName", id.deviceName);
    setText<QLineEdit>(panel, "edLockbit", id.lockBit);
    setText<QLineEdit>(panel, "edLockMode", id.lockMode);
    setText<QLabel>(panel, "lbIdText", "");
    // Lock and fuse bits are an AVR's only.
    setShown(panel, "edLockbit", id.showLock);
    setShown(panel, "lbLockbit", id.showLock);
    setShown(panel, "edLockMode", id.showLock);
    panel.show();
    panel.raise();
}

}  // namespace tavrin::ui
