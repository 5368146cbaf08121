#include "ui/DifferencePanel.h"
#include "ui/ReadCheckPanel.h"
#include "ui/SimulationMenu.h"
#include "ui/MainWindow.h"
#include "ui/ProductionBar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "algorithms/mcu/Mcs51.h"
#include "buffer/Checksum.h"
#include "buffer/RomIdent.h"
#include "core/Commands.h"
#include "core/ImageBuffer.h"
#include "core/PortSetup.h"
#include "core/RunFrame.h"
#include "core/StartUp.h"
#include "devices/DipCheck.h"
#include "devices/DisplayState.h"
#include "ui/AboutBox.h"
#include "ui/BoardPictures.h"
#include "ui/BufferEditor.h"
#include "ui/BufferGridModel.h"
#include "ui/QtSettingsStore.h"
#include "ui/TestHwPage.h"
#include "ui/WindowFrontEnd.h"

namespace tavrin::ui {

namespace {

constexpr int kWindowWidth = 550, kWindowHeight = 480;

QColor windowsColour(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

TfrmEprom::TfrmEprom(QWidget* parent) : QMainWindow(parent), ctx_(nullptr) {
    frontEnd_ = std::make_unique<WindowFrontEnd>(*this);
    ctx_.setFrontEnd(frontEnd_.get());
    setObjectName("frmEprom");
    QFont f("Sans Serif", 8);
    setFont(f);

    buildMenus();
    buildToolBar();

    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName("PageControl1");
    PageControl1_->setTabPosition(QTabWidget::South);
    auto* device = new QWidget;
    auto* buffer = new QWidget;
    auto* temp = new QWidget;
    auto* configs = new QWidget;
    device->setObjectName("tsDevice");
    buffer->setObjectName("tsBuffer");
    temp->setObjectName("tsTemp");
    configs->setObjectName("tsConfigs");
    PageControl1_->addTab(device, "Device");
    PageControl1_->addTab(buffer, "Buffer");
    PageControl1_->addTab(temp, "temp");
    PageControl1_->addTab(configs, "Configs");
    testPage_ = new TestHwPage(ctx_);
    testPage_->setObjectName("tsTestHW");
    PageControl1_->addTab(testPage_, "Test H/W");
    setCentralWidget(PageControl1_);

    buildDevicePage(device);
    buildBufferPage(buffer);
    buildTempPage(temp);
    buildConfigsPage(configs);

    StatusBar_ = new QLabel;
    StatusBar_->setObjectName("StatusBar");
    QFont sf = StatusBar_->font();
    sf.setPixelSize(13);
    StatusBar_->setFont(sf);
    statusBar()->addWidget(StatusBar_, 1);
    statusBar()->addPermanentWidget(bufferEditor_->modifiedMark());
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(19);

    buildFloatingPanels(PageControl1_);
    buildDeviceMenu();
    connectGridModels();
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);

    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    FormCreate();
}

TfrmEprom::~TfrmEprom() {
    // Focus changes while the widgets go away must not reach handlers of a half-destroyed window.
    edOffset_->disconnect(this);
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->removeEventFilter(this);
    edDevice_->removeEventFilter(this);
    ctx_.setFrontEnd(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

void TfrmEprom::openPort(bool reportFailure) {
    const QString backend = cbPortDriver_->currentData().toString();
    PortChoice choice;
    std::string error;
    ParsePortChoice(backend.toStdString(), choice, error);
    OpenedPort opened = OpenPort(choice, std::clamp(cbPort_->currentIndex(), 0, 2));
    // Only a real board has switches to set: the simulated one, or a port that did not open,
    // skips the check before power.
    ctx_.profile.dipCheck = choice.kind != PortChoice::Kind::Simulated && opened.port->isOpen();
    ctx_.setPort(std::move(opened.port));
    settings_.portBackend = backend.toStdString();
    if (!opened.error.empty() && reportFailure) {
        QString text = "Could not open the DriverLINX driver.";
#ifdef Q_OS_LINUX
        text += "\n" + QString::fromStdString(opened.error);
#endif
        QMessageBox::critical(this, kApplicationTitle, text);
    }
    putSimChip();
    if (simulation_) simulation_->followPort();
    // A port just opened may hold whatever its last user left: start from the idle board.
    ctx_.bus.PowerDown();
}

void TfrmEprom::FormCreate() {
    // The port backend is chosen before anything else touches the board: the environment
    // (TAVRIN_PORT) wins, then the stored choice; with neither, a machine without a parallel port
    // runs on the simulated board.
    QString backend = qEnvironmentVariable("TAVRIN_PORT");
    int lpt = 0;
    {
        QtSettingsStore store;
        if (auto v = store.readInt("PORT"); v && *v >= 0 && *v <= 2) lpt = *v;
        if (backend.isEmpty())
            if (auto v = store.readString(kPortBackendName)) backend = QString::fromStdString(*v);
    }
    if (backend.isEmpty()) backend = QFileInfo::exists("/dev/parport0") ? "ppdev" : "sim";
    int driverItem = cbPortDriver_->findData(backend);
    if (driverItem < 0) {
        cbPortDriver_->addItem(backend, backend);
        driverItem = cbPortDriver_->count() - 1;
    }
    {
        const QSignalBlocker b1(cbPortDriver_), b2(cbPort_), b3(cbFastErase_), b4(cbCheckType_);
        cbPortDriver_->setCurrentIndex(driverItem);
        cbPort_->setCurrentIndex(lpt);
        openPort(true);
        cbPort_->setCurrentIndex(0);
        cbFastErase_->setCurrentIndex(1);
        cbCheckType_->setCurrentIndex(0);
    }
    edOffset_->setText("0000");
    ctx_.controls.edOffsetText = "0000";
    hexModel_->setHeader(0, "Offset");
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->objectName() == "sbMXICF29SecProt" || b->objectName() == "sbMXICF29ChipUnprt")
            b->setEnabled(false);

    setFixedSize(kWindowWidth, kWindowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWindowWidth / 2, kWindowHeight / 2));
    pProcess_->move(48, 240);
    pIDcode_->move(112, 225);
    pdLockBit_->move(120, 135);
    pRdLB_->move(135, 222);
    pPICdeviceID_->move(130, 210);
    PageControl1_->setCurrentIndex(0);

    // The start-up the command-line tool shares: socket off, no device, the stored selection
    // replayed, then the image cleared for that device.
    StartUp(ctx_, [&](Context&) {
        QtSettingsStore store;
        SettingsHooks hooks;
        hooks.replay = [this](Context&, const std::string& handler, int32_t deviceId) {
            replaySelection(handler, deviceId);
        };
        hooks.showPattern = [this](Context&, int32_t dip) { showPattern(dip); };
        LoadSettings(ctx_, store, settings_, hooks);
        {
            const QSignalBlocker b1(cbPort_), b2(cbFastErase_), b3(cbCheckType_);
            cbPort_->setCurrentIndex(settings_.port);
            cbFastErase_->setCurrentIndex(settings_.fastErase);
            ctx_.profile.fastErase = settings_.fastErase;  // the field follows what the box shows
            cbCheckType_->setCurrentIndex(settings_.checkType);
        }
        fileFolder_ = settings_.files;
        // The stored LPT index may name another port than the one opened above.
        if (settings_.port != lpt && settings_.port <= 2 && backend != "sim") openPort(true);
        putSimChip();
    });
    simulation_->restoreKeptChip();
    winstat();
}

void TfrmEprom::saveSettingsOnce() {
    if (settingsSaved_) return;
    settingsSaved_ = true;
    simulation_->keepChipIfAsked();
    settings_.files = fileFolder_;
    QtSettingsStore store;
    SaveSettings(ctx_, store, settings_);
    store.sync();
}

void TfrmEprom::mnuExitClick() {
    if (running_) {
        close();
        return;
    }
    ctx_.bus.PowerDown();
    saveSettingsOnce();
    exiting_ = true;
    close();
    QCoreApplication::quit();
}

void TfrmEprom::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The routine still owns the board: stop it, and close once it has powered down.
        ctx_.profile.cancelRequested = 1;
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!exiting_) {
        ctx_.bus.PowerDown();
        saveSettingsOnce();
    }
    event->accept();
}

