// The window with devices selected: the device menu, the switch pictures, the settings replay,
// and program / read / cancel / close of a simulated 27C256 through the menu commands.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "WindowSupport.h"
#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "ui/BoardPictures.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

namespace {

int dipImage(TfrmEprom& w, int place) {
    return child<DipImage>(w, qPrintable(QString("dip%1").arg(place)))->image();
}

QByteArray pattern(int size) {
    QByteArray data(size, 0);
    for (int i = 0; i < size; ++i) data[i] = char((i * 7 + (i >> 8) * 13) & 0xFF);
    return data;
}

}  // namespace

class DeviceWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void deviceMenuShows27C64();
    void deviceMenuOpensFromMenuBarAndDevicePanel();
    void searchBoxSelectsByPartName();
    void stored29FxxxRestartsWithSkipUnchecked();
    void programAndReadA27C256();
    void cancelStopsProgrammingUnpowered();
    void closingDuringARunWaitsForPowerDown();
    void gridsFollowTheDevice();
    void romIdentWithoutDataFilesDisablesTheEntry();
    void portThatCannotOpenShowsTheDriverBox();
    void romIdentListsTheMatchingEntries();
    void blankCheckOnNavyAndOffsetQuestion();
    void portDriverChoiceFollowsThePrinterPort();
    void wordGridAboveDataBytesForPic();
};

void DeviceWindowTest::deviceMenuShows27C64() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C64");
    QCOMPARE(child<QLabel>(*w, "edDevice")->text(), QString("27C64"));
    QCOMPARE(child<QLineEdit>(*w, "edShiftAdr")->text(), QString(" A0 --> A12"));
    QCOMPARE(child<QLineEdit>(*w, "edPatternAdr")->text(), QString(" 0x001000"));
    QCOMPARE(child<QLineEdit>(*w, "edBuffer")->text(), QString(" 0x1FFF"));
    QCOMPARE(child<DipImage>(*w, "JP_A18Vpp")->image(), 4);
    // Older board (the first-run default): switch k on place 13 - k, "1" drawn with image 2.
    const QList<int> on{1, 2, 4, 6, 9};
    QCOMPARE(w->context().profile.tavrin, 0);
    for (int k = 1; k <= 12; ++k) QCOMPARE(dipImage(*w, 13 - k), on.contains(k) ? 2 : 1);
    QCOMPARE(child<QLabel>(*w, "lbON")->y(), 175);
    QVERIFY(child<QWidget>(*w, "pTavrin")->isVisible());
    QVERIFY(!child<QWidget>(*w, "pPCB3")->isVisible());
    QCOMPARE(child<SocketPicture>(*w, "imgSocket")->picture(), QString("imgZIF28"));
    QVERIFY(child<QWidget>(*w, "p27CSettings")->isVisible());
    QCOMPARE(child<QLineEdit>(*w, "edTWP")->text(), QString(" 140.0 uS"));

    // PCB3: the same pattern mirrored with the lever images exchanged, "ON" at 150.
    QTest::mouseClick(child<QToolButton>(*w, "sbTavrin"), Qt::LeftButton);
    QCOMPARE(child<QToolButton>(*w, "sbTavrin")->text(), QString("PCB3"));
    for (int k = 1; k <= 12; ++k) QCOMPARE(dipImage(*w, k), on.contains(k) ? 1 : 2);
    QCOMPARE(child<QLabel>(*w, "lbON")->y(), 150);
    QVERIFY(child<QWidget>(*w, "pPCB3")->isVisible());
    QCOMPARE(child<DipImage>(*w, "JP_A18Vpp")->image(), 4);
    // And back: "ON" moves from 150 to 175.
    QTest::mouseClick(child<QToolButton>(*w, "sbTavrin"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(*w, "lbON")->y(), 175);
    QCOMPARE(dipImage(*w, 12), 2);
}

void DeviceWindowTest::deviceMenuOpensFromMenuBarAndDevicePanel() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->deviceMenu()->isVisible());
    child<QAction>(*w, "Device1")->trigger();
    QTRY_VERIFY(w->deviceMenu()->isVisible());
    w->deviceMenu()->hide();
    QTest::mousePress(child<QLabel>(*w, "edDevice"), Qt::LeftButton);
    QTRY_VERIFY(w->deviceMenu()->isVisible());
    w->deviceMenu()->hide();
    QStringList top;
    for (QAction* a : w->deviceMenu()->actions())
        if (!a->isSeparator()) top << a->text();
    QVERIFY(top.contains("EPROM"));
    QVERIFY(top.contains("EEPROM"));
}

