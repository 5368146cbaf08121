#include "ui/PicSettingsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "devices/PicConfig.h"

namespace tavrin::ui {

namespace {

constexpr const char* kBoxNames[8] = {"cbWDTE", "cbPWRTE", "cbMCLRE", "cbBODEN",
                                      "cbLVP",  "cbCPD",   "cbWRT",   "cbDEBUG"};

QStringList items(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& n : names) list << QString::fromStdString(n);
    return list;
}

void fillCombo(QComboBox* box, const std::vector<std::string>& names, int index) {
    const QSignalBlocker block(box);
    const QStringList wanted = items(names);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    if (shown != wanted) {
        box->clear();
        box->addItems(wanted);
    }
    box->setCurrentIndex(index);
}

}  // namespace

PicSettingsPanel::PicSettingsPanel(Context& ctx, QWidget* group, std::function<void()> refresh)
    : ctx_(ctx), refresh_(std::move(refresh)) {
    auto* osc = new QLabel("Oscillator", group);
    osc->setGeometry(6, 16, 110, 16);
    cbOSC_ = new QComboBox(group);
    cbOSC_->setObjectName("cbOSC");
    cbOSC_->setProperty("Tag", kPicOscTag);
    cbOSC_->setGeometry(6, 32, 112, 20);
    auto* cp = new QLabel("Code protection", group);
    cp->setGeometry(6, 54, 110, 16);
    cbCP_ = new QComboBox(group);
    cbCP_->setObjectName("cbCP");
    cbCP_->setProperty("Tag", kPicCpTag);
    cbCP_->setGeometry(6, 70, 112, 20);
    for (QComboBox* box : {cbOSC_, cbCP_}) {
        const int tag = box->property("Tag").toInt();
        QObject::connect(box, &QComboBox::activated, group, [this, tag](int item) {
            cbPICChange(ctx_, tag, item);  // cbPICChange
            refresh_();
        });
    }

    auto* cfg = new QLabel("Config", group);
    cfg->setGeometry(6, 92, 56, 14);
    edPIC_cfg_ = new QLineEdit(group);
    edPIC_cfg_->setObjectName("edPIC_cfg");
    edPIC_cfg_->setReadOnly(true);
    edPIC_cfg_->setGeometry(6, 106, 58, 20);
    auto* id = new QLabel("ID", group);
    id->setGeometry(68, 92, 48, 14);
    edPIC_ID_ = new QLineEdit("FFFF", group);
    edPIC_ID_->setObjectName("edPIC_ID");
    edPIC_ID_->setMaxLength(4);
    edPIC_ID_->setGeometry(68, 106, 50, 20);
    QObject::connect(edPIC_ID_, &QLineEdit::textEdited, group, [this](const QString& text) {
        edPIC_IDChange(ctx_, text.toStdString());  // edPIC_IDChange
    });
    QObject::connect(edPIC_ID_, &QLineEdit::editingFinished, group, [this] {
        edPIC_ID_->setText(QString::fromStdString(PicIdExitText(ctx_.profile)));  // edPIC_IDEXIT
        refresh_();
    });

    cbOSCCAL_ = new QCheckBox("Write OSCCAL", group);
    cbOSCCAL_->setObjectName("cbOSCCAL");
    cbOSCCAL_->setGeometry(6, 128, 112, 18);
    QObject::connect(cbOSCCAL_, &QCheckBox::clicked, group, [this](bool on) {
        ctx_.profile.picWriteOsccal = on ? 1 : 0;
        refresh_();
    });

    for (int k = 0; k < 8; ++k) {
        auto* box = new QCheckBox(group);
        box->setObjectName(kBoxNames[k]);
        box->setProperty("Tag", k + 1);
        box->setGeometry(124, 16 + 16 * k, 140, 16);
        QObject::connect(box, &QCheckBox::clicked, group, [this, k](bool on) {
            cbWDTEClick(ctx_, k + 1, on);  // cbWDTEClick
            refresh_();
        });
        boxes_[size_t(k)] = box;
    }
}

void PicSettingsPanel::show(const DisplayState& s) {
    if (!s.picShown) return;
    const DisplayState::PicPanel& pic = s.pic;
    fillCombo(cbOSC_, pic.cbOSC, pic.oscIndex);
    fillCombo(cbCP_, pic.cbCP, pic.cpIndex);
    for (size_t k = 0; k < boxes_.size(); ++k) {
        QCheckBox* box = boxes_[k];
        const QSignalBlocker block(box);
        box->setText(QString::fromStdString(pic.boxes[k].caption));
        box->setChecked(pic.boxes[k].checked);
        box->setVisible(pic.boxes[k].visible);
    }
    {
        const QSignalBlocker block(cbOSCCAL_);
        cbOSCCAL_->setChecked(pic.cbOSCCAL.checked);
        cbOSCCAL_->setVisible(pic.cbOSCCAL.visible);
    }
    edPIC_cfg_->setText(QString::fromStdString(s.edPIC_cfg));
    edPIC_ID_->setMaxLength(std::max(1, s.edPIC_IDMaxLength));
    if (!edPIC_ID_->hasFocus()) {
        const QSignalBlocker block(edPIC_ID_);
        edPIC_ID_->setText(QString::fromStdString(s.edPIC_ID));
    }
}

}  // namespace tavrin::ui
