// Building the window: menus, tool bar, the five pages and the floating panels.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
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
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "buffer/BufferOperations.h"
#include "ui/Spi25CPanel.h"
#include "buffer/Checksum.h"
#include "buffer/GridLayout.h"
#include "core/Commands.h"
#include "core/ImageBuffer.h"
#include "core/PortSetup.h"
#include "core/RunFrame.h"
#include "devices/DisplayState.h"
#include "ui/AvrSettingsPanel.h"
#include "ui/BoardPictures.h"
#include "ui/BufferEditor.h"
#include "ui/BufferGridModel.h"
#include "ui/ChecksumPanel.h"
#include "ui/MainWindow.h"
#include "ui/MxicProtectPanel.h"
#include "ui/ProductionBar.h"
#include "ui/PicSettingsPanel.h"
#include "ui/PortsPanel.h"
#include "ui/ReadCheckPanel.h"
#include "ui/SimulationMenu.h"
#include "ui/QtSettingsStore.h"
#include "ui/TestHwPage.h"
#include "ui/WindowFrontEnd.h"

namespace tavrin::ui {

namespace {

constexpr int kDipPitch = 18, kDipLeft = 34, kDipTop = 148;

QLineEdit* readOnlyBox(QWidget* parent, const char* name, const QRect& geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setGeometry(geometry);
    return box;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry,
              const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(name);
    l->setGeometry(geometry);
    return l;
}

QFrame* floatingPanel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    panel->setGeometry(geometry);
    panel->hide();
    return panel;
}

QLabel* panelHeader(QFrame* panel, const QString& text, const char* name = nullptr) {
    auto* header = label(panel, text, QRect(4, 4, panel->width() - 8, 18), name);
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    pal.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(pal);
    header->setAlignment(Qt::AlignCenter);
    return header;
}

// Tool-bar glyphs: a coloured chip outline with a short mark.
QIcon glyph(const QString& mark, const QColor& colour) {
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(colour);
    p.drawRoundedRect(QRect(3, 2, 16, 18), 2, 2);
    for (int i = 0; i < 4; ++i) {
        p.drawLine(0, 5 + 4 * i, 3, 5 + 4 * i);
        p.drawLine(19, 5 + 4 * i, 22, 5 + 4 * i);
    }
    p.setPen(Qt::white);
    QFont f;
    f.setPixelSize(mark.size() > 1 ? 8 : 11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(3, 2, 16, 18), Qt::AlignCenter, mark);
    return QIcon(pm);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Menus and tool bar

void TfrmEprom::buildMenus() {
    auto add = [this](QMenu* menu, const QString& text, const char* name, const QKeySequence& key,
                      std::function<void()> handler) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty()) a->setShortcut(key);
        connect(a, &QAction::triggered, this, [handler] { handler(); });
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuLoad_ = add(file, "&Load", "mnuLoad", QKeySequence("Ctrl+L"), [this] { mnuLoadClick(); });
    mnuSave_ =
        add(file, "&Save As..", "mnuSave", QKeySequence("Ctrl+S"), [this] { mnuSaveClick(); });
    file->addSeparator();
    mnuExit_ = add(file, "E&xit", "mnuExit", QKeySequence("Ctrl+X"), [this] { mnuExitClick(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");

    QAction* device = menuBar()->addAction("&Device");
    device->setObjectName("Device1");
    connect(device, &QAction::triggered, this, [this] { Device1Click(); });

    QMenu* action = menuBar()->addMenu("&Action");
    action->setObjectName("mnuAction");
    mnuRead_ = add(action, "&Read", "mnuRead", QKeySequence("Ctrl+R"),
                   [this] { runCommand(Command::Read); });
    mnuProgram_ = add(action, "&Program/Test RAM", "mnuProgram", QKeySequence("Ctrl+P"),
                      [this] { runCommand(Command::Program); });
    mnuVerify_ = add(action, "&Compare/Verify", "mnuVerify", QKeySequence("Ctrl+C"),
                     [this] { runCommand(Command::Verify); });
    mnuBlank_ = add(action, "&Blank Check", "mnuBlank", QKeySequence("Ctrl+B"),
                    [this] { runCommand(Command::Blank); });
    mnuErase_ = add(action, "&Erase 28/29/49/89/90/PIC", "mnuErase", QKeySequence("Ctrl+E"),
                    [this] { runCommand(Command::Erase); });
    mnuGetID_ = add(action, "&Get ID 28/29/49/89/90", "mnuGetID", QKeySequence("Ctrl+I"),
                    [this] { runCommand(Command::GetId); });
    QMenu* clear = action->addMenu("Clear Buffer");
    clear->setObjectName("Clear1");
    QAction* ff = add(clear, "OxFF", "ClearFF", {}, [this] { Clear1Click(1); });
    ff->setProperty("Tag", 1);
    QAction* zero = add(clear, "0x00", "Clear00", {}, [this] { Clear1Click(2); });
    zero->setProperty("Tag", 2);
    QAction* invert = add(action, "Invert DATA", "InvertDATA1", {}, [this] { InvertDATA1Click(); });
    QAction* swap = add(action, "Swap BYTE", "Swapbyte1", {}, [this] { Swapbyte1Click(); });
    mnuRomIdent_ = add(action, "RomIdent", "RomIdent1", {}, [this] { RomIdentClick(); });

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    QAction* test = add(help, "&Test Hardware", "mnuTest", {}, [this] { mnuTestClick(); });
    help->addSeparator();
    add(help, "&About", "mnuAbout", {}, [this] { AboutClick(); });

    // While a routine runs, nothing may start a second one or change the image under it.
    runLocked_ = {mnuLoad_,  mnuSave_,  mnuRead_,     mnuProgram_, mnuVerify_,
                  mnuBlank_, mnuErase_, mnuGetID_,    ff,          zero,
                  invert,    swap,      mnuRomIdent_, test,        device};
    simulation_ = new SimulationMenu(
        *this, ctx_, [this](const std::function<void()>& task) { runLongTask(task); });
}

void TfrmEprom::buildToolBar() {
    pICON_ = new QToolBar(this);
    pICON_->setObjectName("pICON");
    pICON_->setMovable(false);
    pICON_->setFloatable(false);
    pICON_->setFixedHeight(31);
    pICON_->setIconSize(QSize(22, 22));
    pICON_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, pICON_);
    production_ = new ProductionBar(
        ctx_, [this](const std::function<void()>& task) { runLongTask(task); }, *this);
    addToolBar(Qt::TopToolBarArea, production_);
    auto button = [this](const char* name, const QString& hint, const QIcon& icon,
                         std::function<void()> handler) {
        auto* b = new QToolButton(pICON_);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(icon);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [handler] { handler(); });
        pICON_->addWidget(b);
        return b;
    };
    button("SpeedButton1", "Open File", style()->standardIcon(QStyle::SP_DialogOpenButton),
           [this] { mnuLoadClick(); });
    button("SpeedButton2", "Save File", style()->standardIcon(QStyle::SP_DialogSaveButton),
           [this] { mnuSaveClick(); });
    pICON_->addSeparator();
    sbRead_ = button("sbRead", "Read Chip", glyph("R", QColor(30, 30, 30)),
                     [this] { runCommand(Command::Read); });
    sbVerify_ = button("sbVerify", "Verify", glyph("V", QColor(0, 128, 0)),
                       [this] { runCommand(Command::Verify); });
    button("sbClear", "Clear Buffer", glyph("FF", QColor(90, 90, 160)),
           [this] { sbClearClick(ctx_); });
    sbBlank_ = button("sbBlank", "Blank Test", glyph("B", QColor(0, 0, 128)),
                      [this] { runCommand(Command::Blank); });
    sbProg_ = button("sbProg", "Program Chip", glyph("P", QColor(200, 0, 0)),
                     [this] { runCommand(Command::Program); });
    sbErase_ = button("sbErase", "Erase Chip", glyph("E", QColor(120, 60, 160)),
                      [this] { runCommand(Command::Erase); });
    sbGetID_ = button("sbGetID", "Electronic ID", glyph("ID", QColor(160, 110, 0)),
                      [this] { runCommand(Command::GetId); });
    pICON_->addSeparator();
    sbTavrin_ = button("sbTavrin", "Swap DIP SW", {}, [this] { sbTavrin_Click(); });
    sbTavrin_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    sbTavrin_->setText("Tavrin");
    sbTavrin_->setMinimumWidth(48);
    sbRdLB_ = button("sbRdLB", "Read LockBit", {}, [this] { sbRdLBClick(); });
    sbRdLB_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    sbRdLB_->setText("LB");
}

// ---------------------------------------------------------------------------------------------
// Pages

void TfrmEprom::buildDevicePage(QWidget* page) {
    auto* Panel4 = new QFrame(page);
    Panel4->setObjectName("Panel4");
    Panel4->setFrameShape(QFrame::StyledPanel);
    Panel4->setGeometry(2, 2, 268, 202);

    edDevice_ = new QLabel(Panel4);
    edDevice_->setObjectName("edDevice");
    edDevice_->setFrameShape(QFrame::Panel);
    edDevice_->setFrameShadow(QFrame::Sunken);
    edDevice_->setGeometry(6, 4, 150, 22);
    edDevice_->setToolTip("Click to choose the device");
    edDevice_->setCursor(Qt::PointingHandCursor);
    edDevice_->installEventFilter(this);
    edSearch_ = new QLineEdit(Panel4);
    edSearch_->setObjectName("edSearch");
    edSearch_->setPlaceholderText("Find device...");
    edSearch_->setGeometry(160, 4, 102, 22);
    connect(edSearch_, &QLineEdit::returnPressed, this, [this] { searchDevice(); });

    label(Panel4, "Size & Checksum", QRect(6, 28, 120, 14));
    edBuffer_ = readOnlyBox(Panel4, "edBuffer", QRect(6, 42, 90, 20));
    edChecksum_ = readOnlyBox(Panel4, "edChecksum", QRect(100, 42, 90, 20));
    auto* btnChecksums = new QPushButton("All...", Panel4);
    btnChecksums->setObjectName("btnChecksums");
    btnChecksums->setToolTip("Every checksum of the buffer side by side");
    btnChecksums->setGeometry(194, 42, 68, 20);
    connect(btnChecksums, &QPushButton::clicked, this, [this] { ShowChecksumPanel(this, ctx_); });
    label(Panel4, "Shift & Pattern adr", QRect(6, 64, 120, 14));
    edShiftAdr_ = readOnlyBox(Panel4, "edShiftAdr", QRect(6, 78, 90, 20));
    edPatternAdr_ = readOnlyBox(Panel4, "edPatternAdr", QRect(100, 78, 90, 20));

    label(Panel4, "tWP", QRect(6, 102, 28, 20));
    edTWP_ = readOnlyBox(Panel4, "edTWP", QRect(34, 102, 76, 20));
    tbTWP_ = new QSlider(Qt::Horizontal, Panel4);
    tbTWP_->setObjectName("tbTWP");
    tbTWP_->setGeometry(114, 102, 148, 20);
    tbTWP_->setRange(1, 100);
    tbTWP_->setProperty("Tag", 2);
    label(Panel4, "tWC", QRect(6, 124, 28, 20));
    edTWC_ = readOnlyBox(Panel4, "edTWC", QRect(34, 124, 76, 20));
    tbTWC_ = new QSlider(Qt::Horizontal, Panel4);
    tbTWC_->setObjectName("tbTWC");
    tbTWC_->setGeometry(114, 124, 148, 20);
    tbTWC_->setRange(1, 100);
    tbTWC_->setProperty("Tag", 1);
    connect(tbTWP_, &QSlider::valueChanged, this, [this](int v) { tbTWCChange(2, v); });
    connect(tbTWC_, &QSlider::valueChanged, this, [this](int v) { tbTWCChange(1, v); });

    JP_A18Vpp_ = new DipImage(Panel4);
    JP_A18Vpp_->setObjectName("JP_A18Vpp");
    JP_A18Vpp_->move(8, kDipTop);
    JP_A18Vpp_->setToolTip("A18/Vpp jumper");
    for (int k = 1; k <= 12; ++k) {
        dip_[k] = new DipImage(Panel4);
        dip_[k]->setObjectName(QString("dip%1").arg(k));
        dip_[k]->move(kDipLeft + (k - 1) * kDipPitch, kDipTop);
    }
    pPCB3_ = new NumberStrip(true, kDipPitch, Panel4);
    pPCB3_->setObjectName("pPCB3");
    pPCB3_->move(kDipLeft - 1, kDipTop + 34);
    pTavrin_ = new NumberStrip(false, kDipPitch, Panel4);
    pTavrin_->setObjectName("pTavrin");
    pTavrin_->move(kDipLeft - 1, kDipTop + 34);
    lbON_ = label(Panel4, "ON", QRect(kDipLeft + 12 * kDipPitch + 2, 175, 20, 13), "lbON");

    pPosition_ = new QFrame(page);
    pPosition_->setObjectName("pPosition");
    static_cast<QFrame*>(pPosition_)->setFrameShape(QFrame::StyledPanel);
    pPosition_->setGeometry(438, 2, 106, 352);
    socket_ = new SocketPicture(pPosition_);
    socket_->setObjectName("imgSocket");
    socket_->setGeometry(2, 2, 102, 348);
    pAdapter_ = new QFrame(pPosition_);
    pAdapter_->setObjectName("pAdapter");
    pAdapter_->setFrameShape(QFrame::Panel);
    pAdapter_->setGeometry(4, 100, 98, 120);
    auto* request = label(pAdapter_, "Request Adapter", QRect(2, 4, 94, 18));
    request->setAlignment(Qt::AlignCenter);
    QFont bold = request->font();
    bold.setBold(true);
    // The bold caption must fit the narrow panel whole, whatever the desktop font.
    while (QFontMetrics(bold).horizontalAdvance(request->text()) > request->width() - 2 &&
           bold.pointSizeF() > 6)
        bold.setPointSizeF(bold.pointSizeF() - 0.5);
    request->setFont(bold);
    lbAdapter_ = label(pAdapter_, "", QRect(4, 26, 90, 90), "lbAdapter");
    lbAdapter_->setWordWrap(true);
    lbAdapter_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    pAdapter_->hide();

    buildOptionGroups(page);
    buildProgrammerSettings(page);
}

void TfrmEprom::buildOptionGroups(QWidget* page) {
    const QRect area(2, 206, 268, 148);
    auto group = [&](const char* name, const QString& caption) {
        auto* g = new QGroupBox(caption, page);
        g->setObjectName(name);
        g->setGeometry(area);
        g->hide();
        optionGroups_.push_back(g);
        return g;
    };
    QGroupBox* g29C = group("p29CxxxSetting", " AT28C/29Cxxx Sector Progamming ");
    label(g29C, "Sector size", QRect(10, 24, 80, 20));
    cbSsize_ = new QComboBox(g29C);
    cbSsize_->setObjectName("cbSsize");
    cbSsize_->addItems({" 64", " 128", " 256", " 512", " 1024", " 2048"});
    cbSsize_->setGeometry(96, 22, 90, 22);
    connect(cbSsize_, &QComboBox::activated, this, [this](int i) { cbSsizeChange(i); });
    lbSsizeWarning_ = label(g29C, QString(), QRect(10, 52, 250, 20), "lbSsizeWarning");
    lbSsizeWarning_->setStyleSheet("color: red");
    lbSsizeWarning_->hide();

    QGroupBox* gF28 = group("pF28Settings", "28F0x0 Settings");
    label(gF28, "Fast Erase", QRect(10, 24, 80, 20));
    cbFastErase_ = new QComboBox(gF28);
    cbFastErase_->setObjectName("cbFastErase");
    cbFastErase_->addItems({"Off", "On"});
    cbFastErase_->setGeometry(96, 22, 70, 22);
    connect(cbFastErase_, &QComboBox::activated, this, [this](int i) { cbFastEraseChange(i); });

    QGroupBox* g24C = group("p24CSettings", "24Cxxx [ PIN 7 (WP) ]");
    auto* low = new QRadioButton("Low  ( Normal Read/Wirte Operations )", g24C);
    low->setObjectName("r24Cpin7Low");
    low->setGeometry(10, 24, 250, 20);
    auto* high = new QRadioButton("High ( Wirte protect )", g24C);
    high->setObjectName("r24Cpin7high");
    high->setGeometry(10, 46, 250, 20);
    // Normal operation to start with, as the profile's pin7 0 says; the command-line tool starts
    // the same way.
    low->setChecked(true);
    ctx_.profile.pin7 = 0;
    connect(low, &QRadioButton::clicked, this, [this] {
        ctx_.profile.pin7 = 0;
        refreshConfigsPage();
    });
    connect(high, &QRadioButton::clicked, this, [this] {
        ctx_.profile.pin7 = 1;
        refreshConfigsPage();
    });

    p49F00xsetting_ = group("p49F00xsetting", "");
    cbProtect_ = new QCheckBox("Temporary Sector Unprotect", p49F00xsetting_);
    cbProtect_->setObjectName("cbProtect");
    cbProtect_->setGeometry(10, 24, 250, 20);
    connect(cbProtect_, &QCheckBox::clicked, this, [this](bool on) {
        ctx_.profile.AT49F00x = on;
        refreshConfigsPage();
    });
    auto* fujitsu = new QCheckBox("Fast Mode Programming ( Fujitsu Chip)", p49F00xsetting_);
    fujitsu->setObjectName("cbFujitsu_fastmode");
    fujitsu->setGeometry(10, 46, 250, 20);
    fujitsu->hide();
    connect(fujitsu, &QCheckBox::clicked, this, [this](bool on) { ctx_.profile.fujitsuFast = on; });

    group("p27CSettings", "27C/28C Settings");

    QGroupBox* g51 = group("pMCS51Setting", "MCS-51 Lock Bit");
    const char* lockNames[4] = {"rbLock0", "rbLock1", "rbLock12", "rbLock123"};
    const char* lockCaptions[4] = {"No Lock Bit", "Lock Bit 1          (MOVC)",
                                   "Lock Bit 1+2      (Verify)", "Lock Bit 1+2+3  (EXEc)"};
    for (int i = 0; i < 4; ++i) {
        rbLock_[i] = new QRadioButton(lockCaptions[i], g51);
        rbLock_[i]->setObjectName(lockNames[i]);
        rbLock_[i]->setProperty("Tag", i);
        rbLock_[i]->setGeometry(10, 20 + 22 * i, 150, 20);
        connect(rbLock_[i], &QRadioButton::clicked, this, [this, i] {  // rbLock0Click
            ctx_.mcs51.LockBit = i;
            refreshConfigsPage();
        });
    }
    sbLockBit_ = new QPushButton("Lock Bit", g51);
    sbLockBit_->setObjectName("sbLockBit");
    sbLockBit_->setGeometry(200, 24, 62, 24);  // beside the long captions, inside the group
    connect(sbLockBit_, &QPushButton::clicked, this, [this] { sbLockBitClick(); });

    avrPanel_ = std::make_shared<AvrSettingsPanel>(
        ctx_, group("pAVRsetting", "AVR 8-bit RISC   Lock Bit/FuseBit"),
        [this](const std::function<void()>& task) { runLongTask(task); });
    picPanel_ = std::make_shared<PicSettingsPanel>(ctx_, group("pPICSettings", "PIC Setting"),
                                                   [this] { winstat(); });
    BuildSpi25CPanel(group("p25CxxxSetting", "SPI (25Cxxx) setting"), ctx_,
                     [this] { refreshConfigsPage(); });
    BuildMxicProtectPanel(*group("pMXICF29040", "MXIC - 29F040 Sector Protection"), ctx_);
}

void TfrmEprom::buildProgrammerSettings(QWidget* page) {
    auto* g = new QGroupBox("Programmer Settings", page);
    g->setObjectName("gbProgrammer");
    g->setGeometry(274, 2, 160, 352);
    int y = 18;
    lbOffset_ = label(g, "Offset (Hex)", QRect(8, y, 140, 16), "lbOffset");
    edOffset_ = new QLineEdit(g);
    edOffset_->setObjectName("edOffset");
    edOffset_->setMaxLength(8);
    edOffset_->setGeometry(8, y + 16, 90, 22);
    connect(edOffset_, &QLineEdit::textEdited, this,
            [this](const QString& t) { edOffsetChange(t); });
    connect(edOffset_, &QLineEdit::editingFinished, this, [this] { edOffsetExit(); });
    y += 44;
    label(g, "Check Type", QRect(8, y, 140, 16));
    cbCheckType_ = new QComboBox(g);
    cbCheckType_->setObjectName("cbCheckType");
    // The blank third item is what a stored "CHECKSUM" 2 selects.
    cbCheckType_->addItems({"16 Bit Addition", "32 Bit CRC", ""});
    cbCheckType_->setGeometry(8, y + 16, 144, 22);
    connect(cbCheckType_, &QComboBox::activated, this, [this](int i) { cbCheckTypeChange(i); });
    y += 44;
    label(g, "Printer Port", QRect(8, y, 140, 16));
    auto* btnPorts = new QToolButton(g);
    btnPorts->setObjectName("btnPorts");
    btnPorts->setText("...");
    btnPorts->setToolTip("The parallel ports of this machine: base, driver, access");
    btnPorts->setGeometry(128, y - 2, 24, 18);
    connect(btnPorts, &QToolButton::clicked, this, [this] { ShowPortsPanel(this); });
    cbPort_ = new QComboBox(g);
    cbPort_->setObjectName("cbPort");
    cbPort_->addItems({"LPT1 (0x378)", "LPT2 (0x278)", "LPT3 (0x3BC)", ""});
    cbPort_->setGeometry(8, y + 16, 144, 22);
    connect(cbPort_, &QComboBox::activated, this, [this](int i) { cbPortChange(i); });
    y += 44;
    label(g, "Port Driver", QRect(8, y, 140, 16));
    cbPortDriver_ = new QComboBox(g);
    cbPortDriver_->setObjectName("cbPortDriver");
    cbPortDriver_->addItem("Simulated board", "sim");
    cbPortDriver_->addItem("ppdev (/dev/parport)", "ppdev");
    cbPortDriver_->addItem("Direct I/O", "io");
    cbPortDriver_->setGeometry(8, y + 16, 144, 22);
    connect(cbPortDriver_, &QComboBox::activated, this, [this](int i) { cbPortDriverChange(i); });
    y += 50;
    cbSkip_0xFF_ = new QCheckBox("Skip Write 0xFF ", g);
    cbSkip_0xFF_->setObjectName("cbSkip_0xFF");
    cbSkip_0xFF_->setGeometry(8, y, 148, 20);
    connect(cbSkip_0xFF_, &QCheckBox::toggled, this, [this](bool on) {
        ctx_.profile.skipFF = on;
        refreshConfigsPage();
    });
    y += 24;
    cbFastPro_ = new QCheckBox("Fast Programming", g);
    cbFastPro_->setObjectName("cbFastPro");
    cbFastPro_->setGeometry(8, y, 148, 20);
    connect(cbFastPro_, &QCheckBox::toggled, this, [this](bool on) {
        ctx_.profile.fastPro = on;
        refreshConfigsPage();
    });
    y += 24;
    cb5555_ = new QCheckBox("( 5555,2AAA,5555,.. )", g);
    cb5555_->setObjectName("cb5555");
    cb5555_->setGeometry(8, y, 148, 20);
    connect(cb5555_, &QCheckBox::toggled, this, [this](bool on) {
        ctx_.profile.sequ = on;
        refreshConfigsPage();
    });
    y += 24;
    auto* cbDiffReport = new QCheckBox("Report all differences", g);
    cbDiffReport->setObjectName("cbDiffReport");
    cbDiffReport->setToolTip("After a failed verify or program run, read the chip and list "
                             "every differing byte");
    cbDiffReport->setGeometry(8, y, 148, 20);
    AddReadPassesBox(g, y + 24);
}

void TfrmEprom::buildBufferPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto makeGrid = [&](const char* name, BufferGridModel* model, const QList<int>& widths) {
        auto* view = new QTableView(page);
        layout->addWidget(view);
        view->setObjectName(name);
        view->setModel(model);
        QFont mono("Monospace", 8);
        mono.setStyleHint(QFont::TypeWriter);
        view->setFont(mono);
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
        view->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->horizontalHeader()->setMinimumSectionSize(10);
        view->horizontalHeader()->setFixedHeight(18);
        for (int c = 0; c < widths.size(); ++c) view->setColumnWidth(c, widths[c]);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::NoSelection);
        view->setWordWrap(false);
        view->setShowGrid(true);
        view->setItemDelegate(new GridCellDelegate(view));
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return view;
    };
    QStringList hexHeaders{"Offset"};
    for (int i = 0; i < 16; ++i) hexHeaders << QString::number(i, 16).toUpper();
    hexHeaders << "    Ascii";
    QStringList progHeaders{"Program"};
    for (int i = 0; i < 8; ++i) progHeaders << QString::number(i);
    progHeaders << "    Ascii";
    progModel_ = new BufferGridModel(progHeaders, this);
    ProgGrid_ = makeGrid("ProgGrid", progModel_,
                         QList<int>(kProgGridColumnWidths.begin(), kProgGridColumnWidths.end()));
    hexModel_ = new BufferGridModel(hexHeaders, this);
    HexGrid_ = makeGrid("HexGrid", hexModel_,
                        QList<int>(kHexGridColumnWidths.begin(), kHexGridColumnWidths.end()));
    ProgGrid_->hide();
    bufferEditor_ = new BufferEditor(ctx_, page, HexGrid_, hexModel_, ProgGrid_, progModel_);
    connect(bufferEditor_, &BufferEditor::edited, this, [this] { winstat(); });
}

