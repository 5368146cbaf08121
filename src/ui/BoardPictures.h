#pragma once
// The pictures of the board drawn with QPainter: one DIP-switch or jumper image, the number strips
// under the switch block and the socket picture that shows how to seat the selected part.

#include <QWidget>

namespace tavrin::ui {

// One place of the switch block, showing one of the six images of 16 x 32 pixels: 0 empty, 1 lever
// up, 2 lever down, 3, 4 and 5 the jumper positions.
class DipImage : public QWidget {
    Q_OBJECT
  public:
    explicit DipImage(QWidget* parent = nullptr);
    void setImage(int image);
    int image() const { return image_; }
    // A red frame: the place differs from the setting the user last confirmed.
    void setMarked(bool marked);
    bool marked() const { return marked_; }
    QSize sizeHint() const override { return {16, 32}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    int image_ = 0;
    bool marked_ = false;
};

void PaintDipImage(QPainter& painter, const QRect& rect, int image);

// The switch numbers under the block: 1 to 12 from the left, or 12 to 1 for the older board.
class NumberStrip : public QWidget {
    Q_OBJECT
  public:
    NumberStrip(bool ascending, int pitch, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    bool ascending_;
    int pitch_;
};

// The socket picture of a package, named like the image it stands for ("imgZIF28", "img2716"...);
// an empty name shows nothing.
class SocketPicture : public QWidget {
    Q_OBJECT
  public:
    explicit SocketPicture(QWidget* parent = nullptr);
    void setPicture(const QString& name);
    const QString& picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString picture_;
};

}  // namespace tavrin::ui
