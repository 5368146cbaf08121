#include "ui/AvrSettingsPanel.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWidget>

#include "algorithms/mcu/Avr.h"
#include "devices/families/AvrFamily.h"

namespace tavrin::ui {

namespace {

constexpr const char* kModeNames[3] = {"rbAVRm1", "rbAVRm2", "rbAVRm3"};
constexpr const char* kModeCaptions[3] = {
    "1. No program lock features",
    "2. Further programming of the  Flash/EEPROM is disabled ",
    "3. Same as mode 2, but verify is also disabled.",
};

constexpr int kCaptionRoom = 258 - 24;  // the button's width less its indicator

}  // namespace

AvrSettingsPanel::AvrSettingsPanel(Context& ctx, QWidget* group, Runner run)
    : ctx_(ctx), run_(std::move(run)) {
    // The long captions of the lock modes fit the group only in a small face: the largest one
    // up to the group's own in which the longest caption fits beside its indicator.
    QFont small = group->font();
    if (small.pointSizeF() <= 0) small.setPointSizeF(9);
    while (QFontMetrics(small).horizontalAdvance(kModeCaptions[1]) > kCaptionRoom &&
           small.pointSizeF() > 6)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(kModeCaptions[i], group);
        rb->setObjectName(kModeNames[i]);
        rb->setProperty("Tag", i + 1);
        rb->setFont(small);
        rb->setGeometry(6, 16 + 18 * i, 258, 18);
        QObject::connect(rb, &QRadioButton::clicked, group,
                         [this, i] { rbAVRm1Click(ctx_, i + 1); });  // rbAVRm1Click
        rbAVRm_[size_t(i)] = rb;
    }
    for (int bit = 0; bit < 6; ++bit) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QString("cbFbit%1").arg(bit));
        box->setProperty("Tag", bit);
        box->setGeometry(6 + 86 * (bit % 3), 72 + 18 * (bit / 3), 86, 18);
        QObject::connect(box, &QCheckBox::clicked, group,
                         [this, bit](bool on) { cbFbit0Click(ctx_, bit, on); });  // cbFbit0Click
        cbFbit_[size_t(bit)] = box;
    }
    edEPRFuse_ = new QLineEdit(group);
    edEPRFuse_->setObjectName("edEPRFuse");
    edEPRFuse_->setReadOnly(true);
    edEPRFuse_->setGeometry(6, 114, 60, 24);
    sbAVRlockbit_ = new QPushButton("Lock Bit", group);
    sbAVRlockbit_->setObjectName("sbAVRlockbit");
    sbAVRlockbit_->setGeometry(112, 114, 72, 26);
    QObject::connect(sbAVRlockbit_, &QPushButton::clicked, group, [this] { write(&AvrSetLock); });
    bbAVRfuse_ = new QPushButton("FuseBit", group);
    bbAVRfuse_->setObjectName("bbAVRfuse");
    bbAVRfuse_->setGeometry(190, 114, 72, 26);
    QObject::connect(bbAVRfuse_, &QPushButton::clicked, group, [this] { write(&AvrSetFuse); });
}

void AvrSettingsPanel::write(void (*routine)(Context&)) {
    run_([this, routine] {
        // As for the device commands: a board that does not answer gets the hardware error, not
        // the writer's own failure text.
        ctx_.profile.hwError = ctx_.bus.CheckHardware();
        if (ctx_.profile.hwError == 0) routine(ctx_);
        Winstat(ctx_);
    });
}

void AvrSettingsPanel::show(const DisplayState& s) {
    if (s.optionGroup != "pAVRsetting") return;
    if (s.avrLockMode >= 1 && s.avrLockMode <= 3) {
        QRadioButton* rb = rbAVRm_[size_t(s.avrLockMode - 1)];
        const QSignalBlocker block(rb);
        rb->setChecked(true);
    }
    for (size_t bit = 0; bit < cbFbit_.size(); ++bit) {
        QCheckBox* box = cbFbit_[bit];
        const CheckBoxState& state = s.cbFbit[bit];
        const QSignalBlocker block(box);
        box->setText(QString::fromStdString(state.caption));
        box->setChecked(state.checked);
        box->setEnabled(state.enabled);
    }
    edEPRFuse_->setText(QString::fromStdString(s.edEPRFuse));
}

}  // namespace tavrin::ui
