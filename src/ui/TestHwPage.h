#pragma once
// The "Test H/W" page: one check box per socket pin, pattern buttons, and the read-outs. Every
// change of a box recomputes the whole output state and writes it to the board.

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {
struct Context;
}

namespace tavrin::ui {

class TestHwPage : public QWidget {
    Q_OBJECT
  public:
    TestHwPage(Context& ctx, QWidget* parent = nullptr);

    QCheckBox* pin(int socketPin) const { return pins_[socketPin]; }
    QCheckBox* serialOut() const { return cbSerialOut_; }
    QPushButton* button(int tag) const { return buttons_[tag]; }
    QString addressText() const;
    QString dataText() const;
    QString dataLabel() const;
    QString serialInText() const;
    int refreshes() const { return refreshes_; }

    void RefreshTestPins();
    void btnA0A18Click(int tag);
    void cbSerialOutClick();

  private:
    void setAddressBoxes(uint32_t value);
    void setDataBoxes(uint8_t value);

    Context& ctx_;
    std::array<QCheckBox*, 33> pins_{};  // by socket pin number, 1..32
    std::array<QPushButton*, 11> buttons_{};
    QCheckBox* cbSerialOut_ = nullptr;
    QLineEdit* edAdresOut_ = nullptr;
    QLineEdit* edDataOut_ = nullptr;
    QLabel* lbData_ = nullptr;
    QLineEdit* edSerialin_ = nullptr;
    int refreshes_ = 0;
};

// Socket pins of the address bits 0..17 and the data bits 0..7.
inline constexpr std::array<int, 18> kAddressPins = {12, 11, 10, 9, 8,  7,  6, 5, 27,
                                                     26, 23, 25, 4, 28, 29, 3, 2, 30};
inline constexpr std::array<int, 8> kDataPins = {13, 14, 15, 17, 18, 19, 20, 21};

}  // namespace tavrin::ui
