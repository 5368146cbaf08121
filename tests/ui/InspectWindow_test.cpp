// The window's inspection tools on the simulated board: the checksums panel.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "WindowSupport.h"

using namespace tavrin;
using namespace tavrin::ui;
using namespace tavrin::ui::test;

class InspectWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void checksumPanelShowsEverySumForTheDeviceAndARange();
};

void InspectWindowTest::checksumPanelShowsEverySumForTheDeviceAndARange() {
    SettingsFolder folder;
    auto w = makeWindow();
    QVERIFY(w->selectDeviceEntry("27C256"));
    const std::string text = "123456789";
    std::copy(text.begin(), text.end(), w->context().Buffer.begin());
    w->winstat();
    QTest::mouseClick(child<QPushButton>(*w, "btnChecksums"), Qt::LeftButton);
    auto* panel = child<QWidget>(*w, "pChecksums");
    QVERIFY(panel->isVisible());
    QCOMPARE(child<QLineEdit>(*panel, "edSumLast")->text(), QString("007FFF"));
    // The byte sum over the device agrees with edChecksum's "16 Bit Addition".
    QCOMPARE(child<QLineEdit>(*panel, "edSum_sum16")->text(),
             child<QLineEdit>(*w, "edChecksum")->text().trimmed());

    child<QLineEdit>(*panel, "edSumLast")->setText("8");
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumCompute"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(*panel, "edSum_crc32")->text(), QString("0xCBF43926"));
    QCOMPARE(child<QLineEdit>(*panel, "edSum_crc16")->text(), QString("0x29B1"));
    QCOMPARE(child<QLineEdit>(*panel, "edSum_sha256")->text(),
             QString("15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225"));

    child<QLineEdit>(*panel, "edSumFirst")->setText("10");
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumCompute"), Qt::LeftButton);
    QVERIFY(child<QWidget>(*panel, "lbSumRangeError")->isVisible());
    QVERIFY(child<QLineEdit>(*panel, "edSum_crc32")->text().isEmpty());
    QTest::mouseClick(child<QPushButton>(*panel, "btnSumDevice"), Qt::LeftButton);
    QVERIFY(!child<QWidget>(*panel, "lbSumRangeError")->isVisible());
    QCOMPARE(child<QLineEdit>(*panel, "edSumFirst")->text(), QString("000000"));
}

QTEST_MAIN(InspectWindowTest)
#include "InspectWindow_test.moc"
