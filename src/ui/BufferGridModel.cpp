#include "ui/BufferGridModel.h"

#include <QColor>
#include <QPainter>

namespace tavrin::ui {

BufferGridModel::BufferGridModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void BufferGridModel::setGridRows(int rows) {
    const int dataRows = std::max(0, rows - 1);
    if (dataRows == rows_) return;
    beginResetModel();
    rows_ = dataRows;
    endResetModel();
}

void BufferGridModel::setHeader(int column, const QString& text) {
    if (column < 0 || column >= headers_.size() || headers_[column] == text) return;
    headers_[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void BufferGridModel::imageChanged() {
    if (rows_ == 0) return;
    emit dataChanged(index(0, 0), index(rows_ - 1, int(headers_.size()) - 1),
                     {Qt::DisplayRole, Qt::BackgroundRole});
}

int BufferGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int BufferGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(headers_.size());
}

QVariant BufferGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::BackgroundRole && index.isValid() && cellMark_) {
        const int mark = cellMark_(index.row() + 1, index.column());
        if (mark == 1) return QColor(255, 200, 200);
        if (mark == 2) return QColor(220, 0, 0);
        return {};
    }
    if (role != Qt::DisplayRole || !index.isValid() || !cellText_) return {};
    ++requests_;
    const QString text = cellText_(index.row() + 1, index.column());
    if (text.isEmpty()) return {};
    return text;
}

QVariant BufferGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return headers_.value(section);
}

Qt::ItemFlags BufferGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // The address column never edits; empty cells refuse in setData.
    if (cellEdit_ && index.isValid() && index.column() > 0) f |= Qt::ItemIsEditable;
    return f;
}

bool BufferGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !cellEdit_) return false;
    return cellEdit_(index.row() + 1, index.column(), value.toString());
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QVariant text = index.data(Qt::DisplayRole);
    if (!text.isValid()) return;
    // A point-placed text needs no layout pass, which keeps a page of cells cheap to paint.
    painter->save();
    painter->setClipRect(option.rect);
    const QVariant mark = index.data(Qt::BackgroundRole);
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
    else if (mark.isValid())
        painter->fillRect(option.rect, mark.value<QColor>());
    painter->setFont(option.font);
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                    : mark.isValid() && mark.value<QColor>().lightness() < 128
                        ? QColor(Qt::white)
                        : option.palette.color(QPalette::Text));
    painter->drawText(
        QPoint(option.rect.left() + 1, option.rect.top() + 1 + option.fontMetrics.ascent()),
        text.toString());
    painter->restore();
}

}  // namespace tavrin::ui
