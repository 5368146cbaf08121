#pragma once
// A table model over the device image that formats each cell when the view asks for it, so that a
// 4 MB image costs nothing until rows scroll into view. Grid row 0 (the header row) becomes the
// horizontal header; model row r is grid row r + 1.

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>

namespace tavrin::ui {

class BufferGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The text of one cell by grid row (1 and up) and column; empty draws nothing.
    using CellText = std::function<QString(int gridRow, int column)>;

    BufferGridModel(QStringList headers, QObject* parent = nullptr);

    void setCellText(CellText cellText) { cellText_ = std::move(cellText); }
    // Marks of cells by grid row and column: 0 none, 1 marked, 2 the current mark.
    using CellMark = std::function<int(int gridRow, int column)>;
    void setCellMark(CellMark cellMark) { cellMark_ = std::move(cellMark); }
    // Takes the text typed into a cell; false refuses it. Without one the grid is read-only.
    using CellEdit = std::function<bool(int gridRow, int column, const QString& text)>;
    void setCellEdit(CellEdit cellEdit) { cellEdit_ = std::move(cellEdit); }
    // Rows of the grid, the header row included.
    void setGridRows(int rows);
    int gridRows() const { return rows_ + 1; }
    void setHeader(int column, const QString& text);
    QString header(int column) const { return headers_.value(column); }
    // Repaints what is visible after the image changed.
    void imageChanged();
    long long cellRequests() const { return requests_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    QStringList headers_;
    int rows_ = 0;
    CellText cellText_;
    CellMark cellMark_;
    CellEdit cellEdit_;
    mutable long long requests_ = 0;
};

// Draws a cell's text at its left + 1 and top + 1, unpadded, so that two hex digits fit a column
// of 16 pixels.
class GridCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace tavrin::ui
