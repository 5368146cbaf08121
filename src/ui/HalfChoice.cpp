#include "ui/HalfChoice.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include "buffer/FileCommands.h"
#include "buffer/SplitInterleave.h"
#include "core/RunFrame.h"

namespace tavrin::ui {

QComboBox* AddHalfChoice(QFileDialog& dialog, bool loading) {
    auto* choice = new QComboBox(&dialog);
    choice->setObjectName("cbHalves");
    if (loading)
        choice->addItems({"Whole image", "Even bytes; the odd-byte file is asked next"});
    else
        choice->addItems({"Whole image", "Even bytes only", "Odd bytes only"});
    auto* label = new QLabel("16-bit halves:", &dialog);
    label->setBuddy(choice);
    // The non-native dialog lays out its rows in a grid: one more row below the type list.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(choice, row, 1);
    }
    return choice;
}

bool LoadOddHalfAndMerge(QWidget* parent, Context& ctx, const std::string& evenName,
                         const QFileDialog& like) {
    if (const std::string refusal = SplitRefusal(ctx.profile); !refusal.empty()) {
        Message(ctx, refusal, MessageKind::Error);
        return false;
    }
    QFileDialog dialog(parent, "Select the odd-byte file", like.directory().path());
    dialog.setObjectName("FileOpenOdd");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(like.nameFilters());
    dialog.selectNameFilter(like.selectedNameFilter());
    const auto* likeTypes = like.findChild<QComboBox*>("fileTypeCombo");
    if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo"); types && likeTypes)
        for (int i = 0; i < types->count() && i < likeTypes->count(); ++i)
            types->setItemText(i, likeTypes->itemText(i));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const std::string oddName = dialog.selectedFiles().front().toStdString();
    std::string error;
    return LoadInterleaved(ctx, evenName, FormatForExtension(evenName), oddName,
                           FormatForExtension(oddName), error);
}

void SaveHalfAs(Context& ctx, const std::string& name, int filterIndex, int choice) {
    if (const std::string refusal = SplitRefusal(ctx.profile); !refusal.empty()) {
        Message(ctx, refusal, MessageKind::Error);
        return;
    }
    if (const auto format = FormatForSaveFilter(filterIndex); format && !name.empty())
        SaveHalf(ctx, name, *format, choice == 1 ? Half::Even : Half::Odd,
                 SaveNaming::AppendExtension);
    ctx.ui().refresh();
}

}  // namespace tavrin::ui
