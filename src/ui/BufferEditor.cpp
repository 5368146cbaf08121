#include "ui/BufferEditor.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "buffer/GridLayout.h"
#include "ui/BufferGridModel.h"

namespace tavrin::ui {

namespace {

// The window's command keys keep their meaning in the boxes of the editor: a line edit would
// otherwise claim Ctrl+C, Ctrl+X and the like for the clipboard.
class KeepWindowKeys : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            static const QString letters = "LSXRPCBEI";
            if (key->modifiers() == Qt::ControlModifier && key->key() >= Qt::Key_A &&
                key->key() <= Qt::Key_Z && letters.contains(QChar(key->key())))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// A cell editor that types over the characters, as a hex editor does. The Ascii column starts
// at its first character rather than with everything selected.
class CellLineEdit : public QLineEdit {
  public:
    CellLineEdit(QWidget* parent, bool ascii, QObject* keys) : QLineEdit(parent), ascii_(ascii) {
        setFrame(false);
        setTextMargins(0, 0, 0, 0);
        setContentsMargins(0, 0, 0, 0);
        installEventFilter(keys);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (std::exchange(fresh_, false) && ascii_) {
            deselect();
            setCursorPosition(0);
        }
        const QString t = e->text();
        if (!t.isEmpty() && t[0].isPrint() && !hasSelectedText() &&
            cursorPosition() < text().size())
            setSelection(cursorPosition(), 1);
        QLineEdit::keyPressEvent(e);
    }

  private:
    bool ascii_;
    bool fresh_ = true;
};

class GridEditDelegate : public GridCellDelegate {
  public:
    GridEditDelegate(QObject* parent, int asciiColumn, QObject* keys)
        : GridCellDelegate(parent), asciiColumn_(asciiColumn), keys_(keys) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty() || index.column() == 0) return nullptr;
        const bool ascii = index.column() == asciiColumn_;
        auto* editor = new CellLineEdit(parent, ascii, keys_);
        editor->setFont(option.font);
        editor->setMaxLength(int(text.size()));
        if (!ascii)
            editor->setValidator(
                new QRegularExpressionValidator(QRegularExpression("[0-9a-fA-F]*"), editor));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::DisplayRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

  private:
    int asciiColumn_;
    QObject* keys_;
};

QString address(uint32_t a) {
    return QString("$%1").arg(a, 6, 16, QChar('0'));
}

}  // namespace

