#include "ui/SimulationMenu.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QVBoxLayout>
#include <fstream>

#include "core/Commands.h"
#include "sim/ChipFactory.h"
#include "sim/ChipFile.h"
#include "sim/FaultHelp.h"
#include "sim/SimBoard.h"
#include "ui/MainWindow.h"

namespace tavrin::ui {

SimulationMenu::SimulationMenu(TfrmEprom& window, Context& ctx, LongTask runLongTask)
    : QObject(&window), window_(window), ctx_(ctx), runLongTask_(std::move(runLongTask)) {
    menu_ = window.menuBar()->addMenu("&Simulation");
    menu_->setObjectName("mnuSimulation");
    auto add = [this](const QString& text, const char* name, std::function<void()> handler) {
        QAction* a = menu_->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [handler] { handler(); });
        return a;
    };
    keep_ = add("&Keep the chip between sessions", "mnuSimKeepChip", [] {});
    keep_->setCheckable(true);
    keep_->setChecked(QFile::exists(chipFilePath()));
    connect(keep_, &QAction::toggled, this, [this](bool on) { setKeepChip(on); });
    menu_->addSeparator();
    add("Insert a &fresh chip", "mnuSimFreshChip", [this] { insertFreshChip(); });
    add("Insert a &programmed chip (from the buffer)", "mnuSimProgrammedChip",
        [this] { insertProgrammedChip(); });
    add("&Remove the chip", "mnuSimRemoveChip", [this] { removeChip(); });
    menu_->addSeparator();
    add("Inject a f&ault...", "mnuSimFault", [this] { askForFault(); });
    // Nothing may change the socket under a running routine.
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* a : menu_->actions()) a->setEnabled(!window_.running());
    });
    followPort();
}

QString SimulationMenu::chipFilePath() {
    const QString settings = QSettings("Tavrin", "Eprom").fileName();
    return QFileInfo(settings).absolutePath() + "/simulated-chip";
}

sim::SimBoard* SimulationMenu::board() const {
    return dynamic_cast<sim::SimBoard*>(&ctx_.port());
}

void SimulationMenu::followPort() {
    menu_->menuAction()->setVisible(board() != nullptr);
}

void SimulationMenu::say(const QString& text, bool error) {
    window_.showMessage(text, error ? MessageKind::Error : MessageKind::Progress);
}

bool SimulationMenu::keepsChip() const {
    return keep_->isChecked();
}

void SimulationMenu::setKeepChip(bool keep) {
    if (keep_->isChecked() != keep) {
        keep_->setChecked(keep);  // comes back here through toggled
        return;
    }
    if (!keep) {
        QFile::remove(chipFilePath());
        return;
    }
    keepChipIfAsked();  // the file exists from now on, so the choice outlives a crash
}

void SimulationMenu::keepChipIfAsked() {
    sim::SimBoard* b = board();
    if (!b || !keep_->isChecked()) return;
    const QString path = chipFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string error;
    if (!b->chip()) {
        // An empty socket is kept as none: the next session starts with a fresh chip.
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        return;
    }
    if (!sim::SaveChip(*b, ctx_.controls.edDevice, path.toStdString(), error))
        say(QString::fromStdString(error), true);
}

void SimulationMenu::restoreKeptChip() {
    sim::SimBoard* b = board();
    const QString path = chipFilePath();
    if (!b || !keep_->isChecked() || !b->chip()) return;
    const std::string device = sim::ChipFileDevice(path.toStdString());
    if (device.empty() || device != ctx_.controls.edDevice) return;  // another part's chip
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string error;
    if (!sim::RestoreChip(*b, in, device, path.toStdString(), error)) {
        freshChip();  // nothing half restored
        say(QString::fromStdString(error), true);
        return;
    }
    say("Simulated board: the kept " + QString::fromStdString(device) + " is in the socket");
}

bool SimulationMenu::freshChip() {
    sim::SimBoard* b = board();
    if (!b) return false;
    b->clearFaults();
    auto chip = MakeSimChip(ctx_);
    if (!chip) {
        b->remove();
        say("Simulated board: no chip model for this device", true);
        return false;
    }
    b->insert(std::move(chip));
    return true;
}

void SimulationMenu::insertFreshChip() {
    if (window_.running() || !freshChip()) return;
    say("Simulated board: a fresh " + QString::fromStdString(ctx_.controls.edDevice) +
        " is in the socket");
}

void SimulationMenu::insertProgrammedChip() {
    if (window_.running()) return;
    const Action& program = FamilyFor(ctx_.profile.eep).program;
    if (program.kind != Action::Kind::Run) {
        say("Simulated board: this device has no program routine to fill a chip with", true);
        return;
    }
    if (!freshChip()) return;
    // The family's own routine programs the fresh chip, with its progress and messages.
    runLongTask_([this] { RunCommand(ctx_, Command::Program); });
}

void SimulationMenu::removeChip() {
    sim::SimBoard* b = board();
    if (!b || window_.running()) return;
    b->remove();
    say("Simulated board: the socket is empty");
}

bool SimulationMenu::injectFault(const QString& text, QString* error) {
    sim::SimBoard* b = board();
    std::string why;
    const bool ok = b && ApplySimFault(*b, text.trimmed().toStdString(), why);
    if (!b) why = "the simulated board is not the port";
    if (ok)
        say("Simulated board: fault " + text.trimmed() + " injected");
    else if (error)
        *error = QString::fromStdString(why);
    return ok;
}

void SimulationMenu::askForFault() {
    if (window_.running()) return;
    QDialog dialog(&window_);
    dialog.setObjectName("dlgSimFault");
    dialog.setWindowTitle("Inject a fault");
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QPlainTextEdit(QString::fromUtf8(SimFaultHelp()));
    list->setReadOnly(true);
    QFont mono("Monospace", 8);
    mono.setStyleHint(QFont::TypeWriter);
    list->setFont(mono);
    layout->addWidget(list);
    auto* box = new QLineEdit;
    box->setObjectName("edSimFault");
    box->setPlaceholderText("stuck:0x10:3=0");
    layout->addWidget(box);
    auto* problem = new QLabel;
    problem->setObjectName("lbSimFaultError");
    problem->setStyleSheet("color: red");
    problem->setWordWrap(true);
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        QString error;
        if (injectFault(box->text(), &error))
            dialog.accept();
        else
            problem->setText(error);  // the dialog stays for a better text
    });
    dialog.resize(560, 460);
    dialog.exec();
}

}  // namespace tavrin::ui