void DeviceWindowTest::searchBoxSelectsByPartName() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* search = child<QLineEdit>(*w, "edSearch");
    search->setFocus();
    QTest::keyClicks(search, "27c256");
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(child<QLabel>(*w, "edDevice")->text(), QString("27C256"));
    QCOMPARE(w->context().profile.bufferSize, 32768);
    QVERIFY(search->text().isEmpty());
    // Several parts fit: a short menu offers them, and choosing one selects it.
    QTest::keyClicks(search, "27C1");
    QTest::keyClick(search, Qt::Key_Return);
    auto* results = w->findChild<QMenu*>("mnuSearchResults");
    QVERIFY(results);
    QVERIFY(results->actions().size() > 1);
    results->actions().front()->trigger();
    QVERIFY(child<QLabel>(*w, "edDevice")->text().startsWith("27C1"));
    results->close();
    // An entry the menu shows disabled is refused, as on the command line.
    const QString before = child<QLabel>(*w, "edDevice")->text();
    search->clear();
    QTest::keyClicks(search, "AT29LV010");
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(child<QLabel>(*w, "edDevice")->text(), before);
    QVERIFY2(status(*w).contains("cannot be selected"), qPrintable(status(*w)));
}

void DeviceWindowTest::stored29FxxxRestartsWithSkipUnchecked() {
    SettingsFolder folder;
    const DeviceEntry* flash = nullptr;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (e.handler == "M29F_Click" && e.selectable && e.enabled && e.tag != 0) {
            flash = &e;
            break;
        }
    QVERIFY(flash);
    const QString caption = QString::fromStdString(flash->caption);
    {
        auto w = makeWindow();
        chooseDevice(*w, caption);
        auto* skip = child<QCheckBox>(*w, "cbSkip_0xFF");
        QVERIFY(skip->isChecked());  // the 29Fxxx handler checks it
        QVERIFY(skip->isEnabled());
        QTest::mouseClick(skip, Qt::LeftButton);
        QCOMPARE(w->context().profile.skipFF, 0);
        QVERIFY(w->close());
    }
    QCOMPARE(folder.open().value("Epr_Skip0xFF").toInt(), 0);
    QCOMPARE(folder.open().value("Epr_DeviceID").toInt(), flash->tag);
    auto w = makeWindow();
    QCOMPARE(w->context().profile.eep, flash->eep);
    QCOMPARE(w->context().profile.DeviceID, flash->tag);
    QCOMPARE(w->context().profile.bufferSize, flash->size);
    QCOMPARE(child<QLabel>(*w, "edDevice")->text(), caption);
    QVERIFY(!child<QCheckBox>(*w, "cbSkip_0xFF")->isChecked());
    QCOMPARE(w->context().profile.skipFF, 0);
    QCOMPARE(w->context().Buffer[100], uint8_t(0xFF));
}