void TfrmEprom::buildTempPage(QWidget* page) {
    auto* picture = new QLabel(page);
    picture->setObjectName("imgTemp");
    picture->setGeometry(8, 8, 400, 340);
    QPixmap pm(400, 340);
    pm.fill(QColor(0, 96, 48));
    {
        // The board from above: printer-port connector, switch block, ZIF socket.
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(200, 180, 70));
        for (int y = 40; y < 300; y += 12) p.drawLine(60, y, 150, y);
        p.setBrush(QColor(150, 150, 160));
        p.setPen(QColor(40, 40, 40));
        p.drawRect(16, 60, 40, 220);
        for (int k = 0; k < 12; ++k)
            PaintDipImage(p, QRect(170 + 16 * k, 24, 16, 32), 1 + (k % 3 == 0));
        p.setBrush(QColor(60, 160, 80));
        p.drawRoundedRect(QRect(230, 90, 90, 230), 4, 4);
        p.setBrush(QColor(25, 25, 25));
        p.drawRect(QRect(245, 120, 60, 190));
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setPointSize(12);
        f.setBold(true);
        p.setFont(f);
        p.save();
        p.translate(275, 215);
        p.rotate(90);
        p.drawText(QRect(-95, -30, 190, 60), Qt::AlignCenter, "Tavrin Eprom");
        p.restore();
    }
    picture->setPixmap(pm);
    edTemp_ = new QLineEdit(page);
    edTemp_->setObjectName("edTemp");
    edTemp_->setGeometry(8, 320, 300, 22);
    edTemp_->hide();
    auto* bypass = new QCheckBox("by pass Y/N", page);
    bypass->setObjectName("cbByPass");
    bypass->setGeometry(420, 8, 120, 20);
    bypass->setEnabled(false);
    auto* again = new QPushButton("FormCreate", page);
    again->setObjectName("btnFormCreate");
    again->setGeometry(420, 36, 100, 24);
    again->hide();
    connect(again, &QPushButton::clicked, this, [this] { FormCreate(); });
}

