// Device selection, buffer operations, file commands and ROM identification of the window.
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>

#include "buffer/BufferOperations.h"
#include "buffer/FileCommands.h"
#include "buffer/GridLayout.h"
#include "buffer/RomIdent.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"
#include "devices/DeviceLookup.h"
#include "devices/DipCheck.h"
#include "devices/DipPatterns.h"
#include "sim/ChipFactory.h"
#include "ui/BufferEditor.h"
#include "ui/BoardPictures.h"
#include "ui/BufferGridModel.h"
#include "ui/HalfChoice.h"
#include "ui/MainWindow.h"

namespace tavrin::ui {

namespace {

// Menu captions show '&' as a mnemonic mark; device captions mean the character itself.
QString menuText(const std::string& caption) {
    return QString::fromStdString(caption).replace("&", "&&");
}

// A dialog filter as Qt wants it: the label, with the patterns added in brackets when the label
// does not end with them already.
QString dialogFilter(const FileFilter& f) {
    const QString label = QString::fromLatin1(f.label);
    const QString patterns = QString::fromLatin1(f.pattern).replace(';', ' ');
    if (label.endsWith("(" + patterns + ")", Qt::CaseInsensitive)) return label;
    return label + " (" + patterns + ")";
}

// Sets the dialog's filters. Qt needs the patterns inside the filter text and tidies its blanks,
// so the type list is relabelled afterwards to show the labels exactly as written.
template <size_t N>
void setDialogFilters(QFileDialog& dialog, const std::array<FileFilter, N>& filters, int preset) {
    QStringList list;
    for (const FileFilter& f : filters) list << dialogFilter(f);
    dialog.setNameFilters(list);
    dialog.selectNameFilter(list[preset - 1]);
    if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo"))
        for (int i = 0; i < types->count() && i < int(N); ++i)
            types->setItemText(i, QString::fromLatin1(filters[i].label));
}

// The 1-based filter entry the user left the dialog on.
int chosenFilter(const QFileDialog& dialog) {
    if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo"))
        return types->currentIndex() + 1;
    return int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
}

}  // namespace

void TfrmEprom::buildDeviceMenu() {
    mnuDevice_ = new QMenu(this);
    mnuDevice_->setObjectName("mnuDevice");
    std::function<void(QMenu*, const MenuNode&)> fill = [&](QMenu* menu, const MenuNode& node) {
        for (const MenuNode& child : node.children) {
            switch (child.kind) {
                case MenuNode::Kind::Separator:
                    menu->addSeparator();
                    break;
                case MenuNode::Kind::Submenu: {
                    QMenu* sub = menu->addMenu(menuText(child.caption));
                    sub->setEnabled(child.enabled);
                    fill(sub, child);
                    break;
                }
                case MenuNode::Kind::Leaf: {
                    QAction* a = menu->addAction(menuText(child.caption));
                    a->setEnabled(child.enabled);
                    const DeviceEntry* entry = child.entry;
                    if (entry) a->setData(QString::fromStdString(entry->caption));
                    connect(a, &QAction::triggered, this, [this, entry] {
                        if (entry) selectEntry(*entry);
                    });
                    break;
                }
            }
        }
    };
    fill(mnuDevice_, DeviceMenu());
}

void TfrmEprom::selectEntry(const DeviceEntry& entry) {
    if (running_ || !entry.selectable) return;
    SelectDevice(ctx_, entry);
    afterSelection();
}

bool TfrmEprom::selectDeviceEntry(const QString& caption) {
    const DeviceEntry* entry = FindDevice(caption.toStdString());
    if (!entry) return false;
    selectEntry(*entry);
    return true;
}

void TfrmEprom::searchDevice() {
    const std::string text = edSearch_->text().trimmed().toStdString();
    if (text.empty() || running_) return;
    // The lookup the command-line tool uses: disabled entries are refused the same way.
    const DeviceLookup lookup = LookUpDevice(text);
    if (lookup.kind == DeviceLookup::Kind::Found) {
        selectEntry(*lookup.entry);
        edSearch_->clear();
        return;
    }
    const std::vector<const DeviceEntry*>& found = lookup.candidates;
    if (lookup.kind == DeviceLookup::Kind::Refused || found.empty()) {
        tavrin::Message(ctx_, lookup.message, MessageKind::Error);
        edSearch_->selectAll();
        return;
    }
    // Several parts fit (or, for an unknown name, the nearest ones): a short menu under the box.
    auto* choices = new QMenu(this);
    choices->setObjectName("mnuSearchResults");
    choices->setAttribute(Qt::WA_DeleteOnClose);
    for (const DeviceEntry* e : found) {
        QString path;
        for (const std::string& p : e->menuPath)
            path += QString::fromStdString(p).trimmed() + " / ";
        QAction* a = choices->addAction(menuText(e->caption) + "\t" + menuText(path.toStdString()));
        connect(a, &QAction::triggered, this, [this, e] {
            selectEntry(*e);
            edSearch_->clear();
        });
    }
    choices->popup(edSearch_->mapToGlobal(QPoint(0, edSearch_->height())));
}

void TfrmEprom::afterSelection() {
    putSimChip();
    winstat();
}

void TfrmEprom::replaySelection(const std::string& handler, int32_t deviceId) {
    SelectByHandler(ctx_, handler, deviceId);
}

void TfrmEprom::markDipChanges() {
    const DeviceProfile& p = ctx_.profile;
    std::array<bool, 13> marked{};
    if (p.dipCheck != 0 && !DipQuestion(ctx_).empty())
        for (const DipChange& c : DipChanges(p.dipConfirmed, ctx_.controls.dipDigits))
            marked[size_t(c.place)] = true;
    JP_A18Vpp_->setMarked(marked[0]);
    // Switch k sits on image k of the PCB3 board and on image 13 - k of the older one.
    for (int k = 1; k <= 12; ++k)
        dip_[size_t(p.tavrin != 0 ? k : 13 - k)]->setMarked(marked[size_t(k)]);
}

void TfrmEprom::showPattern(int32_t dip) {
    ShowDipPattern(ctx_, dip);
}

void TfrmEprom::putSimChip() {
    // The simulated board gets the part that is selected; with no model the socket stays empty.
    if (auto* board = dynamic_cast<sim::SimBoard*>(&ctx_.port())) {
        if (auto chip = MakeSimChip(ctx_))
            board->insert(std::move(chip));
        else
            board->remove();
    }
}

void TfrmEprom::Clear1Click(int tag) {
    tavrin::Clear1Click(ctx_, tag);
    bufferEditor_->imageChangedOutside();
    setWindowTitle(QString::fromStdString(ctx_.controls.caption));
}

void TfrmEprom::InvertDATA1Click() {
    tavrin::InvertDATA1Click(ctx_);
    bufferEditor_->imageChangedOutside();
}

void TfrmEprom::Swapbyte1Click() {
    tavrin::Swapbyte1Click(ctx_);
    bufferEditor_->imageChangedOutside();
}

void TfrmEprom::edOffsetChange(const QString& text) {
    tavrin::edOffsetChange(ctx_, text.toStdString());
    refreshConfigsPage();
}

void TfrmEprom::edOffsetExit() {
    tavrin::edOffsetExit(ctx_);
    edOffset_->setText(QString::fromStdString(ctx_.controls.edOffsetText));
}

void TfrmEprom::mnuLoadClick() {
    if (running_) return;
    QFileDialog dialog(this, kLoadDialogTitle, QString::fromStdString(fileFolder_));
    dialog.setObjectName("FileOpen");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    setDialogFilters(dialog, kLoadFilters, kLoadFilterPreset);
    QComboBox* halves = AddHalfChoice(dialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const std::string name = dialog.selectedFiles().front().toStdString();
    if (halves->currentIndex() == 1) {
        if (LoadOddHalfAndMerge(this, ctx_, name, dialog)) bufferEditor_->imageReplaced();
        setWindowTitle(QString::fromStdString(ctx_.controls.caption));
        return;
    }
    FileDialogState dialogs{fileFolder_, saveName_};
    tavrin::mnuLoadClick(ctx_, name, &dialogs);
    bufferEditor_->imageReplaced();
    fileFolder_ = dialogs.folder;
    saveName_ = dialogs.saveName;
    settings_.files = fileFolder_;
    setWindowTitle(QString::fromStdString(ctx_.controls.caption));
}

void TfrmEprom::mnuSaveClick() {
    if (running_) return;
    QFileDialog dialog(this, QString(), QString::fromStdString(fileFolder_));
    dialog.setObjectName("FileSave");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    setDialogFilters(dialog, kSaveFilters, SaveFilterPreset(ctx_.profile));
    QComboBox* halves = AddHalfChoice(dialog, false);
    if (!saveName_.empty())
        dialog.selectFile(QFileInfo(QString::fromStdString(saveName_)).fileName());
    std::string name;
    int filter = 0;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        name = dialog.selectedFiles().front().toStdString();
        filter = chosenFilter(dialog);
    }
    if (halves->currentIndex() > 0)
        SaveHalfAs(ctx_, name, filter, halves->currentIndex());
    else if (tavrin::mnuSaveClick(ctx_, name, filter))
        bufferEditor_->imageSaved();
    setWindowTitle(QString::fromStdString(ctx_.controls.caption));
}

void TfrmEprom::RomIdentClick() {
    if (running_) return;
    if (!romIdent_) romIdent_ = std::make_unique<RomIdentDatabase>();
    // The command's boxes are held back until its result tells which icon they deserve.
    collectBoxes_ = true;
    heldBoxes_.clear();
    const RomIdentResult result = tavrin::RomIdentClick(ctx_, *romIdent_);
    collectBoxes_ = false;
    mnuRomIdent_->setEnabled(romIdent_->menuEnabled());
    for (const QString& text : std::exchange(heldBoxes_, {})) {
        if (result.kind == RomIdentResult::Kind::Listing)
            QMessageBox::information(this, kApplicationTitle, text);
        else
            QMessageBox::critical(this, kApplicationTitle, text);
    }
}

void TfrmEprom::layoutGrids() {
    const GridLayout g =
        ComputeGridLayout(ctx_.profile, kFormHeight, HexGrid_->parentWidget()->height());
    hexModel_->setGridRows(g.hexRows);
    progModel_->setGridRows(g.progRows);
    hexModel_->setHeader(0, QString::fromStdString(g.hexCorner));
    const int arrangement = static_cast<int>(g.arrangement);
    if (arrangement == gridArrangement_) return;
    gridArrangement_ = arrangement;
    // The page's layout sizes the grids: one grid fills it, or the words sit above a byte grid of
    // fixed height.
    const bool hex = g.arrangement != GridLayout::Arrangement::ProgOnly;
    const bool prog = g.arrangement != GridLayout::Arrangement::HexOnly;
    if (prog && hex)
        HexGrid_->setFixedHeight(g.hexHeight);
    else
        HexGrid_->setMaximumHeight(QWIDGETSIZE_MAX), HexGrid_->setMinimumHeight(0);
    HexGrid_->setVisible(hex);
    ProgGrid_->setVisible(prog);
    HexGrid_->clearSelection();
    ProgGrid_->clearSelection();
}

void TfrmEprom::connectGridModels() {
    hexModel_->setCellText([this](int row, int column) {
        return QString::fromStdString(HexGridCellText(ctx_, column, row));
    });
    progModel_->setCellText([this](int row, int column) {
        return QString::fromStdString(ProgGridCellText(ctx_, column, row));
    });
}

}  // namespace tavrin::ui