struct BufferEditor::Side {
    QTableView* view = nullptr;
    BufferGridModel* model = nullptr;
    bool words = false;  // the word grid: 8 cells a row
    int perRow() const { return words ? 8 : 16; }
    int asciiColumn() const { return perRow() + 1; }
    QList<QAction*> changing;  // off while a routine runs
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

BufferEditor::BufferEditor(Context& ctx, QWidget* page, QTableView* hexGrid,
                           BufferGridModel* hexModel, QTableView* progGrid,
                           BufferGridModel* progModel)
    : QObject(page), ctx_(ctx), edit_(ctx.Buffer), keys_(new KeepWindowKeys(this)) {
    hex_ = std::make_unique<Side>(Side{hexGrid, hexModel, false, {}});
    prog_ = std::make_unique<Side>(Side{progGrid, progModel, true, {}});
    for (Side* side : {hex_.get(), prog_.get()}) {
        QTableView* view = side->view;
        QAbstractItemDelegate* old = view->itemDelegate();
        auto* delegate = new GridEditDelegate(view, side->asciiColumn(), keys_);
        view->setItemDelegate(delegate);
        if (old && old->parent() == view) old->deleteLater();
        view->setSelectionMode(QAbstractItemView::ContiguousSelection);
        view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
        side->model->setCellEdit([this, side](int row, int column, const QString& text) {
            return editCell(*side, row, column, text);
        });
        // Enter in a hex cell moves on to the next one, so that a run of bytes types in a row.
        connect(delegate, &QAbstractItemDelegate::closeEditor, this,
                [side](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                    const QModelIndex at = side->view->currentIndex();
                    if (hint != QAbstractItemDelegate::SubmitModelCache || !at.isValid() ||
                        at.column() < 1 || at.column() >= side->asciiColumn())
                        return;
                    const int next = at.row() * side->perRow() + at.column();  // cell + 1
                    const QModelIndex to =
                        side->model->index(next / side->perRow(), next % side->perRow() + 1);
                    if (to.isValid() && to.data().isValid()) side->view->setCurrentIndex(to);
                });
        addActions(*side);
    }
    mark_ = new QLabel;
    mark_->setObjectName("lbModified");
    mark_->setToolTip("The buffer was changed since it was loaded, read or saved");
    buildToolBar(page);
    updateMark();
}

BufferEditor::~BufferEditor() {
    hex_->model->setCellEdit(nullptr);
    prog_->model->setCellEdit(nullptr);
}

BufferEditor::Side& BufferEditor::sideOf(QTableView* grid) {
    return grid == prog_->view ? *prog_ : *hex_;
}

EditArea BufferEditor::areaOf(const Side& side) const {
    const DeviceProfile& p = ctx_.profile;
    if (!side.words) {
        const HexWindow w = HexGridWindow(p);
        return {w.base, w.limit, w.lowBytesOfWords ? 2u : 1u, 1, 0xFF};
    }
    const uint32_t size = uint32_t(std::max(0, p.bufferSize));
    // PIC words hold 14 bits, as a load leaves them; the AVR flash is bytes shown as words.
    if (p.PIC) return {0, size, 2, 2, 0x3FFF};
    if (p.eep == 14) return {0, size / 2, 2, 2, 0xFFFF};
    return {};
}

QModelIndex BufferEditor::indexOf(const Side& side, uint32_t cell) const {
    return side.model->index(int(cell / uint32_t(side.perRow())),
                             int(cell % uint32_t(side.perRow())) + 1);
}

bool BufferEditor::editCell(Side& side, int gridRow, int column, const QString& text) {
    if (!editable_ || gridRow < 1 || column < 1) return false;
    if (column == side.asciiColumn()) return editAscii(side, gridRow, text);
    const EditArea area = areaOf(side);
    const uint32_t cell = uint32_t(gridRow - 1) * uint32_t(side.perRow()) + uint32_t(column - 1);
    const auto value = ParseHexNumber(text.toStdString());
    if (text.trimmed().isEmpty() || !value || *value > (area.width == 2 ? 0xFFFFu : 0xFFu))
        return false;
    const uint16_t v = uint16_t(*value);
    const int64_t n = edit_.write(area, cell, std::span<const uint16_t>(&v, 1));
    changed(n);
    return n >= 0;
}

bool BufferEditor::editAscii(Side& side, int gridRow, const QString& text) {
    // The Ascii column of the word grid shows, for a PIC, a blank and the low byte of each word;
    // for the AVR flash each byte of the row.
    EditArea area = areaOf(side);
    int offset = 0, perRow = 16;
    bool lowByte = false;
    if (side.words && ctx_.profile.PIC) {
        offset = 1, perRow = 8, lowByte = true;
    } else if (side.words) {
        area = {0, uint32_t(std::max(0, ctx_.profile.bufferSize)), 1, 1, 0xFF};
    }
    const QString old = side.model->index(gridRow - 1, side.asciiColumn()).data().toString();
    const int n = int(std::min(old.size(), text.size()));
    int first = -1, last = -1;
    for (int i = offset; i < n; ++i) {
        if (text[i] == old[i]) continue;
        if (text[i].unicode() > 0xFF) return false;
        if (first < 0) first = i;
        last = i;
    }
    if (first < 0) return true;
    const uint32_t rowCell = uint32_t(gridRow - 1) * uint32_t(perRow);
    std::vector<uint16_t> values;
    for (int i = first; i <= last; ++i) {
        const uint32_t cell = rowCell + uint32_t(i - offset);
        const auto cur = CellValue(ctx_.Buffer, area, cell);
        if (!cur) return false;
        const uint16_t ch = text[i].unicode();
        values.push_back(text[i] == old[i] ? *cur : lowByte ? uint16_t((*cur & 0xFF00) | ch) : ch);
    }
    const int64_t changedBytes = edit_.write(area, rowCell + uint32_t(first - offset), values);
    changed(changedBytes);
    return changedBytes >= 0;
}

void BufferEditor::changed(int64_t bytes) {
    if (bytes <= 0) return;
    if (clean_ > position_) clean_ = -1;  // the clean image can no longer be redone to
    ++position_;
    updateMark();
    emit edited();
}

bool BufferEditor::modified() const {
    return changedOutside_ || position_ != clean_;
}

void BufferEditor::updateMark() {
    mark_->setText(modified() ? "Modified" : "");
    for (Side* side : {hex_.get(), prog_.get()}) {
        side->undo->setEnabled(editable_ && edit_.canUndo());
        side->redo->setEnabled(editable_ && edit_.canRedo());
    }
}

void BufferEditor::imageReplaced() {
    edit_.clearHistory();
    position_ = clean_ = 0;
    changedOutside_ = false;
    updateMark();
}

void BufferEditor::imageSaved() {
    clean_ = position_;
    changedOutside_ = false;
    updateMark();
}

void BufferEditor::imageChangedOutside() {
    edit_.clearHistory();
    position_ = clean_ = 0;
    changedOutside_ = true;
    updateMark();
}

void BufferEditor::setEditable(bool on) {
    editable_ = on;
    for (Side* side : {hex_.get(), prog_.get()}) {
        for (QAction* a : side->changing) a->setEnabled(on);
        side->view->setEditTriggers(on ? QAbstractItemView::DoubleClicked |
                                             QAbstractItemView::EditKeyPressed |
                                             QAbstractItemView::AnyKeyPressed
                                       : QAbstractItemView::NoEditTriggers);
    }
    updateMark();
}

void BufferEditor::undo(QTableView* grid) {
    if (!editable_) return;
    const auto at = edit_.undo();
    if (!at) return;
    --position_;
    afterStep(grid, *at);
}

void BufferEditor::redo(QTableView* grid) {
    if (!editable_) return;
    const auto at = edit_.redo();
    if (!at) return;
    ++position_;
    afterStep(grid, *at);
}

void BufferEditor::afterStep(QTableView* grid, uint32_t byte) {
    updateMark();
    emit edited();
    // The grid shows where the step was, when the byte is one of its cells.
    if (!grid) return;
    const EditArea area = areaOf(sideOf(grid));
    if (byte < area.base || (byte - area.base) % area.stride >= area.width) return;
    goTo(grid, (byte - area.base) / area.stride);
}

bool BufferEditor::goTo(QTableView* grid, uint32_t cell) {
    Side& side = sideOf(grid);
    if (cell >= areaOf(side).cells) return false;
    const QModelIndex at = indexOf(side, cell);
    side.view->scrollTo(at, QAbstractItemView::PositionAtCenter);
    side.view->setCurrentIndex(at);
    return true;
}

int64_t BufferEditor::fill(QTableView* grid, uint32_t first, uint32_t last, uint16_t value) {
    if (!editable_) return -1;
    const int64_t n = edit_.fill(areaOf(sideOf(grid)), first, last, value);
    changed(n);
    return n;
}

std::optional<FindHit> BufferEditor::findNext(QTableView* grid, const QString& pattern, bool text) {
    Side& side = sideOf(grid);
    EditArea area = areaOf(side);
    uint16_t compare = area.mask;
    uint32_t unitsPerCell = 1;  // the AVR flash searches text byte by byte
    std::vector<uint16_t> values;
    if (text) {
        for (QChar c : pattern) {
            if (c.unicode() > 0xFF) return std::nullopt;
            values.push_back(c.unicode());
        }
        if (side.words && ctx_.profile.PIC) {
            compare = 0x00FF;
        } else if (side.words) {
            area = {0, uint32_t(std::max(0, ctx_.profile.bufferSize)), 1, 1, 0xFF};
            compare = 0xFF, unitsPerCell = 2;
        }
    } else {
        auto cells = ParseHexCells(pattern.toStdString(), area.width);
        if (!cells) return std::nullopt;
        values = std::move(*cells);
    }
    const QModelIndex at = side.view->currentIndex();
    uint32_t from = 0;
    if (at.isValid() && at.column() >= 1 && at.column() < side.asciiColumn())
        from =
            (uint32_t(at.row()) * uint32_t(side.perRow()) + uint32_t(at.column())) * unitsPerCell;
    else if (at.isValid())
        from = uint32_t(at.row()) * uint32_t(side.perRow()) * unitsPerCell;
    auto hit = FindCells(ctx_.Buffer, area, values, from, compare);
    if (!hit) return std::nullopt;
    hit->cell /= unitsPerCell;
    goTo(grid, hit->cell);
    // The whole match is selected, the first cell current.
    const uint32_t cells = std::max<uint32_t>(1, uint32_t(values.size()) / unitsPerCell);
    QItemSelection selection;
    for (uint32_t i = 0; i < std::min<uint32_t>(cells, 256); ++i) {
        const QModelIndex c = indexOf(side, hit->cell + i);
        selection.select(c, c);
    }
    side.view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    return hit;
}

void BufferEditor::addActions(Side& side) {
    QTableView* view = side.view;
    auto add = [&](const QString& text, const char* name, QList<QKeySequence> keys, auto handler) {
        auto* a = new QAction(text, view);
        a->setObjectName(name);
        a->setShortcuts(keys);
        // The keys belong to the grid: the window's own keys and menus stay as they are.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, handler);
        view->addAction(a);
        return a;
    };
    side.undo = add("Undo", "gridUndo", {QKeySequence("Ctrl+Z")}, [this, view] { undo(view); });
    side.redo = add("Redo", "gridRedo", {QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")},
                    [this, view] { redo(view); });
    auto* separator = new QAction(view);
    separator->setSeparator(true);
    view->addAction(separator);
    add("Go to address...", "gridGoTo", {QKeySequence("Ctrl+G")},
        [this, view] { showTool(view, Tool::GoTo); });
    QAction* fill = add("Fill range...", "gridFill", {QKeySequence("Ctrl+D")},
                        [this, view] { showTool(view, Tool::Fill); });
    add("Find...", "gridFind", {QKeySequence("Ctrl+F")},
        [this, view] { showTool(view, Tool::Find); });
    add("Find next", "gridFindNext", {QKeySequence("F3")}, [this, view] {
        if (edFind_->text().isEmpty()) return showTool(view, Tool::Find);
        toolSide_ = &sideOf(view);
        tool_ = Tool::Find;
        runTool();
    });
    side.changing = {fill};
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void BufferEditor::buildToolBar(QWidget* page) {
    toolBar_ = new QWidget(page);
    toolBar_->setObjectName("pBufferTool");
    auto* row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    auto box = [&](const char* name, int width) {
        auto* e = new QLineEdit;
        e->setObjectName(name);
        e->setFixedWidth(width);
        e->installEventFilter(keys_);
        connect(e, &QLineEdit::returnPressed, this, [this] { runTool(); });
        return e;
    };
    lbTool_ = new QLabel;
    edFrom_ = box("edToolFrom", 64);
    lbTo_ = new QLabel("to");
    edTo_ = box("edToolTo", 64);
    lbValue_ = new QLabel("value");
    edValue_ = box("edToolValue", 40);
    edFind_ = box("edToolFind", 120);
    cbFindKind_ = new QComboBox;
    cbFindKind_->setObjectName("cbToolFindKind");
    cbFindKind_->addItems({"Hex", "Text"});
    btnRun_ = new QPushButton;
    btnRun_->setObjectName("btnToolRun");
    connect(btnRun_, &QPushButton::clicked, this, [this] { runTool(); });
    lbResult_ = new QLabel;
    lbResult_->setObjectName("lbToolResult");
    auto* close = new QToolButton;
    close->setText("x");
    close->setToolTip("Close (Esc)");
    for (QWidget* w : std::initializer_list<QWidget*>{lbTool_, edFrom_, lbTo_, edTo_, lbValue_,
                                                      edValue_, edFind_, cbFindKind_, btnRun_})
        row->addWidget(w);
    row->addWidget(lbResult_, 1);
    row->addWidget(close);
    auto hide = [this] {
        toolBar_->hide();
        if (toolSide_) toolSide_->view->setFocus();
    };
    connect(close, &QToolButton::clicked, this, hide);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), toolBar_);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, hide);
    if (auto* layout = qobject_cast<QBoxLayout*>(page->layout())) layout->addWidget(toolBar_);
    toolBar_->hide();
}