void TfrmEprom::buildConfigsPage(QWidget* page) {
    configEprom_ = new QGroupBox("EPROM", page);
    configEprom_->setObjectName("gbConfigEprom");
    configEprom_->setGeometry(2, 2, 350, 352);
    for (const char* name :
         {"tWC", "tWP", "epr64", "PIC", "serial", "tavrin", "DIP", "swap", "addStep", "eep",
          "pin28", "pin30", "pin7", "qe", "AT49F00x", "Ssize", "Fast Pro.", "Sequ", "Offset"})
        configBox(name);
    configPic_ = new QGroupBox("PIC", page);
    configPic_->setObjectName("gbConfigPIC");
    configPic_->setGeometry(356, 2, 188, 130);
    configMcs51_ = new QGroupBox("MCS-51", page);
    configMcs51_->setObjectName("gbConfigMCS51");
    configMcs51_->setGeometry(356, 136, 188, 218);
    for (const char* name : {"PIC ID", "bkCode", "cfgMask"}) configBox(name);
}

QLineEdit* TfrmEprom::configBox(const QString& name) {
    if (auto it = configBoxes_.find(name); it != configBoxes_.end()) return it->second;
    // Boxes go into their group in the order they first appear, four (or two) to a row.
    QGroupBox* g = configEprom_;
    int columns = 4;
    if (name == "PIC ID" || name == "bkCode" || name == "cfgMask") g = configPic_, columns = 2;
    // The MCS-51 group's names carry a prefix that the label leaves out.
    const QString prefix = QString::fromLatin1(kMcs51ConfigPrefix);
    const bool mcs51 = name.startsWith(prefix);
    if (mcs51) g = configMcs51_, columns = 2;
    const int i = configCount_[g]++;
    const int col = i % columns, row = i / columns;
    const int rowHeight = mcs51 ? 32 : 40;
    label(g, mcs51 ? name.mid(prefix.size()) : name,
          QRect(6 + col * 86, 18 + row * rowHeight, 80, 16))
        ->show();
    auto* e = readOnlyBox(g, "", QRect(6 + col * 86, 34 + row * rowHeight, 80, 18));
    e->setObjectName("cfg_" + name);
    // Read-outs: they must not look like boxes that take typing.
    e->setFocusPolicy(Qt::NoFocus);
    e->setFrame(false);
    e->setStyleSheet("QLineEdit { background: palette(window); }");
    e->show();
    configBoxes_[name] = e;
    return e;
}

