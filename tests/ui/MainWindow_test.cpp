// The window end to end on the simulated board: menus, short-cuts, settings, the Test H/W page.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "devices/Settings.h"

#include "WindowSupport.h"
#include "ui/BoardPictures.h"
#include "ui/TestHwPage.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void captionsAndEmptyEditMenu();
    void shortcutsReachTheirCommands();
    void ctrlCIsVerifyEvenInTheOffsetBox();
    void offsetBoxParsesHexUpToTheFirstBadCharacter();
    void firstRunDefaults();
    void settingsWrittenAtCloseAreReadBack();
    void exitStoresOnceAndPowersDown();
    void testHardwareReportsOnTheStatusLineOnly();
    void testPageAddressButtons();
    void testPageDataButtonsAndReadBack();
    void testPageClearAll();
    void testPageSerialOut();
    void statusLineColoursByKind();
    void sectorSizeItemSetsSsize();
    void aboutBoxAndAdapterPanel();
};

void MainWindowTest::captionsAndEmptyEditMenu() {
    SettingsFolder folder;
    auto w = makeWindow();
    QCOMPARE(w->windowTitle(), QString("Tavrin Eprom Prog(0.95B)- "));
    QCOMPARE(w->size(), QSize(550, 480));
    QStringList menus;
    for (QAction* a : w->menuBar()->actions()) menus << a->text();
    // The fixed menus in their order; only the simulated board's own menu comes after them.
    QCOMPARE(menus.mid(0, 5), QStringList({"&File", "&Edit", "&Device", "&Action", "&Help"}));
    QCOMPARE(menus.mid(5), QStringList({"&Simulation"}));
    QVERIFY(child<QMenu>(*w, "mnuEdit")->actions().isEmpty());
    QStringList actionMenu;
    for (QAction* a : child<QMenu>(*w, "mnuAction")->actions()) actionMenu << a->text();
    QCOMPARE(actionMenu,
             QStringList({"&Read", "&Program/Test RAM", "&Compare/Verify", "&Blank Check",
                          "&Erase 28/29/49/89/90/PIC", "&Get ID 28/29/49/89/90", "Clear Buffer",
                          "Invert DATA", "Swap BYTE", "RomIdent"}));
    auto* pages = child<QTabWidget>(*w, "PageControl1");
    QCOMPARE(pages->currentIndex(), 0);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    QCOMPARE(tabs, QStringList({"Device", "Buffer", "temp", "Configs", "Test H/W"}));
    QCOMPARE(child<QToolButton>(*w, "sbRead")->toolTip(), QString("Read Chip"));
    QCOMPARE(child<QToolButton>(*w, "sbTavrin")->toolTip(), QString("Swap DIP SW"));
    QCOMPARE(child<QToolButton>(*w, "sbTavrin")->text(), QString("Tavrin"));
    QCOMPARE(child<QWidget>(*w, "pProcess")->pos(), QPoint(48, 240));
    QCOMPARE(child<QWidget>(*w, "pIDcode")->pos(), QPoint(112, 225));
    QCOMPARE(child<QWidget>(*w, "pPICdeviceID")->pos(), QPoint(130, 210));
}

void MainWindowTest::shortcutsReachTheirCommands() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const struct {
        Qt::Key key;
        const char* message;
    } cases[] = {{Qt::Key_R, "Please select a Device Type"},
                 {Qt::Key_P, "Please select a Device Type"},
                 {Qt::Key_C, "Please select a Device Type"}};
    for (const auto& c : cases) {
        child<QLabel>(*w, "StatusBar")->clear();
        QTest::keyClick(w.get(), c.key, Qt::ControlModifier);
        QCOMPARE(status(*w), QString(c.message));
    }
    // Without a device the refresh treats the profile as a 27Cxxx: no Erase, no Get ID.
    QVERIFY(!child<QAction>(*w, "mnuErase")->isEnabled());
    QVERIFY(!child<QAction>(*w, "mnuGetID")->isEnabled());
    QVERIFY(!child<QToolButton>(*w, "sbErase")->isEnabled());
    child<QLabel>(*w, "StatusBar")->clear();
    QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(status(*w), QString());
    // Ctrl+L and Ctrl+S open their dialogs (closed again at once).
    for (Qt::Key key : {Qt::Key_L, Qt::Key_S}) {
        QVERIFY(activate(*w));
        QString title;
        closeNextDialog(&title);
        QTest::keyClick(w.get(), key, Qt::ControlModifier);
        QCOMPARE(title, QString(key == Qt::Key_L ? "FileOpen" : "FileSave"));
    }
    // Blank check without a device stays silent.
    child<QLabel>(*w, "StatusBar")->clear();
    QTest::keyClick(w.get(), Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(status(*w), QString());
    QVERIFY(!board(*w).socketPowered());
}