void DeviceWindowTest::programAndReadA27C256() {
    SettingsFolder folder;
    QTemporaryDir files;
    const QString path = files.filePath("image.bin");
    const QByteArray data = pattern(32768);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    const QStringList filters = loadThroughDialog(*w, path);
    QCOMPARE(filters.mid(0, 6),
             QStringList({"Binary  (*.BIN)", "Intel Hex  (*.HEX)", "Motorola S Record (*.S)",
                          "All Eprom Files", "ROM (binary) (*.ROM)", "EEPROM (*.eep)"}));
    QCOMPARE(filters.value(6), filters.value(3));  // entry 4 preset
    QCOMPARE(filters.value(7), QString("Select Eprom file to Load"));
    QCOMPARE(status(*w), QString("Binary File loaded OK"));
    QCOMPARE(w->windowTitle(), QString("Tavrin Eprom Prog(0.95B)- image.bin"));
    QCOMPARE(w->context().profile.bufferLoaded, 32768u);

    // Program: watch the panel and the locks while the routine runs.
    int maxSeen = 0, panelSeen = 0, unlocked = 0;
    auto* gauge = child<QProgressBar>(*w, "gProcess");
    QMetaObject::Connection watch = connect(gauge, &QProgressBar::valueChanged, [&](int v) {
        maxSeen = std::max(maxSeen, v);
        panelSeen += child<QWidget>(*w, "pProcess")->isVisible();
        unlocked += child<QToolBar>(*w, "pICON")->isEnabled() +
                    child<QAction>(*w, "mnuLoad")->isEnabled() +
                    child<QAction>(*w, "mnuRead")->isEnabled() +
                    child<QAction>(*w, "Device1")->isEnabled() +
                    child<QWidget>(*w, "tsTestHW")->isEnabled() +
                    child<QWidget>(*w, "tsDevice")->isEnabled() +
                    !child<QPushButton>(*w, "btnCancel")->isEnabled() +
                    !child<QPushButton>(*w, "btnCancel")->isVisible();
    });
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    disconnect(watch);
    QCOMPARE(status(*w), QString("Device Programed OK"));
    QVERIFY(maxSeen > 30000);
    QVERIFY(panelSeen > 0);
    QCOMPARE(unlocked, 0);
    QVERIFY(!child<QWidget>(*w, "pProcess")->isVisible());
    QVERIFY(child<QToolBar>(*w, "pICON")->isEnabled());
    QVERIFY(child<QAction>(*w, "mnuLoad")->isEnabled());
    QVERIFY(!board(*w).socketPowered());

    // Read it back into a cleared buffer.
    child<QAction>(*w, "Clear00")->trigger();
    QCOMPARE(w->context().Buffer[1], uint8_t(0));
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Chip read OK"));
    QVERIFY(std::equal(data.begin(), data.end(), w->context().Buffer.begin(),
                       [](char a, uint8_t b) { return uint8_t(a) == b; }));
    QVERIFY(!board(*w).socketPowered());
    QTest::keyClick(w.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Device Verify OK"));
}

void DeviceWindowTest::cancelStopsProgrammingUnpowered() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    w->context().profile.bufferLoaded = 32768;
    std::fill_n(w->context().Buffer.begin(), 32768, 0x5A);
    auto* gauge = child<QProgressBar>(*w, "gProcess");
    int stoppedAt = -1;
    QMetaObject::Connection watch = connect(gauge, &QProgressBar::valueChanged, [&](int v) {
        if (v == 500) QTest::mouseClick(child<QPushButton>(*w, "btnCancel"), Qt::LeftButton);
        stoppedAt = v;
    });
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    disconnect(watch);
    QCOMPARE(status(*w), QString("program interrupted!"));
    QVERIFY(stoppedAt >= 500 && stoppedAt < 510);
    QVERIFY(!board(*w).socketPowered());
    QVERIFY(child<QToolBar>(*w, "pICON")->isEnabled());
}

void DeviceWindowTest::closingDuringARunWaitsForPowerDown() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    bool closedDuringRun = true;
    bool poweredAtClose = false;
    auto* gauge = child<QProgressBar>(*w, "gProcess");
    QMetaObject::Connection watch = connect(gauge, &QProgressBar::valueChanged, [&](int v) {
        if (v == 1000) {
            poweredAtClose = board(*w).vccOn();
            closedDuringRun = w->close();
        }
    });
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    disconnect(watch);
    QVERIFY(poweredAtClose);
    QVERIFY(!closedDuringRun);  // refused while the routine owned the board
    QCOMPARE(status(*w), QString("Process Cancelled"));
    QVERIFY(!w->isVisible());  // closed once the routine had finished
    QVERIFY(!board(*w).socketPowered());
    QCOMPARE(folder.open().value("Epr_DeviceID").toInt(), 204);
}

