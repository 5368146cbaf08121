// The window with JEDEC flash: Get ID fills the Electronic ID panel, and the MXIC 29F040 group
// reads, protects and unprotects sectors of the simulated part.
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "WindowSupport.h"
#include "sim/parallel/SimJedec29F.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

namespace {

sim::SimJedec29F& chip(TfrmEprom& w) {
    auto* c = dynamic_cast<sim::SimJedec29F*>(board(w).chip());
    if (!c) qFatal("no JEDEC chip in the socket");
    return *c;
}

QString row(TfrmEprom& w, int r) {
    return child<QTableWidget>(w, "sgMXICF29SecVfyF29")->item(r, 0)->text();
}

}  // namespace

class JedecWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void getIdFillsTheElectronicIdPanel();
    void mxicSectorProtectionGroup();
};

void JedecWindowTest::getIdFillsTheElectronicIdPanel() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "AT49F002");
    QVERIFY(!child<QWidget>(*w, "pIDcode")->isVisible());
    QTest::keyClick(w.get(), Qt::Key_I, Qt::ControlModifier);
    QVERIFY(child<QWidget>(*w, "pIDcode")->isVisible());
    QCOMPARE(child<QLineEdit>(*w, "edManufacID")->text(), QString(" 0x1F"));
    QCOMPARE(child<QLineEdit>(*w, "edDeviceID")->text(), QString(" 0x07"));
    QCOMPARE(child<QLabel>(*w, "edManufacName")->text(), QString(" ATMEL"));
    QCOMPARE(child<QLabel>(*w, "edDeviceName")->text(), QString(" AT49F002(N)"));
    QVERIFY(!child<QWidget>(*w, "edLockbit")->isVisible());
    QVERIFY(!child<QWidget>(*w, "lbLockbit")->isVisible());
    QVERIFY(!board(*w).socketPowered());
    QTest::mouseClick(child<QPushButton>(*w, "btnOK_ID"), Qt::LeftButton);
    QVERIFY(!child<QWidget>(*w, "pIDcode")->isVisible());
}

void JedecWindowTest::mxicSectorProtectionGroup() {
    SettingsFolder folder;
    auto w = makeWindow();
    chooseDevice(*w, "MX29F040");
    QVERIFY(child<QWidget>(*w, "pMXICF29040")->isVisible());
    auto* protect = child<QPushButton>(*w, "sbMXICF29SecProt");
    auto* unprotect = child<QPushButton>(*w, "sbMXICF29ChipUnprt");
    QVERIFY(!protect->isEnabled());
    QVERIFY(!unprotect->isEnabled());
    QCOMPARE(row(*w, 0), QString("Sec        Address        Stat"));

    QTest::mouseClick(child<QPushButton>(*w, "sbMXICF29SecStatus"), Qt::LeftButton);
    QVERIFY(protect->isEnabled());
    QVERIFY(unprotect->isEnabled());
    QCOMPARE(row(*w, 3), QString("S2     20000   2ffff    0"));

    child<QTableWidget>(*w, "sgMXICF29SecVfyF29")->setCurrentCell(3, 0);
    QTest::mouseClick(protect, Qt::LeftButton);
    QCOMPARE(status(*w), QString("Sector protect performed OK!"));
    QCOMPARE(row(*w, 3), QString("S2     20000   2ffff    1"));
    QVERIFY(chip(*w).sectorProtected(2));
    QVERIFY(!board(*w).socketPowered());

    QTest::mouseClick(unprotect, Qt::LeftButton);
    QCOMPARE(status(*w), QString("Chip Unprotection performed OK!"));
    QCOMPARE(row(*w, 3), QString("S2     20000   2ffff    0"));
    QVERIFY(!chip(*w).sectorProtected(2));
}

QTEST_MAIN(JedecWindowTest)
#include "JedecWindow_test.moc"