void MainWindowTest::ctrlCIsVerifyEvenInTheOffsetBox() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* offset = child<QLineEdit>(*w, "edOffset");
    offset->setFocus();
    offset->selectAll();
    QVERIFY(offset->hasFocus());
    QTest::keyClick(offset, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Please select a Device Type"));
    // Other keys still edit the box.
    QTest::keyClicks(offset, "12");
    QCOMPARE(w->context().profile.Offset, 0x12u);
    // The same in a read-only box and in the byte grid.
    for (const char* name : {"edChecksum", "HexGrid"}) {
        child<QLabel>(*w, "StatusBar")->clear();
        auto* target = child<QWidget>(*w, name);
        if (std::string(name) == "HexGrid")
            child<QTabWidget>(*w, "PageControl1")->setCurrentIndex(1);
        target->setFocus();
        QVERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(status(*w), QString("Please select a Device Type"));
    }
}

void MainWindowTest::offsetBoxParsesHexUpToTheFirstBadCharacter() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* offset = child<QLineEdit>(*w, "edOffset");
    QCOMPARE(offset->text(), QString("0000"));
    offset->setFocus();
    offset->selectAll();
    QTest::keyClicks(offset, "1G");
    QCOMPARE(w->context().profile.Offset, 1u);
    child<QLineEdit>(*w, "edSearch")->setFocus();  // leaving the box rewrites it
    QCOMPARE(offset->text(), QString("0001"));
    offset->setFocus();
    offset->selectAll();
    QTest::keyClicks(offset, "G");
    QCOMPARE(w->context().profile.Offset, 1u);
    offset->selectAll();
    QTest::keyClicks(offset, "abcdef12");
    QCOMPARE(w->context().profile.Offset, 0xabcdef12u);
    QCOMPARE(offset->text().size(), 8);
}

void MainWindowTest::firstRunDefaults() {
    SettingsFolder folder;
    auto w = makeWindow();
    QCOMPARE(child<QComboBox>(*w, "cbPort")->currentText(), QString("LPT1 (0x378)"));
    QCOMPARE(child<QComboBox>(*w, "cbFastErase")->currentText(), QString("On"));
    QCOMPARE(child<QComboBox>(*w, "cbCheckType")->currentText(), QString("16 Bit Addition"));
    QCOMPARE(w->context().profile.bufferSize, 0);
    QCOMPARE(w->context().profile.tavrin, 0);
    QCOMPARE(w->context().bus.DataPort, uint16_t(0x378));
    QCOMPARE(w->context().Buffer[0], uint8_t(0xFF));
    QCOMPARE(w->context().Buffer[kBufferBytes - 1], uint8_t(0xFF));
    QVERIFY(!board(*w).socketPowered());
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(status(*w), QString("Please select a Device Type"));
}

void MainWindowTest::settingsWrittenAtCloseAreReadBack() {
    SettingsFolder folder;
    {
        auto w = makeWindow();
        auto* port = child<QComboBox>(*w, "cbPort");
        port->setCurrentIndex(2);
        emit port->activated(2);
        auto* check = child<QComboBox>(*w, "cbCheckType");
        check->setCurrentIndex(1);
        emit check->activated(1);
        child<QCheckBox>(*w, "cbFastPro")->setChecked(true);
        QTest::mouseClick(child<QToolButton>(*w, "sbTavrin"), Qt::LeftButton);
        QCOMPARE(w->context().profile.tavrin, 1);
        QVERIFY(w->close());
    }
    {
        QSettings s = folder.open();
        QCOMPARE(s.value("PORT").toInt(), 2);
        QCOMPARE(s.value("CHECKSUM").toInt(), 1);
        QCOMPARE(s.value("Epr_tavrin").toInt(), 1);
        QCOMPARE(s.value("PORT_DRIVER").toString(), QString("sim"));
    }
    auto w = makeWindow();
    QCOMPARE(child<QComboBox>(*w, "cbPort")->currentIndex(), 2);
    QCOMPARE(w->context().bus.ControlPort, uint16_t(0x3BE));
    QCOMPARE(child<QComboBox>(*w, "cbCheckType")->currentIndex(), 1);
    QCOMPARE(w->context().profile.checkType, 1);
    QCOMPARE(w->context().profile.tavrin, 1);
    QCOMPARE(child<QToolButton>(*w, "sbTavrin")->text(), QString("PCB3"));
}