bool TfrmEprom::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edDevice_ && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (!running_)
                mnuDevice_->popup(edDevice_->mapToGlobal(QPoint(0, edDevice_->height())));
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched)) {
        // Ctrl+C is Compare/Verify everywhere, also while a text box (the offset box above all)
        // has the focus: the box must not claim it for Copy.
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfrmEprom::runLongTask(const std::function<void()>& task, bool checkDip) {
    if (running_) return;
    if (checkDip && !ConfirmDipSwitches(ctx_)) {
        winstat();
        return;
    }
    running_ = true;
    setCommandsEnabled(false);
    task();
    running_ = false;
    setCommandsEnabled(true);
    emit commandDone();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void TfrmEprom::runCommand(Command command) {
    runLongTask([&] {
        gaugeOpened_ = false;
        if (command == Command::Read && ReadWithPasses(this, ctx_)) {
            // The majority image replaced the buffer (a failed run put the old one back).
            if (gaugeOpened_) bufferEditor_->imageReplaced();
            return;
        }
        RunCommand(ctx_, command);
        // A read that got as far as its gauge wrote the buffer: the chip's image, or part of it
        // when cancelled. One refused before that left the buffer as it was.
        if (command == Command::Read && gaugeOpened_) {
            if (ctx_.profile.cancelRequested)
                bufferEditor_->imageChangedOutside();
            else
                bufferEditor_->imageReplaced();
        }
        ReportDifferencesAfter(this, ctx_, command, HexGrid_, hexModel_);
    }, /*checkDip=*/false);
}

void TfrmEprom::mnuTestClick() {
    runLongTask([&] { tavrin::mnuTestClick(ctx_); });
}

void TfrmEprom::setCommandsEnabled(bool enabled) {
    // During a run everything that could start a second routine stays off, whatever the
    // routine's own frame asks for.
    const bool on = enabled && !running_;
    pICON_->setEnabled(on);
    if (production_) production_->setEnabled(on);
    for (QAction* a : runLocked_) a->setEnabled(on);
    if (bufferEditor_) bufferEditor_->setEditable(on);
    // The pages drive the board or the port choice (Test H/W, printer port, options): none of that
    // may change under a running routine. The Buffer page only shows, and the progress panel with
    // its Cancel button sits above the pages.
    for (int i = 0; i < PageControl1_->count(); ++i)
        if (PageControl1_->widget(i)->objectName() != "tsBuffer")
            PageControl1_->widget(i)->setEnabled(on);
    if (on) {
        mnuRomIdent_->setEnabled(!romIdent_ || romIdent_->menuEnabled());
        winstat();
    }
}

void TfrmEprom::Device1Click() {
    if (running_) return;
    mnuDevice_->popup(mapToGlobal(
        QPoint(menuBar()->actionGeometry(menuBar()->actions().at(2)).left(), menuBar()->height())));
}

void TfrmEprom::sbTavrin_Click() {
    tavrin::sbTavrin_Click(ctx_);
}

void TfrmEprom::sbRdLBClick() {
    ShowLockBitsMcs51(ctx_);  // fills edRdLB and shows pRdLB
    winstat();
}

void TfrmEprom::sbLockBitClick() {
    if (!ConfirmDipSwitches(ctx_)) {
        winstat();
        return;
    }
    if (ctx_.profile.serial == 0 && ctx_.bus.CheckHardware() != 0) {
        winstat();
        return;
    }
    Mcs51_lockbit_->setCurrentIndex(0);
    pdLockBit_->show();
    pdLockBit_->raise();
    winstat();
}

void TfrmEprom::btnLockBitClick() {
    // The mode the box shows is the one written (and kept as the lock mode).
    LockDialogLock(ctx_, Mcs51_lockbit_->currentIndex());
    pdLockBit_->hide();
    winstat();
}

void TfrmEprom::AboutClick() {
    AboutBox box(this, QString::fromStdString(ctx_.port().describe()));
    box.exec();
}

void TfrmEprom::cbCheckTypeChange(int index) {
    settings_.checkType = index;
    tavrin::cbCheckTypeChange(ctx_, index);
}

void TfrmEprom::cbPortChange(int index) {
    settings_.port = index;
    ctx_.bus.cbPortChange(index);
    // ppdev and direct I/O open the port of the chosen LPT; the simulated board only moves the
    // register addresses.
    if (cbPortDriver_->currentData().toString() != "sim" && index <= 2) openPort(true);
}

void TfrmEprom::cbPortDriverChange(int) {
    openPort(true);
}

void TfrmEprom::cbFastEraseChange(int index) {
    settings_.fastErase = index;
    ctx_.profile.fastErase = index;
}

void TfrmEprom::cbSsizeChange(int index) {
    ctx_.profile.Ssize = 64 << index;
    winstat();
}

void TfrmEprom::tbTWCChange(int tag, int value) {
    if (settingTrackBars_) return;
    // Only the timing boxes follow the bar: a full refresh would move the bar's maximum under the
    // user's drag.
    if (tag == 1)
        ctx_.profile.tWC = value;
    else
        ctx_.profile.tWP = value;
    refreshTiming();
}

// ---------------------------------------------------------------------------------------------
// Front-end services

void TfrmEprom::showMessage(const QString& text, MessageKind kind) {
    QColor colour = Qt::blue;
    if (kind == MessageKind::Error) colour = Qt::red;
    if (kind == MessageKind::Success) colour = Qt::black;
    QPalette pal = StatusBar_->palette();
    pal.setColor(QPalette::WindowText, colour);
    StatusBar_->setPalette(pal);
    StatusBar_->setText(text);
    if (kind != MessageKind::Progress) QApplication::beep();
    StatusBar_->repaint();
}

void TfrmEprom::openGauge(const QString& caption, int64_t max, uint32_t color) {
    gaugeOpened_ = true;
    pIDcode_->hide();
    pProcess_->show();
    pProcess_->raise();
    pProcessCap_->setText(caption);
    const QColor fore = windowsColour(color);
    const QColor back = color == 0xFFFFFF ? QColor(0, 0, 128) : QColor(Qt::white);
    gProcess_->setStyleSheet(
        // The percentage stays readable on every gauge: white on the navy one, black in bold
        // on the white ones (over the red and green fill as well).
        QString("QProgressBar { background: %1; border: 1px solid gray; color: %3; "
                "font-weight: bold; text-align: center; }"
                "QProgressBar::chunk { background: %2; }")
            .arg(back.name(), fore.name(), QString(color == 0xFFFFFF ? "white" : "black")));
    gProcess_->show();
    btnCancel_->show();
    gProcess_->setRange(0, int(std::clamp<int64_t>(max, 1, INT32_MAX)));
    gProcess_->setValue(0);
    gProcess_->repaint();
    btnCancel_->repaint();
}

void TfrmEprom::setGaugeProgress(int64_t value) {
    gProcess_->setValue(int(std::clamp<int64_t>(value, 0, gProcess_->maximum())));
}

void TfrmEprom::closeGauge() {
    pProcess_->hide();
}

void TfrmEprom::showPeaks(int32_t loop, int32_t twp, int32_t twc) {
    pLoopp_->setText(QString::number(loop));
    pTwpp_->setText(QString::number(twp));
    pTwcp_->setText(QString::number(twc));
}

void TfrmEprom::showResult(const QString& panel, const QString& text) {
    QFrame* target = findChild<QFrame*>(panel);
    if (panel == "pRdLB") {
        edRdLB_->setText(text);
    } else if (panel == "pPICdeviceID") {
        // "Hex ...", "Dev ..." (the device bits), "Rev ...", "Device Name ..." lines.
        const std::pair<const char*, const char*> boxes[] = {{"Device Name", "edPICDeviceName"},
                                                             {"Hex", "edPICHex"},
                                                             {"Dev", "edPICBinary"},
                                                             {"Rev", "edPICRev"}};
        for (const QString& line : text.split('\n'))
            for (const auto& [key, name] : boxes)
                if (line.startsWith(key)) {
                    if (auto* box = pPICdeviceID_->findChild<QLineEdit*>(name))
                        box->setText(line.mid(QString(key).size()));
                    break;
                }
    } else if (!target || panel == "pIDcode") {
        target = pIDcode_;
        lbIdText_->setText(text);
    }
    target->show();
    target->raise();
}

void TfrmEprom::showInformation(const QString& text) {
    if (collectBoxes_) {
        heldBoxes_ << text;
        return;
    }
    QMessageBox::information(this, kApplicationTitle, text);
}

bool TfrmEprom::askYesNo(const QString& question) {
    return QMessageBox::question(this, kApplicationTitle, question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TfrmEprom::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

// ---------------------------------------------------------------------------------------------
// Refresh

}  // namespace tavrin::ui