void DeviceWindowTest::gridsFollowTheDevice() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    auto* hex = child<QTableView>(*w, "HexGrid");
    QAbstractItemModel* model = hex->model();
    QCOMPARE(model->rowCount(), 2048);
    QCOMPARE(model->columnCount(), 18);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Offset"));
    QCOMPARE(model->headerData(17, Qt::Horizontal).toString(), QString("    Ascii"));
    w->context().Buffer[0x12] = 'A';
    w->context().profile.bufferLoaded = 32768;
    child<QAction>(*w, "InvertDATA1")->trigger();
    QCOMPARE(model->index(1, 0).data().toString(), QString("$000010"));
    QCOMPARE(model->index(1, 3).data().toString(), QString("be"));
    QCOMPARE(model->index(0, 1).data().toString(), QString("00"));
    QCOMPARE(child<QLineEdit>(*w, "edChecksum")->text(), QString("0x00BE"));
    child<QAction>(*w, "ClearFF")->trigger();
    QCOMPARE(child<QLineEdit>(*w, "edChecksum")->text(), QString("0x8000"));
    QVERIFY(child<QTableView>(*w, "ProgGrid")->isHidden());
    // A 256-byte part: 29 grid rows, the ones past the device empty.
    const DeviceEntry* small = nullptr;
    for (const DeviceEntry& e : DeviceCatalogue())
        if (e.size == 256 && e.selectable && e.enabled) small = &e;
    if (small) {
        chooseDevice(*w, QString::fromStdString(small->caption));
        QCOMPARE(model->rowCount(), 28);
        QCOMPARE(model->index(15, 0).data().toString(), QString("$0000f0"));
        QVERIFY(!model->index(16, 0).data().isValid());
    }
}

void DeviceWindowTest::romIdentWithoutDataFilesDisablesTheEntry() {
    SettingsFolder folder;
    QTemporaryDir empty;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(empty.path());
    auto w = makeWindow();
    QString text;
    answerNextBox(QMessageBox::Ok, &text);
    child<QAction>(*w, "RomIdent1")->trigger();
    QDir::setCurrent(previous);
    QVERIFY(text.startsWith("ROMIDENT Data files needed for this function !"));
    QVERIFY(!child<QAction>(*w, "RomIdent1")->isEnabled());
}

void DeviceWindowTest::portThatCannotOpenShowsTheDriverBox() {
    SettingsFolder folder;
    qputenv("TAVRIN_PORT", "ppdev:/nonexistent/parport9");
    QString text;
    answerNextBox(QMessageBox::Ok, &text);
    auto w = makeWindow();
    qputenv("TAVRIN_PORT", "sim");
    QVERIFY(text.startsWith("Could not open the DriverLINX driver.\n"));
    QVERIFY(text.size() > int(strlen("Could not open the DriverLINX driver.\n")));
    QVERIFY(!w->context().port().isOpen());
    // The window stays usable; commands find no board.
    chooseDevice(*w, "27C256");
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Hardware Error :  Check Power && connection"));
}