void MainWindowTest::exitStoresOnceAndPowersDown() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto& b = board(*w);
    // Leave the socket live from the Test H/W page, then exit through the menu.
    child<QCheckBox>(*w, "cbPin32")->setChecked(true);
    QVERIFY(b.vccOn());
    b.trace().clear();
    child<QAction>(*w, "mnuExit")->trigger();
    QVERIFY(!b.socketPowered());
    QVERIFY(!w->isVisible());
    QSettings s = folder.open();
    // The twelve values, the port driver and the production options.
    QCOMPARE(s.allKeys().size(), 13 + int(tavrin::kProductionSettingNames.size()));
    // The close that follows the menu exit does not store again: change a value behind its back.
    s.setValue("PORT", 1);
    s.sync();
    w->close();
    QCOMPARE(folder.open().value("PORT").toInt(), 1);
}

void MainWindowTest::testHardwareReportsOnTheStatusLineOnly() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto* pages = child<QTabWidget>(*w, "PageControl1");
    child<QAction>(*w, "mnuTest")->trigger();
    QCOMPARE(status(*w), QString("Hardware present "));
    QCOMPARE(pages->currentIndex(), 0);
    board(*w).setPowered(false);
    child<QAction>(*w, "mnuTest")->trigger();
    QCOMPARE(status(*w), QString("Hardware Error :  Check Power && connection"));
    QVERIFY(!board(*w).socketPowered());
}

void MainWindowTest::testPageAddressButtons() {
    SettingsFolder folder;
    auto w = makeWindow();
    TestHwPage& page = *w->testPage();
    auto& b = board(*w);
    page.button(3)->click();  // "A0->A17   0x15555"
    QCOMPARE(page.button(3)->text(), QString("A0->A17   0x15555"));
    QCOMPARE(page.addressText(), QString(" 0x15555"));
    for (size_t k = 0; k < kAddressPins.size(); ++k)
        QCOMPARE(page.pin(kAddressPins[k])->isChecked(), k % 2 == 0);
    QCOMPARE(b.addressRegister() & 0x3FFFF, 0x15555u);
    page.button(4)->click();
    QCOMPARE(page.addressText(), QString(" 0x3FFFF"));
    QCOMPARE(b.addressRegister() & 0x7FFFF, 0x3FFFFu);  // bit 18 is shifted in as 0
    page.button(2)->click();
    QCOMPARE(page.addressText(), QString(" 0x2AAAA"));
    QCOMPARE(b.addressRegister() & 0x3FFFF, 0x2AAAAu);
    page.button(1)->click();
    QCOMPARE(page.addressText(), QString(" 0x00000"));
    QCOMPARE(b.addressRegister() & 0x3FFFF, 0u);
    // Each changed box refreshes once, the button once more: 9 boxes + 1.
    const int before = page.refreshes();
    page.button(3)->click();
    QCOMPARE(page.refreshes() - before, 10);
}

void MainWindowTest::testPageDataButtonsAndReadBack() {
    SettingsFolder folder;
    auto w = makeWindow();
    TestHwPage& page = *w->testPage();
    auto& b = board(*w);
    page.button(6)->click();  // "D0->D7   0xAA"
    QVERIFY(page.pin(24)->isChecked());
    QCOMPARE(page.dataLabel(), QString("Data Out"));
    QCOMPARE(page.dataText(), QString(" 0xAA"));
    QVERIFY(b.controlRegister() & Bits::DataOut);
    QCOMPARE(b.socketData(), uint8_t(0xAA));
    page.button(8)->click();
    QCOMPARE(b.socketData(), uint8_t(0xFF));
    // "Read Data": the data boxes are disabled and the empty socket reads its pull-ups.
    page.button(10)->click();
    QVERIFY(!page.pin(24)->isChecked());
    QCOMPARE(page.dataLabel(), QString("Data In"));
    QVERIFY(!page.pin(13)->isEnabled());
    QVERIFY(!(b.controlRegister() & Bits::DataOut));
    QCOMPARE(page.dataText(), QString(" 0xFF"));
}

