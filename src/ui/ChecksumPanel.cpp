#include "ui/ChecksumPanel.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "buffer/Checksum.h"
#include "buffer/ChecksumSet.h"

namespace tavrin::ui {

ChecksumPanel::ChecksumPanel(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("pChecksums");
    setWindowTitle("Checksums");
    auto* layout = new QVBoxLayout(this);
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel("From"));
    edFirst_ = new QLineEdit;
    edFirst_->setObjectName("edSumFirst");
    range->addWidget(edFirst_);
    range->addWidget(new QLabel("to"));
    edLast_ = new QLineEdit;
    edLast_->setObjectName("edSumLast");
    range->addWidget(edLast_);
    auto* btnCompute = new QPushButton("Compute");
    btnCompute->setObjectName("btnSumCompute");
    btnCompute->setDefault(true);
    range->addWidget(btnCompute);
    auto* btnDevice = new QPushButton("Device");
    btnDevice->setObjectName("btnSumDevice");
    btnDevice->setToolTip("The whole device, as edChecksum counts it");
    range->addWidget(btnDevice);
    layout->addLayout(range);
    lbRangeError_ = new QLabel;
    lbRangeError_->setObjectName("lbSumRangeError");
    lbRangeError_->setStyleSheet("color: red");
    lbRangeError_->hide();
    layout->addWidget(lbRangeError_);

    auto* form = new QFormLayout;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const ChecksumLine& line : ChecksumLines(ChecksumSet{})) {
        auto* box = new QLineEdit;
        box->setObjectName(QString("edSum_") + line.key);
        box->setReadOnly(true);  // selectable, so values can be copied
        box->setFont(fixed);
        box->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(66, '0')));
        form->addRow(line.label, box);
        values_.push_back(box);
    }
    layout->addLayout(form);
    connect(btnCompute, &QPushButton::clicked, this, [this] { compute(); });
    connect(btnDevice, &QPushButton::clicked, this, [this] { showForDevice(); });
    connect(edFirst_, &QLineEdit::returnPressed, this, [this] { compute(); });
    connect(edLast_, &QLineEdit::returnPressed, this, [this] { compute(); });
}

void ChecksumPanel::showForDevice() {
    const size_t length = ChecksumLength(ctx_, ctx_.profile.bufferSize);
    edFirst_->setText(QString::asprintf("%06X", 0u));
    edLast_->setText(QString::asprintf("%06zX", length ? length - 1 : 0));
    compute();
}

bool ChecksumPanel::compute() {
    std::string error;
    const auto range =
        ParseByteRange((edFirst_->text().trimmed() + "-" + edLast_->text().trimmed()).toStdString(),
                       ctx_.Buffer.size(), error);
    lbRangeError_->setVisible(!range);
    if (!range) {
        lbRangeError_->setText(QString::fromStdString(error));
        for (QLineEdit* box : values_) box->clear();
        return false;
    }
    const auto lines =
        ChecksumLines(ComputeChecksums(ctx_.Buffer.data() + range->first, range->length()));
    for (size_t i = 0; i < lines.size() && i < values_.size(); ++i)
        values_[i]->setText(QString::fromStdString(lines[i].value));
    return true;
}

ChecksumPanel* ShowChecksumPanel(QWidget* window, Context& ctx) {
    auto* panel = window->findChild<ChecksumPanel*>("pChecksums");
    if (!panel) panel = new ChecksumPanel(ctx, window);
    panel->showForDevice();
    panel->show();
    panel->raise();
    return panel;
}

}  // namespace tavrin::ui
