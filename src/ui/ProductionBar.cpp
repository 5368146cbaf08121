#include "ui/ProductionBar.h"

#include <algorithm>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStandardPaths>
#include <QToolButton>

#include "algorithms/DiffWrite.h"
#include "core/RunFrame.h"

namespace tavrin::ui {

ProductionBar::ProductionBar(Context& ctx, TaskRunner runTask, QMainWindow& window)
    : QToolBar("Production", &window), ctx_(ctx), runTask_(std::move(runTask)) {
    setObjectName("pProduction");
    setMovable(false);
    setFloatable(false);
    sbAuto_ = new QToolButton(this);
    sbAuto_->setObjectName("sbAuto");
    sbAuto_->setText("Auto");
    sbAuto_->setToolTip(
        "Auto: blank check (or erase), program and verify, stop at the first failure");
    sbAuto_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(sbAuto_, &QToolButton::clicked, this, [this] { runAuto(); });
    addWidget(sbAuto_);
    cbAutoErase_ = new QCheckBox("Erase first", this);
    cbAutoErase_->setObjectName("cbAutoErase");
    cbAutoErase_->setToolTip("Auto erases the chip instead of the blank check, where it can");
    addWidget(cbAutoErase_);
    cbAutoLock_ = new QCheckBox("Lock bits", this);
    cbAutoLock_->setObjectName("cbAutoLock");
    cbAutoLock_->setToolTip(
        "AVR: Auto writes the lock mode chosen in the AVR settings after programming");
    addWidget(cbAutoLock_);
    lbCounter_ = new QLabel(this);
    lbCounter_->setObjectName("lbCounter");
    lbCounter_->setMinimumWidth(130);
    addWidget(lbCounter_);
    addSeparator();
    cbIdCheck_ = new QCheckBox("Check chip ID", this);
    cbIdCheck_->setObjectName("cbIdCheck");
    cbIdCheck_->setToolTip(
        "Program and Erase first read the chip's ID and refuse a chip that is not the selected "
        "part");
    connect(cbIdCheck_, &QCheckBox::toggled, this, [this](bool on) { ctx_.profile.idCheck = on; });
    addWidget(cbIdCheck_);
    cbDiffWrite_ = new QCheckBox("Write only changes", this);
    cbDiffWrite_->setObjectName("cbDiffWrite");
    cbDiffWrite_->setToolTip(QString::fromStdString(
        "Program reads the chip first and writes only the bytes or pages that differ (" +
        DiffWriteFamiliesText() + ")"));
    connect(cbDiffWrite_, &QCheckBox::toggled, this,
            [this](bool on) { ctx_.profile.diffWrite = on; });
    addWidget(cbDiffWrite_);

    // The entries sit on the Auto button's own menu, so the window's menu bar stays as it is.
    auto* menu = new QMenu("Production", sbAuto_);
    menu->setObjectName("mnuProduction");
    sbAuto_->setMenu(menu);
    sbAuto_->setPopupMode(QToolButton::MenuButtonPopup);
    QAction* autoAction = menu->addAction("&Auto program (blank, program, verify)");
    autoAction->setObjectName("mnuAuto");
    connect(autoAction, &QAction::triggered, this, [this] { runAuto(); });
    QAction* serial = menu->addAction("&Serial numbers...");
    serial->setObjectName("mnuSerialNumbers");
    connect(serial, &QAction::triggered, this, [this] { editSerialNumbers(); });
    QAction* reset = menu->addAction("&Reset counter");
    reset->setObjectName("mnuResetCounter");
    connect(reset, &QAction::triggered, this, [this] {
        counter_ = {};
        showCounter();
    });
    showCounter();
    refresh();
}

void ProductionBar::refresh() {
    const QSignalBlocker block(cbIdCheck_);
    cbIdCheck_->setChecked(ctx_.profile.idCheck != 0);
    cbAutoLock_->setEnabled(ctx_.profile.eep == kAutoAvrFamily);
    // The option stays as the user set it; the box is live only where the family has it.
    const QSignalBlocker blockDiff(cbDiffWrite_);
    cbDiffWrite_->setChecked(ctx_.profile.diffWrite != 0);
    cbDiffWrite_->setEnabled(DiffWriteOffered(ctx_.profile));
}

void ProductionBar::showCounter() {
    lbCounter_->setText(QString::fromStdString(counter_.text()));
}

void ProductionBar::runAuto() {
    AutoPlan plan;
    plan.erase = cbAutoErase_->isChecked();
    if (ctx_.profile.eep == kAutoAvrFamily && cbAutoLock_->isChecked())
        plan.after.push_back(AvrLockStep(std::max(ctx_.profile.avrLockMode, 1)));
    uint64_t number = 0;
    if (serial_) {
        // The next number goes into the image; the loaded file on disk stays as it is.
        std::string error;
        const SerialState state(serial_->statePath);
        if (!state.next(serial_->plan, number, error) ||
            !StampSerial(ctx_, serial_->plan, number, error)) {
            Message(ctx_, "Auto: " + error, MessageKind::Error);
            return;
        }
    }
    bool ran = false;
    runTask_([&] {
        last_ = RunAutoSequence(ctx_, plan);
        ran = true;
    });
    if (!ran) return;  // another routine was running
    counter_.count(last_);
    showCounter();
    std::string serialError;
    if (serial_ && last_.passed &&
        !SerialState(serial_->statePath).advance(serial_->plan, number, serialError)) {
        Message(ctx_, "Auto: " + serialError, MessageKind::Error);
        return;
    }
    // The status line ends on the outcome of the whole sequence.
    if (last_.passed)
        Message(ctx_,
                "Auto: chip passed (" + counter_.text() + ")" +
                    (serial_ ? ", serial number " + std::to_string(number) : std::string()),
                MessageKind::Success);
    else
        Message(ctx_, "Auto: " + last_.failedStep + " failed: " + last_.message,
                MessageKind::Error);
}

void ProductionBar::editSerialNumbers() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);  // the state file lives there unless the user names another
    SerialNumberDialog dialog(serial_, folder + "/serial.state", this);
    if (dialog.exec() == QDialog::Accepted) serial_ = dialog.setup();
}

}  // namespace tavrin::ui