void BufferEditor::showTool(QTableView* grid, Tool tool) {
    Side& side = sideOf(grid);
    toolSide_ = &side;
    tool_ = tool;
    const bool find = tool == Tool::Find, fill = tool == Tool::Fill;
    lbTool_->setText(find ? "Find" : fill ? "Fill from" : "Go to");
    edFrom_->setVisible(!find);
    lbTo_->setVisible(fill);
    edTo_->setVisible(fill);
    lbValue_->setVisible(fill);
    edValue_->setVisible(fill);
    edFind_->setVisible(find);
    cbFindKind_->setVisible(find);
    btnRun_->setText(find ? "Find next" : fill ? "Fill" : "Go");
    lbResult_->clear();
    // The fields start from where the user is: the current cell, or the selected range.
    const uint32_t perRow = uint32_t(side.perRow());
    auto cellOf = [&](int row, int column) {
        return uint32_t(row) * perRow + uint32_t(std::clamp(column, 1, int(perRow)) - 1);
    };
    const QModelIndex at = side.view->currentIndex();
    uint32_t lo = at.isValid() ? cellOf(at.row(), at.column()) : 0, hi = lo;
    const QItemSelection selection = side.view->selectionModel()->selection();
    if (!selection.isEmpty()) {
        lo = UINT32_MAX, hi = 0;
        for (const QItemSelectionRange& r : selection) {
            lo = std::min(lo, cellOf(r.top(), r.left()));
            hi = std::max(hi, cellOf(r.bottom(), r.right()));
        }
    }
    const EditArea area = areaOf(side);
    const int digits = area.width == 2 ? 4 : 2;
    edFrom_->setText(QString("%1").arg(lo, 4, 16, QChar('0')));
    edTo_->setText(QString("%1").arg(hi, 4, 16, QChar('0')));
    if (edValue_->text().isEmpty() || edValue_->text().size() != digits)
        edValue_->setText(QString("%1").arg(area.mask, digits, 16, QChar('0')));
    toolBar_->show();
    QLineEdit* focus = find ? edFind_ : edFrom_;
    focus->setFocus();
    focus->selectAll();
}

