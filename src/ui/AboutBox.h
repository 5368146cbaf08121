#pragma once
// The About box: two pictures, a read-only text and an OK button.

#include <QDialog>

namespace tavrin::ui {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    AboutBox(QWidget* parent, const QString& portName);
};

}  // namespace tavrin::ui