void DeviceWindowTest::romIdentListsTheMatchingEntries() {
    SettingsFolder folder;
    QTemporaryDir db;
    QByteArray titles(160, 0);
    titles.replace(0, 4, "Game");
    titles.replace(80, 5, "Other");
    QByteArray entries(56, 0);
    // Entry 0: title 1, name "rom-b", CRC 0 (no data loaded); entry 1: title 0, CRC 1.
    entries[0] = 1;
    entries.replace(2, 5, "rom-b");
    entries[28] = 0;
    entries.replace(30, 5, "rom-a");
    entries[28 + 20] = 1;
    for (const auto& [name, bytes] :
         {std::pair{"romident.gam", titles}, std::pair{"romident.rom", entries}}) {
        QFile f(db.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(db.path());
    auto w = makeWindow();
    QString text;
    answerNextBox(QMessageBox::Ok, &text);
    child<QAction>(*w, "RomIdent1")->trigger();
    QDir::setCurrent(previous);
    QCOMPARE(text, QString("ROMIDENT V2.1 - Data File Revision 2\n\nrom-b from Other\n"));
    QVERIFY(child<QAction>(*w, "RomIdent1")->isEnabled());
}

void DeviceWindowTest::blankCheckOnNavyAndOffsetQuestion() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    auto* gauge = child<QProgressBar>(*w, "gProcess");
    QString sheet;
    QMetaObject::Connection watch =
        connect(gauge, &QProgressBar::valueChanged, [&](int) { sheet = gauge->styleSheet(); });
    QTest::keyClick(w.get(), Qt::Key_B, Qt::ControlModifier);
    disconnect(watch);
    QCOMPARE(status(*w), QString("Device is Empty"));
    QVERIFY2(sheet.contains("#000080") && sheet.contains("#ffffff"), qPrintable(sheet));

    // An offset asks first; No runs from address 0 and resets the box.
    auto* offset = child<QLineEdit>(*w, "edOffset");
    offset->setFocus();
    offset->selectAll();
    QTest::keyClicks(offset, "100");
    QCOMPARE(w->context().profile.Offset, 0x100u);
    child<QLineEdit>(*w, "edSearch")->setFocus();
    QCOMPARE(offset->text(), QString("0100"));
    w->context().profile.bufferLoaded = 16;
    QString question;
    answerNextBox(QMessageBox::No, &question);
    QVERIFY(activate(*w));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(question, QString("Use offset of 0x000100"));
    QCOMPARE(w->context().profile.Offset, 0u);
    QCOMPARE(offset->text(), QString("0000"));
    QCOMPARE(status(*w), QString("Device Programed OK"));

    // Data past the end of the device: asked once, and No programs nothing.
    w->context().profile.bufferLoaded = 0x10000;
    question.clear();
    answerNextBox(QMessageBox::No, &question);
    QVERIFY(activate(*w));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY2(question.contains("32768 bytes"), qPrintable(question));
    QCOMPARE(status(*w), QString("Nothing to program: the data does not fit the device"));
}

void DeviceWindowTest::portDriverChoiceFollowsThePrinterPort() {
    if (QFile::exists("/dev/parport0") || QFile::exists("/dev/parport1"))
        QSKIP("a parallel port is present");
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    auto* driver = child<QComboBox>(*w, "cbPortDriver");
    auto* port = child<QComboBox>(*w, "cbPort");
    QString text;
    answerNextBox(QMessageBox::Ok, &text);
    driver->setCurrentIndex(driver->findData("ppdev"));
    emit driver->activated(driver->currentIndex());
    QVERIFY(text.contains("/dev/parport0"));
    QVERIFY(!w->context().port().isOpen());
    text.clear();
    answerNextBox(QMessageBox::Ok, &text);
    port->setCurrentIndex(1);
    emit port->activated(1);
    QVERIFY(text.contains("/dev/parport1"));
    QCOMPARE(w->context().bus.DataPort, uint16_t(0x278));
    // Back on the simulated board the selected part is in the socket again.
    driver->setCurrentIndex(driver->findData("sim"));
    emit driver->activated(driver->currentIndex());
    QVERIFY(w->context().port().isOpen());
    QVERIFY(board(*w).chip() != nullptr);
    QVERIFY(activate(*w));
    QTest::keyClick(w.get(), Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Device is Empty"));
    QVERIFY(w->close());
    QCOMPARE(folder.open().value("PORT_DRIVER").toString(), QString("sim"));
    QCOMPARE(folder.open().value("PORT").toInt(), 1);
}

void DeviceWindowTest::wordGridAboveDataBytesForPic() {
    SettingsFolder folder;
    auto w = makeWindow();
    Context& ctx = w->context();
    // A 14-bit PIC with data memory, set up the way its selection handler leaves the profile.
    ctx.profile.PIC = 1;
    ctx.profile.eep = 16;
    ctx.profile.picDataBytes = 64;
    SetBufferSize(ctx, 1024);
    ClearBuf(ctx, 1);
    w->winstat();
    auto* prog = child<QTableView>(*w, "ProgGrid");
    auto* hex = child<QTableView>(*w, "HexGrid");
    QVERIFY(!prog->isHidden());
    QVERIFY(!hex->isHidden());
    QCOMPARE(prog->model()->rowCount(), 128);
    QCOMPARE(prog->model()->headerData(0, Qt::Horizontal).toString(), QString("Program"));
    QCOMPARE(prog->model()->index(0, 1).data().toString(), QString("3fff"));
    QCOMPARE(prog->model()->index(1, 0).data().toString(), QString("$000008"));
    QCOMPARE(hex->model()->headerData(0, Qt::Horizontal).toString(), QString(" Data"));
    QCOMPARE(hex->height(), 112);
    // Without data memory the words fill the page alone.
    ctx.profile.picDataBytes = 0;
    w->winstat();
    QVERIFY(hex->isHidden());
    QVERIFY(!prog->isHidden());
    // A byte-wide part again: only the byte grid, headed "Offset".
    chooseDevice(*w, "27C256");
    QVERIFY(!hex->isHidden());
    QVERIFY(prog->isHidden());
    QCOMPARE(hex->model()->headerData(0, Qt::Horizontal).toString(), QString("Offset"));
}

QTEST_MAIN(DeviceWindowTest)
#include "DeviceWindow_test.moc"
