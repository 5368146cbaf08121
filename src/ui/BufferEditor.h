#pragma once
// Editing the image in the grids of the Buffer page: typing into hex and Ascii cells, go to
// address, fill, find and find again, undo and redo, from each grid's context menu and its own
// keys. The grids stay a view: every change goes through BufferEdit, and the window refreshes
// (checksum included) on edited().

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "buffer/BufferEdit.h"
#include "core/Context.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QModelIndex;

namespace tavrin::ui {

class BufferGridModel;

class BufferEditor : public QObject {
    Q_OBJECT
  public:
    enum class Tool { GoTo, Fill, Find };

    // Hooks both grids and puts the tool bar of go to / fill / find below them on `page`.
    BufferEditor(Context& ctx, QWidget* page, QTableView* hexGrid, BufferGridModel* hexModel,
                 QTableView* progGrid, BufferGridModel* progModel);
    ~BufferEditor() override;

    // The status-bar mark: "Modified" while the image differs from the one loaded or read.
    QLabel* modifiedMark() const { return mark_; }
    bool modified() const;

    // A load or a read replaced the image: no mark, nothing to undo.
    void imageReplaced();
    // The image went to a file as it stands.
    void imageSaved();
    // A whole-image command (clear, invert, swap) changed it: marked, and the steps before it no
    // longer apply.
    void imageChangedOutside();
    // Off while a routine owns the image.
    void setEditable(bool on);

    // The commands behind the keys and the tool bar, on one grid (addresses in its cells).
    bool goTo(QTableView* grid, uint32_t cell);
    int64_t fill(QTableView* grid, uint32_t first, uint32_t last, uint16_t value);
    // Searches from the cell after the current one; the hit becomes the current cell.
    std::optional<FindHit> findNext(QTableView* grid, const QString& pattern, bool text);
    // Undo and redo show the step's first cell in `grid` when it holds it.
    void undo(QTableView* grid = nullptr);
    void redo(QTableView* grid = nullptr);
    void showTool(QTableView* grid, Tool tool);

  signals:
    void edited();

  private:
    struct Side;
    Side& sideOf(QTableView* grid);
    EditArea areaOf(const Side& side) const;
    QModelIndex indexOf(const Side& side, uint32_t cell) const;
    bool editCell(Side& side, int gridRow, int column, const QString& text);
    bool editAscii(Side& side, int gridRow, const QString& text);
    void addActions(Side& side);
    void buildToolBar(QWidget* page);
    void runTool();
    void changed(int64_t bytes);
    void afterStep(QTableView* grid, uint32_t byte);
    void updateMark();

    Context& ctx_;
    BufferEdit edit_;
    std::unique_ptr<Side> hex_, prog_;
    Side* toolSide_ = nullptr;
    Tool tool_ = Tool::GoTo;
    bool editable_ = true;
    // Steps applied since the image was loaded; the clean point is where it matched the file
    // (-1: out of reach after an undo below it and a new edit).
    int64_t position_ = 0;
    int64_t clean_ = 0;
    bool changedOutside_ = false;

    QObject* keys_ = nullptr;  // keeps the window's command keys in the editor's boxes
    QLabel* mark_ = nullptr;
    QWidget* toolBar_ = nullptr;
    QLabel* lbTool_ = nullptr;
    QLineEdit* edFrom_ = nullptr;
    QLabel* lbTo_ = nullptr;
    QLineEdit* edTo_ = nullptr;
    QLabel* lbValue_ = nullptr;
    QLineEdit* edValue_ = nullptr;
    QLineEdit* edFind_ = nullptr;
    QComboBox* cbFindKind_ = nullptr;
    QPushButton* btnRun_ = nullptr;
    QLabel* lbResult_ = nullptr;
};

}  // namespace tavrin::ui