void BufferEditor::runTool() {
    if (!toolSide_) return;
    QTableView* grid = toolSide_->view;
    const EditArea area = areaOf(*toolSide_);
    auto number = [](QLineEdit* e) { return ParseHexNumber(e->text().toStdString()); };
    auto inArea = [&](std::optional<uint32_t> v) { return v && *v < area.cells; };
    QString result;
    if (tool_ == Tool::GoTo) {
        const auto cell = number(edFrom_);
        if (!inArea(cell)) {
            result = cell ? "Beyond the end of the buffer" : "Not a hex address";
        } else {
            goTo(grid, *cell);
            toolBar_->hide();
            grid->setFocus();
        }
    } else if (tool_ == Tool::Fill) {
        const auto first = number(edFrom_), last = number(edTo_), value = number(edValue_);
        if (!first || !last)
            result = "Not a hex address";
        else if (!inArea(first) || !inArea(last) || *first > *last)
            result = "Beyond the end of the buffer";
        else if (!value || *value > (area.width == 2 ? 0xFFFFu : 0xFFu))
            result = "Not a hex value";
        else if (fill(grid, *first, *last, uint16_t(*value)) < 0)
            result = "The buffer is in use";
        else
            result = QString("Filled %1 to %2").arg(address(*first), address(*last));
    } else {
        const bool text = cbFindKind_->currentIndex() == 1;
        if (!text && !ParseHexCells(edFind_->text().toStdString(), area.width)) {
            result = "Not hex bytes";
        } else if (const auto hit = findNext(grid, edFind_->text(), text)) {
            result = QString("Found at %1").arg(address(hit->cell));
            if (hit->wrapped) result += " (from the start)";
        } else {
            result = "Not found";
        }
    }
    lbResult_->setText(result);
    if (!result.isEmpty() && toolBar_->isHidden()) toolBar_->show();
}

}  // namespace tavrin::ui
