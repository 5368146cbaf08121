#include "ui/WindowFrontEnd.h"

#include <QCoreApplication>

#include "ui/ElectronicIdPanel.h"
#include "ui/MainWindow.h"

namespace tavrin::ui {

void WindowFrontEnd::message(const std::string& text, MessageKind kind) {
    window_.showMessage(QString::fromStdString(text), kind);
}

void WindowFrontEnd::openGauge(const std::string& caption, int64_t max, uint32_t color) {
    window_.openGauge(QString::fromStdString(caption), max, color);
}

void WindowFrontEnd::setGaugeProgress(int64_t value) {
    window_.setGaugeProgress(value);
}

void WindowFrontEnd::pumpEvents() {
    QCoreApplication::processEvents();
}

bool WindowFrontEnd::confirm(const std::string& question) {
    return window_.askYesNo(QString::fromStdString(question));
}

void WindowFrontEnd::refresh() {
    window_.applyDisplayState();
}

void WindowFrontEnd::commandFinished() {
    window_.closeGauge();
}

void WindowFrontEnd::setToolbarEnabled(bool enabled) {
    window_.setCommandsEnabled(enabled);
}

void WindowFrontEnd::showPeaks(int32_t loop, int32_t twp, int32_t twc) {
    window_.showPeaks(loop, twp, twc);
}

void WindowFrontEnd::showResult(const std::string& panel, const std::string& text) {
    window_.showResult(QString::fromStdString(panel), QString::fromStdString(text));
}

void WindowFrontEnd::showElectronicId(const ElectronicIdView& id) {
    if (auto* panel = window_.findChild<QWidget*>("pIDcode")) ShowElectronicIdPanel(*panel, id);
}

void WindowFrontEnd::inform(const std::string& text) {
    window_.showInformation(QString::fromStdString(text));
}

}  // namespace tavrin::ui
