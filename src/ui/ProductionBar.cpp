#include "ui/ProductionBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

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

    QMenu* menu = window.menuBar()->addMenu("Pro&duction");
    menu->setObjectName("mnuProduction");
    QAction* autoAction = menu->addAction("&Auto program (blank, program, verify)");
    autoAction->setObjectName("mnuAuto");
    connect(autoAction, &QAction::triggered, this, [this] { runAuto(); });
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
}

void ProductionBar::showCounter() {
    lbCounter_->setText(QString::fromStdString(counter_.text()));
}

void ProductionBar::runAuto() {
    AutoPlan plan;
    plan.erase = cbAutoErase_->isChecked();
    bool ran = false;
    runTask_([&] {
        last_ = RunAutoSequence(ctx_, plan);
        ran = true;
    });
    if (!ran) return;  // another routine was running
    counter_.count(last_);
    showCounter();
    // The status line ends on the outcome of the whole sequence.
    if (last_.passed)
        Message(ctx_, "Auto: chip passed (" + counter_.text() + ")", MessageKind::Success);
    else
        Message(ctx_, "Auto: " + last_.failedStep + " failed: " + last_.message,
                MessageKind::Error);
}

}  // namespace tavrin::ui
