#pragma once
// The main window: menus, tool bar, the five pages, the status line and the floating panels.
// Controls carry their handler names as object names so that the handlers, the settings and the
// tests can find them.

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "core/Context.h"
#include "core/Dispatch.h"
#include "devices/Settings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTableView;
class QToolBar;
class QToolButton;

namespace tavrin {
struct DeviceEntry;
class RomIdentDatabase;
}  // namespace tavrin

namespace tavrin::ui {

class DipImage;
class NumberStrip;
class ProductionBar;
class SocketPicture;
class TestHwPage;
class WindowFrontEnd;
class BufferGridModel;
class BufferEditor;
class PicSettingsPanel;
class SimulationMenu;
class AvrSettingsPanel;

inline constexpr int kFormHeight = 480;
// The application title: the caption of the program's message boxes.
inline constexpr const char* kApplicationTitle = "Tavrin Eprom ";

class TfrmEprom : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmEprom(QWidget* parent = nullptr);
    ~TfrmEprom() override;

    Context& context() { return ctx_; }
    const SettingsControls& settingsControls() const { return settings_; }
    bool running() const { return running_; }
    TestHwPage* testPage() const { return testPage_; }
    QMenu* deviceMenu() const { return mnuDevice_; }

    // Start-up: port, defaults, stored settings, cleared buffer, refresh.
    void FormCreate();
    // The window refresh.
    void winstat();
    // Redraws every control from the display state of the context.
    void applyDisplayState();
    // File -> Exit: power down, store the settings, end the program.
    void mnuExitClick();

    // Front-end services (also reached through WindowFrontEnd).
    void showMessage(const QString& text, MessageKind kind);
    void openGauge(const QString& caption, int64_t max, uint32_t color);
    void setGaugeProgress(int64_t value);
    void closeGauge();
    void setCommandsEnabled(bool enabled);
    void showPeaks(int32_t loop, int32_t twp, int32_t twc);
    void showResult(const QString& panel, const QString& text);
    bool askYesNo(const QString& question);
    void showInformation(const QString& text);

    // Selects the device whose caption or part name this is, as the device menu does; false when
    // no entry fits.
    bool selectDeviceEntry(const QString& caption);

  signals:
    void commandDone();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolBar();
    void buildDevicePage(QWidget* page);
    void buildOptionGroups(QWidget* page);
    void buildProgrammerSettings(QWidget* page);
    void buildBufferPage(QWidget* page);
    void buildTempPage(QWidget* page);
    void buildConfigsPage(QWidget* page);
    void buildFloatingPanels(QWidget* area);
    void buildDeviceMenu();

    void runCommand(Command command);
    // `checkDip`: the DIP-switch question first (the six commands ask it themselves, after their
    // preconditions).
    void runLongTask(const std::function<void()>& task, bool checkDip = true);
    void Device1Click();
    void mnuLoadClick();
    void mnuSaveClick();
    void Clear1Click(int tag);
    void InvertDATA1Click();
    void Swapbyte1Click();
    void RomIdentClick();
    void mnuTestClick();
    void AboutClick();
    void sbTavrin_Click();
    void sbRdLBClick();
    void sbLockBitClick();
    void btnLockBitClick();
    void edOffsetChange(const QString& text);
    void edOffsetExit();
    void cbCheckTypeChange(int index);
    void cbPortChange(int index);
    void cbPortDriverChange(int index);
    void cbFastEraseChange(int index);
    void cbSsizeChange(int index);
    void tbTWCChange(int tag, int value);
    void searchDevice();
    void afterSelection();
    void selectEntry(const DeviceEntry& entry);
    void replaySelection(const std::string& handler, int32_t deviceId);
    void connectGridModels();
    void showPattern(int32_t dip);
    // Frames the switches and the jumper whose setting differs from the confirmed one.
    void markDipChanges();

    void openPort(bool reportFailure);
    void putSimChip();
    void saveSettingsOnce();
    void refreshConfigsPage();
    QLineEdit* configBox(const QString& name);
    void refreshTiming();
    void refreshChecksum();
    void refreshGrids();
    void layoutGrids();
    void setCaption(const std::string& caption);

    Context ctx_;
    std::unique_ptr<WindowFrontEnd> frontEnd_;
    SettingsControls settings_;
    bool running_ = false;
    bool closePending_ = false;
    bool settingsSaved_ = false;
    bool exiting_ = false;
    bool settingTrackBars_ = false;
    std::string fileFolder_;
    std::string saveName_;
    std::unique_ptr<RomIdentDatabase> romIdent_;
    bool collectBoxes_ = false;
    int gridArrangement_ = -1;
    bool gaugeOpened_ = false;  // since the last command started
    QStringList heldBoxes_;

