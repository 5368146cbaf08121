// The Simulation menu: shown only on the simulated board, a kept chip across a restart of the
// window, fresh, programmed and removed chips, and a fault from the menu failing the next command
// with that fault's message.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "WindowSupport.h"
#include "ui/SimulationMenu.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

namespace {

QAction* simulationMenu(TfrmEprom& w) {
    return child<QMenu>(w, "mnuSimulation")->menuAction();
}

QStringList menuTitles(TfrmEprom& w) {
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible()) titles << a->text();
    return titles;
}

void fillImage(Context& ctx, int size, int seed) {
    for (int i = 0; i < size; ++i) ctx.Buffer[i] = uint8_t(i * seed + 3);
    ctx.profile.bufferLoaded = uint32_t(size);
}

bool bufferHolds(Context& ctx, int size, int seed) {
    for (int i = 0; i < size; ++i)
        if (ctx.Buffer[i] != uint8_t(i * seed + 3)) return false;
    return true;
}

// Types `text` into the fault dialog and presses OK; with `cancelAfter` the dialog is then
// cancelled (a text it refused keeps it open). `error` gets what the dialog said.
void answerFaultDialog(const QString& text, bool cancelAfter, QString* error) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() == "dlgSimFault") {
            dialog->findChild<QLineEdit*>("edSimFault")->setText(text);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            buttons->button(QDialogButtonBox::Ok)->click();
            if (error) *error = dialog->findChild<QLabel*>("lbSimFaultError")->text();
            if (cancelAfter && dialog->isVisible()) dialog->reject();
            return;
        }
        if (++*tries < 500) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace

class SimulationMenuTest : public QObject {
    Q_OBJECT
  private slots:
    void shownOnlyWhileTheSimulatedBoardIsThePort();
    void aKeptChipSurvivesARestartOfTheWindow();
    void freshProgrammedAndRemovedChips();
    void aFaultFromTheMenuFailsTheNextCommand();
};

void SimulationMenuTest::shownOnlyWhileTheSimulatedBoardIsThePort() {
    if (QFile::exists("/dev/parport0")) QSKIP("a parallel port is present");
    SettingsFolder folder;
    {
        // A real port from the start: no Simulation menu, the fixed menus as they are.
        const QByteArray before = qgetenv("TAVRIN_PORT");
        qputenv("TAVRIN_PORT", "ppdev");
        answerNextBox(QMessageBox::Ok);
        auto w = makeWindow();
        qputenv("TAVRIN_PORT", before);
        QVERIFY(!simulationMenu(*w)->isVisible());
        QCOMPARE(menuTitles(*w), (QStringList{"&File", "&Edit", "&Device", "&Action", "&Help"}));
        w->close();
    }
    auto w = makeWindow();
    QVERIFY(simulationMenu(*w)->isVisible());
    QCOMPARE(menuTitles(*w),
             (QStringList{"&File", "&Edit", "&Device", "&Action", "&Help", "&Simulation"}));
    auto* driver = child<QComboBox>(*w, "cbPortDriver");
    answerNextBox(QMessageBox::Ok);
    driver->setCurrentIndex(driver->findData("ppdev"));
    emit driver->activated(driver->currentIndex());
    QVERIFY(!simulationMenu(*w)->isVisible());
    driver->setCurrentIndex(driver->findData("sim"));
    emit driver->activated(driver->currentIndex());
    QVERIFY(simulationMenu(*w)->isVisible());
}

void SimulationMenuTest::aKeptChipSurvivesARestartOfTheWindow() {
    SettingsFolder folder;
    {
        auto w = makeWindow();
        QVERIFY(w->selectDeviceEntry("27C256"));
        fillImage(w->context(), 32768, 5);
        child<QAction>(*w, "mnuProgram")->trigger();
        QCOMPARE(status(*w), QString("Device Programed OK"));
        child<QAction>(*w, "mnuSimKeepChip")->setChecked(true);
        QVERIFY(QFile::exists(SimulationMenu::chipFilePath()));
        QVERIFY(w->close());
    }
    {
        auto w = makeWindow();  // same settings: the 27C256 again, and its kept chip
        QVERIFY(child<QAction>(*w, "mnuSimKeepChip")->isChecked());
        QCOMPARE(QString::fromStdString(w->context().controls.edDevice), QString("27C256"));
        child<QAction>(*w, "mnuRead")->trigger();
        QVERIFY(bufferHolds(w->context(), 32768, 5));
        // Keeping switched off: the next session starts with a fresh chip.
        child<QAction>(*w, "mnuSimKeepChip")->setChecked(false);
        QVERIFY(!QFile::exists(SimulationMenu::chipFilePath()));
        QVERIFY(w->close());
    }
    auto w = makeWindow();
    QVERIFY(!child<QAction>(*w, "mnuSimKeepChip")->isChecked());
    child<QAction>(*w, "mnuRead")->trigger();
    QVERIFY(!bufferHolds(w->context(), 32768, 5));
    QCOMPARE(w->context().Buffer[0], uint8_t(0xFF));
}

void SimulationMenuTest::freshProgrammedAndRemovedChips() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("24C16"));
    Context& ctx = w->context();
    fillImage(ctx, 2048, 9);
    child<QAction>(*w, "mnuSimProgrammedChip")->trigger();
    QVERIFY2(!status(*w).contains("rror"), qPrintable(status(*w)));
    std::fill(ctx.Buffer.begin(), ctx.Buffer.end(), 0);
    child<QAction>(*w, "mnuRead")->trigger();
    QVERIFY(bufferHolds(ctx, 2048, 9));

    child<QAction>(*w, "mnuSimRemoveChip")->trigger();
    QCOMPARE(status(*w), QString("Simulated board: the socket is empty"));
    QVERIFY(board(*w).chip() == nullptr);
    child<QAction>(*w, "mnuSimFreshChip")->trigger();
    QCOMPARE(status(*w), QString("Simulated board: a fresh 24C16 is in the socket"));
    child<QAction>(*w, "mnuRead")->trigger();
    QCOMPARE(ctx.Buffer[0], uint8_t(0xFF));
    QVERIFY(!board(*w).socketPowered());
}

void SimulationMenuTest::aFaultFromTheMenuFailsTheNextCommand() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C256"));
    QString error;
    answerFaultDialog("stuck:0x10", true, &error);
    child<QAction>(*w, "mnuSimFault")->trigger();
    QVERIFY2(error.contains("unknown fault 'stuck:0x10'"), qPrintable(error));

    answerFaultDialog("board-absent", false, &error);
    child<QAction>(*w, "mnuSimFault")->trigger();
    QCOMPARE(status(*w), QString("Simulated board: fault board-absent injected"));
    child<QAction>(*w, "mnuRead")->trigger();
    QCOMPARE(status(*w), QString("Hardware Error :  Check Power && connection"));

    // A fresh chip on a sound board; then a stuck bit fails the program with its mismatch.
    child<QAction>(*w, "mnuSimFreshChip")->trigger();
    answerFaultDialog("stuck:0x20:1=1", false, nullptr);
    child<QAction>(*w, "mnuSimFault")->trigger();
    Context& ctx = w->context();
    std::fill(ctx.Buffer.begin(), ctx.Buffer.begin() + 32768, 0x00);
    ctx.profile.bufferLoaded = 32768;
    child<QAction>(*w, "mnuProgram")->trigger();
    QVERIFY2(status(*w).contains("0x000020"), qPrintable(status(*w)));
    QVERIFY(!board(*w).socketPowered());
}

QTEST_MAIN(SimulationMenuTest)
#include "SimulationMenu_test.moc"
