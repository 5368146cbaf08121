#include "ui/TestHwPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Context.h"
#include "core/RunFrame.h"

namespace tavrin::ui {

namespace {

QString pinCaption(int pin) {
    switch (pin) {
        case 1:
            return "1- Vpp";
        case 2:
            return "2- A16";
        case 3:
            return "3- A15";
        case 4:
            return "4- A12";
        case 5:
            return "5-  A7";
        case 6:
            return "6-  A6";
        case 7:
            return "7-  A5";
        case 8:
            return "8-  A4";
        case 9:
            return "9-  A3";
        case 10:
            return "10- A2";
        case 11:
            return "11- A1";
        case 12:
            return "12- A0";
        case 13:
            return "13- D0";
        case 14:
            return "14- D1";
        case 15:
            return "15- D2";
        case 16:
            return "16- Gnd";
        case 17:
            return "D3  -17";
        case 18:
            return "D4  -18";
        case 19:
            return "D5  -19";
        case 20:
            return "D6  -20";
        case 21:
            return "D7  -21";
        case 22:
            return "CE  -22";
        case 23:
            return "A10 -23";
        case 24:
            return "OE -24";
        case 25:
            return "A11 -25";
        case 26:
            return "A9  -26";
        case 27:
            return "A8  -27";
        case 28:
            return "A13 -28";
        case 29:
            return "A14 -29";
        case 30:
            return "A17 -30 ";
        case 31:
            return "WE -31";
        case 32:
            return "Vcc -32";
    }
    return {};
}

const char* kButtonCaptions[11] = {nullptr,
                                   "A0->A17   0x00000",
                                   "A0->A17   0x2AAAA",
                                   "A0->A17   0x15555",
                                   "A0->A17   0x3FFFF",
                                   "D0->D7   0x00",
                                   "D0->D7   0xAA",
                                   "D0->D7   0x55",
                                   "D0->D7   0xFF",
                                   "Clear All",
                                   "Read Data"};

}  // namespace

TestHwPage::TestHwPage(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    auto* socket = new QGroupBox("32 pin socket", this);
    socket->setGeometry(8, 4, 250, 360);
    for (int pin = 1; pin <= 32; ++pin) {
        auto* box = new QCheckBox(pinCaption(pin), socket);
        box->setObjectName(QString("cbPin%1").arg(pin));
        box->setProperty("Tag", pin);
        const bool left = pin <= 16;
        const int row = left ? pin - 1 : 32 - pin;
        box->setGeometry(left ? 8 : 140, 18 + row * 21, 100, 20);
        if (!left) box->setLayoutDirection(Qt::RightToLeft);
        if (pin == 16 || pin == 22)
            box->setEnabled(false);
        else
            connect(box, &QCheckBox::toggled, this, [this] { RefreshTestPins(); });  // cbPin1Click
        pins_[pin] = box;
    }

    auto* buttons = new QGroupBox(this);
    buttons->setGeometry(266, 4, 272, 250);
    for (int tag = 1; tag <= 10; ++tag) {
        auto* b = new QPushButton(kButtonCaptions[tag], buttons);
        b->setObjectName(QString("btnTest%1").arg(tag));
        b->setProperty("Tag", tag);
        const int col = tag <= 4 ? 0 : (tag <= 8 ? 1 : 2);
        const int row = tag <= 4 ? tag - 1 : (tag <= 8 ? tag - 5 : tag - 9);
        if (col < 2)
            b->setGeometry(8 + col * 132, 10 + row * 28, 128, 24);
        else
            b->setGeometry(8 + row * 132, 10 + 4 * 28, 128, 24);
        connect(b, &QPushButton::clicked, this, [this, tag] { btnA0A18Click(tag); });
        buttons_[tag] = b;
    }
    auto* lbAdr = new QLabel("Address", buttons);
    lbAdr->setGeometry(8, 160, 80, 20);
    edAdresOut_ = new QLineEdit(buttons);
    edAdresOut_->setObjectName("edAdresOut");
    edAdresOut_->setReadOnly(true);
    edAdresOut_->setGeometry(90, 160, 100, 22);
    lbData_ = new QLabel("Data Out", buttons);
    lbData_->setObjectName("lbData");
    lbData_->setGeometry(8, 188, 80, 20);
    edDataOut_ = new QLineEdit(buttons);
    edDataOut_->setObjectName("edDataOut");
    edDataOut_->setReadOnly(true);
    edDataOut_->setGeometry(90, 188, 100, 22);

    auto* serial = new QGroupBox(this);
    serial->setGeometry(266, 260, 272, 100);
    auto* lbSerial = new QLabel("Serial In (/Busy Pin11 )", serial);
    lbSerial->setGeometry(8, 10, 170, 20);
    edSerialin_ = new QLineEdit(serial);
    edSerialin_->setObjectName("edSerialin");
    edSerialin_->setReadOnly(true);
    edSerialin_->setGeometry(180, 10, 40, 22);
    cbSerialOut_ = new QCheckBox("Serial Out (D0 Pin2)", serial);
    cbSerialOut_->setObjectName("cbSerialOut");
    cbSerialOut_->setGeometry(8, 40, 200, 22);
    connect(cbSerialOut_, &QCheckBox::clicked, this, [this] { cbSerialOutClick(); });
}

QString TestHwPage::addressText() const {
    return edAdresOut_->text();
}
QString TestHwPage::dataText() const {
    return edDataOut_->text();
}
QString TestHwPage::dataLabel() const {
    return lbData_->text();
}
QString TestHwPage::serialInText() const {
    return edSerialin_->text();
}

void TestHwPage::setAddressBoxes(uint32_t value) {
    for (size_t k = 0; k < kAddressPins.size(); ++k)
        pins_[kAddressPins[k]]->setChecked((value >> k) & 1);
}

void TestHwPage::setDataBoxes(uint8_t value) {
    for (size_t k = 0; k < kDataPins.size(); ++k) pins_[kDataPins[k]]->setChecked((value >> k) & 1);
}

void TestHwPage::btnA0A18Click(int tag) {
    static constexpr uint32_t kAddress[5] = {0, 0x00000, 0x2AAAA, 0x55555, 0x7FFFF};
    static constexpr uint8_t kData[9] = {0, 0, 0, 0, 0, 0x00, 0xAA, 0x55, 0xFF};
    if (tag >= 1 && tag <= 4) {
        setAddressBoxes(kAddress[tag]);
    } else if (tag >= 5 && tag <= 8) {
        setDataBoxes(kData[tag]);
        pins_[24]->setChecked(true);
    } else if (tag == 9) {
        setAddressBoxes(0);
        setDataBoxes(0);
        pins_[24]->setChecked(true);
        for (int pin : {1, 24, 31, 32}) pins_[pin]->setChecked(false);
    } else if (tag == 10) {
        pins_[24]->setChecked(false);
    }
    RefreshTestPins();
}

void TestHwPage::RefreshTestPins() {
    ++refreshes_;
    Bus& bus = ctx_.bus;
    uint32_t address = 0;
    for (size_t k = 0; k < kAddressPins.size(); ++k)
        if (pins_[kAddressPins[k]]->isChecked()) address |= 1u << k;

    bus.PortOut(bus.DataPort, 0);  // a literal 0: the data shadow keeps its lines
    bus.Drive(Line::DataOutLine, 0);
    // A fixed 19-bit shift, whatever device is selected; bit 18 has no box and is always 0.
    for (int bit = 18; bit >= 0; --bit) {
        bus.Drive(Line::ShiftData, (address >> bit) & 1);
        bus.Drive(Line::ShiftClock, 1);
        bus.Drive(Line::ShiftClock, 0);
    }
    bus.Drive(Line::DataOutLine, 0);
    edAdresOut_->setText(QString::fromStdString(Format(" 0x%05X", address)));

    uint8_t byte = 0;
    const bool dataOut = pins_[24]->isChecked();
    for (int pin : kDataPins) pins_[pin]->setEnabled(dataOut);
    if (dataOut) {
        bus.Drive(Line::DataOutLine, 1);
        for (size_t k = 0; k < kDataPins.size(); ++k)
            if (pins_[kDataPins[k]]->isChecked()) byte = uint8_t(byte | (1u << k));
        bus.Drive(Line::DataOutLine, 1);
        bus.PutData(byte, 0);
        lbData_->setText("Data Out");
    } else {
        bus.Drive(Line::DataOutLine, 0);
        lbData_->setText("Data In");
        byte = bus.ReadDataByte();
    }
    edDataOut_->setText(QString::fromStdString(Format(" 0x%02X", byte)));

    bus.Drive(Line::VppLine, pins_[1]->isChecked() ? 0 : 1);
    bus.Drive(Line::StrobeLine, pins_[31]->isChecked() ? 0 : 1);
    bus.Drive(Line::VccLine, pins_[32]->isChecked() ? 1 : 0);
    const uint8_t status = bus.ReadStatus();
    edSerialin_->setText((status & Bits::BusyIn) == 0 ? "1" : "0");
}

void TestHwPage::cbSerialOutClick() {
    Bus& bus = ctx_.bus;
    pins_[32]->setChecked(true);
    pins_[24]->setChecked(true);
    bus.Drive(Line::VccLine, 1);
    bus.Delay(1000);
    const bool level = cbSerialOut_->isChecked();
    pins_[13]->setChecked(level);
    bus.Drive(Line::ShiftClock, level);
    bus.Delay(100);
    RefreshTestPins();
}

}  // namespace tavrin::ui
