#include "ui/BoardPictures.h"

#include <QPainter>

namespace tavrin::ui {

DipImage::DipImage(QWidget* parent) : QWidget(parent) {
    setFixedSize(16, 32);
}

void DipImage::setImage(int image) {
    if (image == image_) return;
    image_ = image;
    update();
}

void DipImage::setMarked(bool marked) {
    if (marked == marked_) return;
    marked_ = marked;
    update();
}

void DipImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintDipImage(painter, rect(), image_);
    if (marked_) {
        painter.setPen(QPen(QColor(220, 0, 0), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void PaintDipImage(QPainter& painter, const QRect& r, int image) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (image == 1 || image == 2) {
        // Switch housing, the slot, and the lever at the top (1) or the bottom (2) of the slot.
        const QRect body = r.adjusted(1, 0, -2, -1);
        painter.setPen(QColor(30, 30, 30));
        painter.setBrush(QColor(40, 90, 200));
        painter.drawRect(body);
        const QRect slot = body.adjusted(3, 3, -3, -3);
        painter.setBrush(QColor(45, 45, 55));
        painter.drawRect(slot);
        const int h = slot.height() / 2;
        const QRect lever = image == 1
                                ? QRect(slot.left(), slot.top(), slot.width() + 1, h)
                                : QRect(slot.left(), slot.bottom() - h + 1, slot.width() + 1, h);
        painter.fillRect(lever, QColor(250, 250, 250));
    } else if (image >= 3 && image <= 5) {
        // Four header pins; the cap joins the pair of the jumper position (3 top, 5 bottom).
        const int pitch = (r.height() - 4) / 4;
        const int cx = r.center().x();
        painter.setPen(Qt::NoPen);
        const int first = image - 3;
        painter.setBrush(QColor(20, 20, 20));
        painter.drawRect(QRect(cx - 6, r.top() + 2 + first * pitch, 12, 2 * pitch));
        for (int i = 0; i < 4; ++i) {
            const QRect pin(cx - 2, r.top() + 2 + i * pitch + pitch / 2 - 2, 4, 4);
            painter.setBrush(QColor(210, 170, 40));
            painter.drawRect(pin);
        }
    }
    painter.restore();
}

NumberStrip::NumberStrip(bool ascending, int pitch, QWidget* parent)
    : QWidget(parent), ascending_(ascending), pitch_(pitch) {
    setFixedSize(pitch * 12, 14);
}

void NumberStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setPointSize(7);
    painter.setFont(f);
    for (int i = 0; i < 12; ++i) {
        const int number = ascending_ ? i + 1 : 12 - i;
        painter.drawText(QRect(i * pitch_, 0, pitch_, height()), Qt::AlignCenter,
                         QString::number(number));
    }
}

SocketPicture::SocketPicture(QWidget* parent) : QWidget(parent) {}

void SocketPicture::setPicture(const QString& name) {
    picture_ = name;
    setVisible(!name.isEmpty());
    update();
}

namespace {

struct Seat {
    int pins;       // pins of the part (0: a drawing of its own)
    QString label;  // printed on the part
    QString note;   // printed under the socket
};

Seat seatFor(const QString& name) {
    const bool older = name.startsWith("imgW");
    const QString board = older ? "Tavrin board" : "PCB3 board";
    if (name == "imgZIF32") return {32, "32 pin", "Pin 1 at the lever"};
    if (name == "imgZIF28") return {28, "28 pin", "Pin 1 at socket pin 3"};
    if (name == "img2716") return {24, "2716", "Pin 1 at socket pin 5"};
    if (name == "img2732") return {24, "2732", "Pin 1 at socket pin 5"};
    if (name == "img2816") return {24, "2816/6116", "Pin 1 at socket pin 5"};
    if (name == "img28F001") return {32, "28F001BX-T", "Wire A16 as noted"};
    if (name == "img29C256") return {28, "AT29C256", "PCB3 board wiring"};
    if (name == "img2051") return {20, "89Cx051", "Pin 1 at socket pin 7"};
    if (name == "img2313") return {20, "AVR 20 pin", "Pin 1 at socket pin 7"};
    if (name.endsWith("16F84")) return {18, "PIC 18 pin", board};
    if (name.endsWith("12C508")) return {8, "PIC 8 pin", board};
    if (name.endsWith("25C640")) return {8, "25Cxxx", board};
    if (name.endsWith("93C46")) return {8, "93Cxx", board};
    if (name.endsWith("24C16")) return {8, "24Cxxx", board};
    if (name == "img8051") return {0, "8051 40 pin", "Use the 40 pin adapter"};
    if (name == "imgTSOP48") return {0, "TSOP 48", "Use the TSOP48 adapter"};
    if (name == "imgICSP") return {0, "ICSP", "In-circuit: VPP, VCC, GND, DATA, CLK"};
    return {0, name, {}};
}

}  // namespace

void SocketPicture::paintEvent(QPaintEvent*) {
    if (picture_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const Seat seat = seatFor(picture_);
    const int rows = 16;
    const int pitch = std::max(5, (height() - 40) / rows);
    const int socketW = 60, socketH = rows * pitch + 12;
    const int sx = (width() - socketW) / 2, sy = 16;

    // ZIF socket with its lever at the top left.
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(60, 160, 80));
    p.drawRoundedRect(QRect(sx, sy, socketW, socketH), 3, 3);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRect(sx - 8, sy - 12, 6, socketH / 2));
    for (int i = 0; i < rows; ++i) {
        const int y = sy + 6 + i * pitch + pitch / 2 - 2;
        p.setBrush(QColor(20, 20, 20));
        p.drawRect(QRect(sx + 5, y, 5, 4));
        p.drawRect(QRect(sx + socketW - 10, y, 5, 4));
    }

    if (seat.pins > 0) {
        // The part sits at the end away from the lever: its last row is the socket's last row.
        const int partRows = seat.pins / 2;
        const int top = sy + 6 + (rows - partRows) * pitch;
        const QRect body(sx + 12, top, socketW - 24, partRows * pitch - 1);
        p.setBrush(QColor(30, 30, 30));
        p.drawRect(body);
        p.setBrush(QColor(230, 230, 230));
        p.drawEllipse(QPoint(body.center().x(), body.top() + 3), 3, 3);
        p.setPen(Qt::white);
        QFont f = font();
        f.setPointSize(7);
        p.setFont(f);
        p.save();
        p.translate(body.center());
        p.rotate(90);
        p.drawText(QRect(-body.height() / 2, -body.width() / 2, body.height(), body.width()),
                   Qt::AlignCenter, seat.label);
        p.restore();
    } else {
        // An adapter board or connector drawn over the socket.
        const QRect board(sx - 14, sy + 10, socketW + 28, socketH - 20);
        p.setBrush(QColor(170, 120, 40));
        p.drawRect(board);
        p.setPen(Qt::white);
        p.drawText(board, Qt::AlignCenter | Qt::TextWordWrap, seat.label);
    }
    p.setPen(palette().color(QPalette::WindowText));
    QFont f = font();
    f.setPointSize(7);
    p.setFont(f);
    p.drawText(QRect(0, sy + socketH + 2, width(), height() - sy - socketH - 2),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, seat.note);
}

}  // namespace tavrin::ui