void MainWindowTest::testPageClearAll() {
    SettingsFolder folder;
    auto w = makeWindow();
    TestHwPage& page = *w->testPage();
    auto& b = board(*w);
    page.pin(32)->setChecked(true);
    page.pin(1)->setChecked(true);
    page.pin(31)->setChecked(true);
    page.button(4)->click();
    QVERIFY(b.vccOn() && b.vppOn());
    QCOMPARE(b.controlRegister() & Bits::Strobe, 0);
    page.button(9)->click();  // "Clear All"
    QVERIFY(!b.vccOn());
    QVERIFY(!b.vppOn());
    QVERIFY(b.controlRegister() & Bits::Strobe);  // WE unchecked: strobe asserted
    QVERIFY(!(b.controlRegister() & Bits::DataOut));
    QCOMPARE(b.addressRegister() & 0x3FFFF, 0u);
    QCOMPARE(page.dataLabel(), QString("Data In"));
    for (int pin : {1, 24, 31, 32}) QVERIFY(!page.pin(pin)->isChecked());
}

void MainWindowTest::testPageSerialOut() {
    SettingsFolder folder;
    auto w = makeWindow();
    TestHwPage& page = *w->testPage();
    auto& b = board(*w);
    QTest::mouseClick(page.serialOut(), Qt::LeftButton);
    QVERIFY(page.pin(32)->isChecked());
    QVERIFY(page.pin(24)->isChecked());
    QVERIFY(page.pin(13)->isChecked());
    QVERIFY(b.vccOn());
    QVERIFY(b.controlRegister() & Bits::DataOut);
    QCOMPARE(b.dataRegister() & 1, 1);
    // With the board powered, pin 11 follows D0 back: the serial input reads "1".
    QCOMPARE(page.serialInText(), QString("1"));
    QTest::mouseClick(page.serialOut(), Qt::LeftButton);
    QCOMPARE(b.dataRegister() & 1, 0);
    QCOMPARE(page.serialInText(), QString("0"));
    page.button(9)->click();
    QVERIFY(!b.socketPowered());
}

void MainWindowTest::statusLineColoursByKind() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto* line = child<QLabel>(*w, "StatusBar");
    const struct {
        MessageKind kind;
        QColor colour;
    } cases[] = {{MessageKind::Progress, Qt::blue},
                 {MessageKind::Error, Qt::red},
                 {MessageKind::Success, Qt::black}};
    for (const auto& c : cases) {
        w->context().ui().message("text", c.kind);
        QCOMPARE(line->text(), QString("text"));
        QCOMPARE(line->palette().color(QPalette::WindowText), c.colour);
    }
    QCOMPARE(line->font().pixelSize(), 13);
    QCOMPARE(w->statusBar()->height(), 19);
}

void MainWindowTest::sectorSizeItemSetsSsize() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto* sizes = child<QComboBox>(*w, "cbSsize");
    QCOMPARE(sizes->count(), 6);
    QCOMPARE(sizes->itemText(4), QString(" 1024"));
    sizes->setCurrentIndex(4);
    emit sizes->activated(4);
    QCOMPARE(w->context().profile.Ssize, 1024);
    QCOMPARE(child<QLineEdit>(*w, "cfg_Ssize")->text(), QString("1024"));
}

void MainWindowTest::aboutBoxAndAdapterPanel() {
    SettingsFolder folder;
    auto w = makeWindow();
    QString caption;
    bool hasOk = false;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            auto* ok = box->findChild<QPushButton*>("btnAboutOK");
            hasOk = ok && ok->text() == "OK";
            if (ok) ok->click();
        }
    });
    child<QAction>(*w, "mnuAbout")->trigger();
    QCOMPARE(caption, QString("About"));
    QVERIFY(hasOk);

    // A part that needs an adapter: the request panel instead of a socket picture.
    w->context().profile.package = 8749;
    w->context().controls.lbAdapter = "8748/8749 adapter";
    w->winstat();
    QVERIFY(!child<QWidget>(*w, "pAdapter")->isHidden());
    QCOMPARE(child<QLabel>(*w, "lbAdapter")->text(), QString("8748/8749 adapter"));
    QVERIFY(child<SocketPicture>(*w, "imgSocket")->isHidden());
    w->context().profile.package = 32;
    w->winstat();
    QVERIFY(child<QWidget>(*w, "pAdapter")->isHidden());
    QCOMPARE(child<SocketPicture>(*w, "imgSocket")->picture(), QString("imgZIF32"));
    QVERIFY(!child<SocketPicture>(*w, "imgSocket")->isHidden());
}

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
