#pragma once
// The 16-bit halves choice of the Load and Save dialogs: a line below their file type lists
// (whose entries stay as they are) to load a pair of 8-bit files as the even and odd bytes of one
// image, or to save only the even or the odd bytes.

#include <QString>
#include <string>

class QComboBox;
class QFileDialog;
class QWidget;

namespace tavrin {
struct Context;
}

namespace tavrin::ui {

// Load: 0 "Whole image", 1 pair (this file: even bytes). Save: 0 whole, 1 even, 2 odd.
QComboBox* AddHalfChoice(QFileDialog& dialog, bool loading);

// After the even file was chosen: asks for the odd file in a dialog of the same kind (object
// name "FileOpenOdd") and loads the pair. False when the user cancelled or a file did not load
// (the loader's message shows).
// `like` is the even file's dialog, whose folder and type list the second one takes.
bool LoadOddHalfAndMerge(QWidget* parent, Context& ctx, const std::string& evenName,
                         const QFileDialog& like);

// Saves the chosen half (choice 1 even, 2 odd) with the saver of the filter entry.
void SaveHalfAs(Context& ctx, const std::string& name, int filterIndex, int choice);

}  // namespace tavrin::ui
