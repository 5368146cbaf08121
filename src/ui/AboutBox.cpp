#include "ui/AboutBox.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/BoardPictures.h"

namespace tavrin::ui {

namespace {

QPixmap boardPicture() {
    QPixmap pm(96, 96);
    pm.fill(QColor(0, 110, 60));
    QPainter p(&pm);
    p.setPen(QColor(230, 200, 90));
    for (int y = 10; y < 90; y += 8) p.drawLine(6, y, 20, y);
    for (int k = 0; k < 4; ++k) PaintDipImage(p, QRect(30 + 16 * k, 8, 16, 32), 1 + (k & 1));
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(34, 50, 52, 38);
    return pm;
}

QPixmap chipPicture() {
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(20, 8, 56, 80, 4, 4);
    p.setBrush(QColor(120, 60, 160));
    p.drawEllipse(QPoint(48, 36), 12, 12);
    p.setPen(QColor(180, 180, 180));
    for (int y = 14; y < 86; y += 8) {
        p.drawLine(12, y, 20, y);
        p.drawLine(76, y, 84, y);
    }
    return pm;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent, const QString& portName) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setFixedSize(360, 240);
    auto* left = new QLabel(this);
    left->setPixmap(boardPicture());
    left->setGeometry(12, 12, 96, 96);
    auto* right = new QLabel(this);
    right->setPixmap(chipPicture());
    right->setGeometry(12, 116, 96, 96);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName("memoAbout");
    text->setReadOnly(true);
    text->setGeometry(120, 12, 228, 180);
    text->setPlainText(
        QString("Tavrin Eprom Prog 0.95B\n\n"
                "Control program of the universal device programmer on the PC printer "
                "port: EPROMs, EEPROMs, flash, serial EEPROMs and microcontrollers.\n\n"
                "Port: %1")
            .arg(portName));
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnAboutOK");
    ok->setGeometry(272, 202, 76, 26);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavrin::ui
