// The production tool bar: Auto with its counter and the chip-ID check box.
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "WindowSupport.h"
#include "core/ImageBuffer.h"
#include "devices/families/AvrFamily.h"
#include "sim/mcu/SimAvr.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class ProductionWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void autoCountsPassedAndFailedChips();
    void idCheckBoxOwnsTheOption();
    void avrAutoWritesTheChosenLockModeLast();
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

QTEST_MAIN(ProductionWindowTest)
#include "ProductionWindow_test.moc"