    // Menus and actions.
    QMenu* mnuDevice_ = nullptr;
    QAction* mnuLoad_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuRead_ = nullptr;
    QAction* mnuProgram_ = nullptr;
    QAction* mnuVerify_ = nullptr;
    QAction* mnuBlank_ = nullptr;
    QAction* mnuErase_ = nullptr;
    QAction* mnuGetID_ = nullptr;
    QAction* mnuRomIdent_ = nullptr;
    QList<QAction*> runLocked_;

    // Tool bar.
    QToolBar* pICON_ = nullptr;
    QToolButton* sbRead_ = nullptr;
    QToolButton* sbVerify_ = nullptr;
    QToolButton* sbBlank_ = nullptr;
    QToolButton* sbProg_ = nullptr;
    QToolButton* sbErase_ = nullptr;
    QToolButton* sbGetID_ = nullptr;
    QToolButton* sbTavrin_ = nullptr;
    QToolButton* sbRdLB_ = nullptr;

    // Pages.
    QTabWidget* PageControl1_ = nullptr;
    QLabel* StatusBar_ = nullptr;
    QLabel* edDevice_ = nullptr;
    QLineEdit* edSearch_ = nullptr;
    QLineEdit* edBuffer_ = nullptr;
    QLineEdit* edChecksum_ = nullptr;
    QLineEdit* edShiftAdr_ = nullptr;
    QLineEdit* edPatternAdr_ = nullptr;
    QLineEdit* edTWP_ = nullptr;
    QLineEdit* edTWC_ = nullptr;
    QSlider* tbTWP_ = nullptr;
    QSlider* tbTWC_ = nullptr;
    DipImage* JP_A18Vpp_ = nullptr;
    std::array<DipImage*, 13> dip_{};  // dip1..dip12 at 1..12
    NumberStrip* pPCB3_ = nullptr;
    NumberStrip* pTavrin_ = nullptr;
    QLabel* lbON_ = nullptr;
    QWidget* pPosition_ = nullptr;
    SocketPicture* socket_ = nullptr;
    QFrame* pAdapter_ = nullptr;
    QLabel* lbAdapter_ = nullptr;

    QLabel* lbOffset_ = nullptr;
    QLineEdit* edOffset_ = nullptr;
    QComboBox* cbCheckType_ = nullptr;
    QComboBox* cbPort_ = nullptr;
    QComboBox* cbPortDriver_ = nullptr;
    QCheckBox* cbSkip_0xFF_ = nullptr;
    QCheckBox* cbFastPro_ = nullptr;
    QCheckBox* cb5555_ = nullptr;

    std::vector<QGroupBox*> optionGroups_;
    QGroupBox* p49F00xsetting_ = nullptr;
    QComboBox* cbSsize_ = nullptr;
    QLabel* lbSsizeWarning_ = nullptr;
    QComboBox* cbFastErase_ = nullptr;
    QCheckBox* cbProtect_ = nullptr;
    std::array<QRadioButton*, 4> rbLock_{};
    QPushButton* sbLockBit_ = nullptr;

    QTableView* HexGrid_ = nullptr;
    QTableView* ProgGrid_ = nullptr;
    BufferGridModel* hexModel_ = nullptr;
    BufferGridModel* progModel_ = nullptr;
    BufferEditor* bufferEditor_ = nullptr;  // editing in the grids, the "Modified" mark
    QLineEdit* edTemp_ = nullptr;
    std::map<QString, QLineEdit*> configBoxes_;
    QGroupBox* configEprom_ = nullptr;
    QGroupBox* configPic_ = nullptr;
    QGroupBox* configMcs51_ = nullptr;
    std::map<QGroupBox*, int> configCount_;
    TestHwPage* testPage_ = nullptr;

    // Floating panels.
    QFrame* pProcess_ = nullptr;
    QLabel* pProcessCap_ = nullptr;
    QProgressBar* gProcess_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QLabel* pLoopp_ = nullptr;
    QLabel* pTwpp_ = nullptr;
    QLabel* pTwcp_ = nullptr;
    QFrame* pIDcode_ = nullptr;
    QLabel* lbIdText_ = nullptr;
    QFrame* pdLockBit_ = nullptr;
    QComboBox* Mcs51_lockbit_ = nullptr;
    QFrame* pRdLB_ = nullptr;
    QLineEdit* edRdLB_ = nullptr;
    QFrame* pPICdeviceID_ = nullptr;
    std::shared_ptr<PicSettingsPanel> picPanel_;  // the controls of pPICSettings
    std::shared_ptr<AvrSettingsPanel> avrPanel_;  // the controls of pAVRsetting
    ProductionBar* production_ = nullptr;          // auto sequence, counter, production options
    SimulationMenu* simulation_ = nullptr;         // shown while the simulated board is the port
};

}  // namespace tavrin::ui
