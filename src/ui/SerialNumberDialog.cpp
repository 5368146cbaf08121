#include "ui/SerialNumberDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace tavrin::ui {

SerialNumberDialog::SerialNumberDialog(const std::optional<SerialSetup>& current,
                                       const QString& defaultState, QWidget* parent)
    : QDialog(parent) {
    setObjectName("dlgSerialNumbers");
    setWindowTitle("Serial numbers");
    auto* form = new QFormLayout(this);
    cbSerialOn_ = new QCheckBox("Write serial numbers", this);
    cbSerialOn_->setObjectName("cbSerialOn");
    form->addRow(cbSerialOn_);
    const auto box = [&](const char* name, const QString& text, const char* label) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        form->addRow(label, e);
        return e;
    };
    const SerialSetup s = current.value_or(SerialSetup{{}, defaultState.toStdString()});
    edAddress_ = box("edSerialAddress", QString("0x%1").arg(s.plan.address, 0, 16), "Address");
    edBytes_ = box("edSerialBytes", QString::number(current ? s.plan.bytes : 2), "Bytes");
    edStart_ = box("edSerialStart", QString::number(s.plan.start), "Start");
    edStep_ = box("edSerialStep", QString::number(s.plan.step), "Step");
    cbForm_ = new QComboBox(this);
    cbForm_->setObjectName("cbSerialForm");
    cbForm_->addItems({"Binary, little endian", "Binary, big endian", "ASCII hex, little endian",
                       "ASCII hex, big endian"});
    cbForm_->setCurrentIndex(int(s.plan.form));
    form->addRow("Form", cbForm_);
    edState_ = box("edSerialState", QString::fromStdString(s.statePath), "State file");
    cbSerialOn_->setChecked(current.has_value());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SerialNumberDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SerialNumberDialog::accept() {
    if (!cbSerialOn_->isChecked()) {
        setup_.reset();
        QDialog::accept();
        return;
    }
    SerialSetup s;
    s.plan.form = SerialNumberPlan::Form(cbForm_->currentIndex());
    const std::string text = (edAddress_->text() + ":" + edBytes_->text() + ":" + edStart_->text() +
                              ":" + edStep_->text())
                                 .toStdString();
    std::string error;
    if (!ParseSerialPlan(text, s.plan, error)) {
        QMessageBox::warning(this, "Serial numbers", QString::fromStdString(error));
        return;
    }
    s.statePath = edState_->text().toStdString();
    if (s.statePath.empty()) {
        QMessageBox::warning(this, "Serial numbers", "Name the file that keeps the next number");
        return;
    }
    setup_ = s;
    QDialog::accept();
}

}  // namespace tavrin::ui
