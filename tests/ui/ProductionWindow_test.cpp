// The production tool bar: Auto with its counter, the chip-ID and differential-write boxes,
// and the DIP-switch check before power.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "WindowSupport.h"
#include "core/ImageBuffer.h"
#include "devices/families/AvrFamily.h"
#include "sim/mcu/SimAvr.h"
#include "devices/DipPatterns.h"
#include "ui/BoardPictures.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class ProductionWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void autoCountsPassedAndFailedChips();
    void idCheckBoxOwnsTheOption();
    void avrAutoWritesTheChosenLockModeLast();
    void diffWriteBoxIsLiveForTheEepromFamilies();
    void dipChangesAreMarkedAndConfirmedBeforePower();
};

void ProductionWindowTest::autoCountsPassedAndFailedChips() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    Context& ctx = w->context();
    for (int i = 0; i < 32768; ++i) ctx.Buffer[size_t(i)] = uint8_t(i * 7);
    ctx.profile.bufferLoaded = 32768;
    child<QToolButton>(*w, "sbAuto")->click();
    QCOMPARE(child<QLabel>(*w, "lbCounter")->text(), QString("Passed 1  Failed 0"));
    QVERIFY(status(*w).startsWith("Auto: chip passed"));
    // The same chip again: no longer blank, so the sequence stops at its blank check.
    child<QToolButton>(*w, "sbAuto")->click();
    QCOMPARE(child<QLabel>(*w, "lbCounter")->text(), QString("Passed 1  Failed 1"));
    QVERIFY2(status(*w).startsWith("Auto: blank check failed: "), qPrintable(status(*w)));
    QVERIFY(!board(*w).socketPowered());
}

void ProductionWindowTest::idCheckBoxOwnsTheOption() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto* box = child<QCheckBox>(*w, "cbIdCheck");
    QVERIFY(box->isChecked());  // on by default
    box->setChecked(false);
    QCOMPARE(w->context().profile.idCheck, 0);
    box->setChecked(true);
    QCOMPARE(w->context().profile.idCheck, 1);
}

void ProductionWindowTest::avrAutoWritesTheChosenLockModeLast() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "27C256");
    auto* lock = child<QCheckBox>(*w, "cbAutoLock");
    QVERIFY(!lock->isEnabled());  // an AVR option only
    chooseDevice(*w, "AT90S2313   DIP20");
    QVERIFY(lock->isEnabled());
    Context& ctx = w->context();
    for (int i = 0; i < 2048; ++i) ctx.Buffer[size_t(i)] = uint8_t(i * 13);
    ctx.profile.bufferLoaded = 2048;
    rbAVRm1Click(ctx, 3);
    lock->setChecked(true);
    child<QToolButton>(*w, "sbAuto")->click();
    QVERIFY2(status(*w).startsWith("Auto: chip passed"), qPrintable(status(*w)));
    auto* chip = dynamic_cast<sim::SimAvr*>(board(*w).chip());
    QVERIFY(chip != nullptr);
    QCOMPARE(chip->lockMode(), 3);
    QVERIFY(!board(*w).socketPowered());
}

void ProductionWindowTest::diffWriteBoxIsLiveForTheEepromFamilies() {
    SettingsFolder folder;
    auto w = makeWindow();
    auto* box = child<QCheckBox>(*w, "cbDiffWrite");
    QVERIFY(!box->isChecked());  // opt-in
    chooseDevice(*w, "27C256");
    QVERIFY(!box->isEnabled());
    chooseDevice(*w, "AT28C256  (64)");
    QVERIFY(box->isEnabled());
    box->setChecked(true);
    QCOMPARE(w->context().profile.diffWrite, 1);
    // One changed byte of a programmed chip: only its page is written.
    Context& ctx = w->context();
    for (int i = 0; i < 32768; ++i) ctx.Buffer[size_t(i)] = uint8_t(i * 13);
    ctx.profile.bufferLoaded = 32768;
    child<QAction>(*w, "mnuProgram")->trigger();
    QCOMPARE(status(*w), QString("Device Programed OK"));
    ctx.Buffer[0x100] ^= 1;
    child<QAction>(*w, "mnuProgram")->trigger();
    QCOMPARE(status(*w), QString("Device Programed OK"));
    QVERIFY(!board(*w).socketPowered());
}

void ProductionWindowTest::dipChangesAreMarkedAndConfirmedBeforePower() {
    SettingsFolder folder;
    auto w = makeWindow();
    Context& ctx = w->context();
    ctx.profile.dipCheck = 1;                         // as on a real port
    ctx.profile.tavrin = 1;                           // PCB3: switch k on image k
    ctx.profile.dipConfirmed = *DipPatternDigits(1);  // the 27C64 setting
    chooseDevice(*w, "27C256");
    // Switches 4, 5 and 8 differ from the confirmed setting.
    for (int k = 1; k <= 12; ++k)
        QCOMPARE(child<DipImage>(*w, qPrintable(QString("dip%1").arg(k)))->marked(),
                 k == 4 || k == 5 || k == 8);
    QString asked;
    answerNextBox(QMessageBox::No, &asked);
    child<QAction>(*w, "mnuRead")->trigger();
    QVERIFY2(asked.contains("switch 4 OFF (was ON), switch 5 ON (was OFF), switch 8 ON (was OFF)"),
             qPrintable(asked));
    QCOMPARE(status(*w), QString("DIP switches not confirmed: the socket was not powered"));
    QVERIFY(child<DipImage>(*w, "dip5")->marked());
    answerNextBox(QMessageBox::Yes);
    child<QAction>(*w, "mnuRead")->trigger();
    QCOMPARE(status(*w), QString("Chip read OK"));
    QCOMPARE(ctx.profile.dipConfirmed, *DipPatternDigits(3));
    QVERIFY(!child<DipImage>(*w, "dip5")->marked());
    QVERIFY(!board(*w).socketPowered());
}

QTEST_MAIN(ProductionWindowTest)
#include "ProductionWindow_test.moc"