void TfrmEprom::buildFloatingPanels(QWidget* area) {
    pProcess_ = floatingPanel(area, "pProcess", QRect(48, 240, 450, 100));
    pProcessCap_ = panelHeader(pProcess_, "Process", "pProcessCap");
    gProcess_ = new QProgressBar(pProcess_);
    gProcess_->setObjectName("gProcess");
    gProcess_->setGeometry(8, 28, 434, 20);
    gProcess_->setTextVisible(true);
    btnCancel_ = new QPushButton("&Cancel", pProcess_);
    btnCancel_->setObjectName("btnCancel");
    btnCancel_->setGeometry(362, 56, 80, 26);
    connect(btnCancel_, &QPushButton::clicked, this, [this] { btnCancelClick(ctx_); });
    const char* peakNames[3] = {"pLoopp", "pTwpp", "pTwcp"};
    const char* peakCaptions[3] = {"loop peak", "twp peak", "twc peak"};
    QLabel** peaks[3] = {&pLoopp_, &pTwpp_, &pTwcp_};
    for (int i = 0; i < 3; ++i) {
        label(pProcess_, peakCaptions[i], QRect(8 + i * 116, 54, 56, 16));
        *peaks[i] = label(pProcess_, "0", QRect(64 + i * 116, 54, 48, 16), peakNames[i]);
        (*peaks[i])->setFrameShape(QFrame::Panel);
        (*peaks[i])->setFrameShadow(QFrame::Sunken);
    }

    pIDcode_ = floatingPanel(area, "pIDcode", QRect(112, 225, 320, 130));
    panelHeader(pIDcode_, "Electronic ID");
    label(pIDcode_, "Manufacture code", QRect(8, 26, 100, 18));
    readOnlyBox(pIDcode_, "edManufacID", QRect(110, 26, 50, 20));
    label(pIDcode_, "", QRect(166, 26, 146, 18), "edManufacName");
    label(pIDcode_, "Device code", QRect(8, 50, 100, 18));
    readOnlyBox(pIDcode_, "edDeviceID", QRect(110, 50, 50, 20));
    label(pIDcode_, "", QRect(166, 50, 146, 18), "edDeviceName");
    label(pIDcode_, "Lock / Fuse Bit", QRect(8, 74, 100, 18), "lbLockbit");
    readOnlyBox(pIDcode_, "edLockbit", QRect(110, 74, 50, 20));
    readOnlyBox(pIDcode_, "edLockMode", QRect(166, 74, 146, 20));
    // Free text of routines that report their result as one text.
    lbIdText_ = label(pIDcode_, "", QRect(8, 98, 226, 28), "lbIdText");
    lbIdText_->setWordWrap(true);
    lbIdText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* okId = new QPushButton("OK", pIDcode_);
    okId->setObjectName("btnOK_ID");
    okId->setGeometry(240, 100, 72, 24);
    connect(okId, &QPushButton::clicked, pIDcode_, &QWidget::hide);  // btnLOCKBIT_Click

    pdLockBit_ = floatingPanel(area, "pdLockBit", QRect(120, 135, 280, 110));
    panelHeader(pdLockBit_, "Lock bit");
    label(pdLockBit_, "Lock Mode", QRect(8, 30, 70, 20));
    Mcs51_lockbit_ = new QComboBox(pdLockBit_);
    Mcs51_lockbit_->setObjectName("Mcs51_lockbit");
    Mcs51_lockbit_->addItems({" 1              (No lock)", " 2 bit 1       (MOVC)",
                              " 3 bit 1&2     (Verify)", " 4 bit 1&2&3 (EXEc)"});
    Mcs51_lockbit_->setGeometry(80, 28, 190, 22);
    connect(Mcs51_lockbit_, &QComboBox::activated, this,
            [this](int i) { ctx_.mcs51.LockBit = i; });
    auto* lock = new QPushButton("Lock", pdLockBit_);
    lock->setObjectName("btnLockBit");
    lock->setGeometry(110, 74, 76, 26);
    connect(lock, &QPushButton::clicked, this, [this] { btnLockBitClick(); });
    auto* cancelLock = new QPushButton("Cancel", pdLockBit_);
    cancelLock->setObjectName("btnCancelLock_");
    cancelLock->setGeometry(194, 74, 76, 26);
    connect(cancelLock, &QPushButton::clicked, pdLockBit_, &QWidget::hide);

    pRdLB_ = floatingPanel(area, "pRdLB", QRect(135, 222, 250, 90));
    panelHeader(pRdLB_, "Read Lock bit chip");
    edRdLB_ = readOnlyBox(pRdLB_, "edRdLB", QRect(8, 30, 234, 22));
    auto* okLb = new QPushButton("OK", pRdLB_);
    okLb->setObjectName("btnRdLbOK");
    okLb->setGeometry(170, 58, 72, 24);
    connect(okLb, &QPushButton::clicked, pRdLB_, &QWidget::hide);

    pPICdeviceID_ = floatingPanel(area, "pPICdeviceID", QRect(130, 210, 300, 130));
    panelHeader(pPICdeviceID_, "Microchip PIC device ID Value (2006h)");
    const char* picBoxes[5] = {"Hex", "Binary", "Dev", "Rev", "Device Name"};
    const QRect picRects[5] = {
        {8, 40, 60, 20}, {72, 40, 130, 20}, {206, 40, 40, 20}, {250, 40, 40, 20}, {8, 80, 194, 20}};
    for (int i = 0; i < 5; ++i) {
        label(pPICdeviceID_, picBoxes[i], QRect(picRects[i].x(), picRects[i].y() - 16, 100, 16));
        readOnlyBox(pPICdeviceID_, "", picRects[i])
            ->setObjectName(QString("edPIC%1").arg(picBoxes[i]).remove(' '));
    }
    auto* ok10 = new QPushButton("OK", pPICdeviceID_);
    ok10->setObjectName("Button10");
    ok10->setGeometry(218, 96, 72, 24);
    connect(ok10, &QPushButton::clicked, pPICdeviceID_, &QWidget::hide);
}

}  // namespace tavrin::ui
