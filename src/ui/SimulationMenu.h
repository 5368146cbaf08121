#pragma once
// The Simulation menu, shown while the simulated board is the port: keep the chip in the socket
// between sessions (in the chip file `tavrin --chip-file` reads too, beside the settings), put
// a fresh chip or one programmed from the buffer into the socket, empty the socket, and inject
// the faults of `tavrin --help-faults`, so that every message can be tried and shown.

#include <QObject>
#include <QString>
#include <functional>

#include "core/Context.h"

class QAction;
class QMenu;

namespace tavrin::sim {
class SimBoard;
}

namespace tavrin::ui {

class TfrmEprom;

class SimulationMenu : public QObject {
    Q_OBJECT
  public:
    using LongTask = std::function<void(const std::function<void()>&)>;
    // Adds the menu (object name "mnuSimulation") after the window's own menus; routines run
    // through `runLongTask`, as the window's commands do.
    SimulationMenu(TfrmEprom& window, Context& ctx, LongTask runLongTask);

    QMenu* menu() const { return menu_; }
    // Shows the menu while the port is the simulated board and hides it otherwise.
    void followPort();
    // Start-up: a kept chip of the selected device goes into the socket.
    void restoreKeptChip();
    // Exit: with keeping on, the chip in the socket goes into the chip file.
    void keepChipIfAsked();

    // The menu's entries.
    void setKeepChip(bool keep);
    bool keepsChip() const;
    void insertFreshChip();
    void insertProgrammedChip();
    void removeChip();
    // Applies a fault text as --sim-fault does; false with `error` set when it is none or the
    // chip cannot take it.
    bool injectFault(const QString& text, QString* error = nullptr);
    // The fault dialog ("dlgSimFault"): the list of faults and a box for one.
    void askForFault();

    // Where the kept chip lives: "simulated-chip" beside the settings file.
    static QString chipFilePath();

  private:
    sim::SimBoard* board() const;
    bool freshChip();
    void say(const QString& text, bool error = false);

    TfrmEprom& window_;
    Context& ctx_;
    LongTask runLongTask_;
    QMenu* menu_ = nullptr;
    QAction* keep_ = nullptr;
};

}  // namespace tavrin::ui
